// The SyncTERM import: list parsing and section rules, name conversion, counting passes that predict
// the real one, the questions asked, the quiet mode's output, and the 2000 limit.
#include <gtest/gtest.h>

#include <vector>

#include "phonebook/phonebook.h"
#include "phonebook/syncterm_import.h"
#include "phonebook/syncterm_list.h"
#include "settings/settings.h"
#include "term/charset.h"
#include "base/emulation.h"
#include "base/text.h"
#include "tests/settings/file_helpers.h"

// Fake dialogs: every question and message as "title|text", yes/no answers from a script (then yes).
struct FakeDialogs {
    std::vector<std::string> asked;
    std::vector<int> answers;
    int changed = 0;
    int used_while_asking = -1;
};
static FakeDialogs g_dialogs;
static Phonebook *g_book;

static const ImportPrompts kFakePrompts = {
    [](const char *, const char *, char *, int) { return 0; }, // only asked when no path is given
    [](const char *title, const char *text) {
        g_dialogs.asked.push_back(std::string(title) + "|" + text);
        g_dialogs.used_while_asking = phonebook_count_used(g_book);
        int answer = g_dialogs.answers.empty() ? 1 : g_dialogs.answers.front();
        if (!g_dialogs.answers.empty()) g_dialogs.answers.erase(g_dialogs.answers.begin());
        return answer;
    },
    [](const char *title, const char *text) { g_dialogs.asked.push_back(std::string(title) + "|" + text); },
    [] { g_dialogs.changed++; },
};

struct Import : testing::Test {
    TempDir dir;
    Phonebook *pb = g_book = phonebook_create();
    Settings settings;
    void SetUp() override {
        cp437_build_index();
        settings_set_defaults(&settings);
        phonebook_load(pb, dir.file("pelo.fon").c_str(), dir.file("pelong.ext").c_str());
        g_dialogs = FakeDialogs{};
    }
    void TearDown() override { phonebook_destroy(pb); }
    std::string list(const std::string &text) {
        write_file(dir.file("syncterm.lst"), text);
        return dir.file("syncterm.lst");
    }
    void add(int slot, const char *name, const char *address) {
        text_copy(pb->entries[slot].name, name, sizeof pb->entries[slot].name);
        text_copy(pb->entries[slot].address, address, sizeof pb->entries[slot].address);
    }
    // The quiet import of a list: what it printed.
    std::string quiet(const std::string &text) {
        testing::internal::CaptureStdout();
        syncterm_import(pb, list(text).c_str(), nullptr, &settings, dir.path.c_str());
        return testing::internal::GetCapturedStdout();
    }
    int asking(const std::string &path) {
        return syncterm_import(pb, path.c_str(), &kFakePrompts, &settings, dir.path.c_str());
    }
    const PhonebookEntry *find(const char *address) {
        for (const PhonebookEntry &e : pb->entries)
            if (strcmp(e.address, address) == 0) return &e;
        return nullptr;
    }
};

// One section a line; before the first section, defaults (of which Address is never inherited).
static const char kList[] =
    "; SyncTERM list\r\n# defaults before the first section\r\n"
    "Port = 2323\r\nConnectionType=telnet\r\nScreenMode=C64\r\nAddress=never.inherited\r\n"
    "[Default Port]\r\nAddress=port.example\r\n"
    "[Own Port]\r\nAddress= own.example \r\nPort=23\r\nScreenMode=80x25\r\n"
    "[Dup Upper]\r\nAddress=telnet://bbshost\r\nPort=23\r\n"
    "[Dup Colon]\r\nAddress=colon.example\r\nPort=0\r\n"
    "[SSH Board]\r\nAddress=ssh.example\r\nConnectionType=SSH\r\n"
    "[No Address]\r\n"
    "[]\r\nAddress=nameless.example\r\n"
    "[  Box \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97 [1] ]\r\nAddress=box.example\r\nScreenMode=80x25\r\n"
    "[C128]\r\nAddress=c128.example\r\nScreenMode=C128-80\r\n"
    "[Pet80]\r\nAddress=pet80.example\r\nEmulation=PETSCII\r\nScreenMode=80x25\r\n"
    "[Font]\r\nAddress=font.example\r\nScreenMode=Current\r\nFont=Commodore 64 (UPPER)\r\n"
    "[Plain]\r\nAddress=plain.example\r\nScreenMode=80x25\r\nPassword=pw\r\n"
    "UserName=a-user-name-longer-than-thirty-two-characters\r\nNoSuchKey=ignored\r\nno equals sign\r\n"
    "[Twice]\r\nAddress=PORT.example\r\n";

TEST_F(Import, QuietImportAppliesTheSectionRules) {
    add(0, "Existing", "BBSHOST");
    add(1, "Colon", "colon.example:23");
    EXPECT_EQ(quiet(kList), "Imported 7 entries (3 duplicates, 0 no room, 2 skipped)\n");
    const struct {
        const char *address, *name;
        int emulation;
    } expected[] = {
        {"port.example 2323", "Default Port", EMU_PETSCII40}, // port and screen mode from the defaults
        {"own.example", "Own Port", -1},
        {"box.example 2323", "Box \xC9\xCD\xBB [1]", -1},
        {"c128.example 2323", "C128", EMU_PETSCII80},
        {"pet80.example 2323", "Pet80", EMU_PETSCII80},
        {"font.example 2323", "Font", EMU_PETSCII40},
        {"plain.example 2323", "Plain", -1},
    };
    for (const auto &x : expected) {
        const PhonebookEntry *e = find(x.address);
        ASSERT_NE(e, nullptr) << x.address;
        EXPECT_STREQ(e->name, x.name);
        EXPECT_EQ(e->emulation, x.emulation) << x.name;
    }
    EXPECT_STREQ(find("plain.example 2323")->login, "a-user-name-longer-than-thirty-t");
    EXPECT_STREQ(find("plain.example 2323")->password, "pw");
    EXPECT_EQ(phonebook_count_used(pb), 9);

    settings.import_ssh = 1; // now SSH Board too
    EXPECT_EQ(quiet(kList), "Imported 1 entries (10 duplicates, 0 no room, 1 skipped)\n");
    EXPECT_NE(find("ssh.example 2323"), nullptr);
}

// Re-importing the same list found entries the import itself had stored with a trailing "/", a port
// written into the address or a port out of range, and added them again on every run. (The list
// starts with a byte-order mark, which once hid its first section.)
TEST_F(Import, ReimportFindsEveryEntryItAdded) {
    const char *text =
        "\xEF\xBB\xBF[Slash]\nAddress=telnet://slash.example/\n[Colon]\nAddress=colon.example:2323\nPort=23\n"
        "[Big]\nAddress=big.example\nPort=70000\n[Upper]\nAddress=UPPER.example\n";
    EXPECT_EQ(quiet(text), "Imported 4 entries (0 duplicates, 0 no room, 0 skipped)\n");
    EXPECT_EQ(quiet(text), "Imported 0 entries (4 duplicates, 0 no room, 0 skipped)\n");
}

// Cut to the 60-character field, "host 2323" lost its port digits and dialled another port.
TEST_F(Import, AddressTooLongForTheFieldIsSkippedNotCut) {
    std::string host(56, 'h');
    EXPECT_EQ(quiet("[Long]\nAddress=" + host + "\nPort=2323\n[Fits]\nAddress=" + host + "\nPort=23\n"),
              "Imported 1 entries (0 duplicates, 0 no room, 1 skipped)\n");
    EXPECT_NE(find(host.c_str()), nullptr);
}

TEST(SyncTermNames, Utf8BecomesCp437) {
    cp437_build_index();
    const struct {
        const char *utf8, *cp437;
    } cases[] = {
        {"\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97", "\xC9\xCD\xBB"}, // box drawing
        {"\xF0\x9F\x98\x80", "\x01"},                             // a 4-byte character through its fallback
        {"a\tb", "a b"},                                          // a TAB would break the extension file
    };
    char out[400];
    for (const auto &c : cases) {
        syncterm_name_to_cp437(c.utf8, out, sizeof out);
        EXPECT_STREQ(out, c.cp437) << c.utf8;
    }
    std::string many;
    for (int i = 0; i < 100; i++) many += "\xE2\x94\x80"; // cut to the field
    syncterm_name_to_cp437(many.c_str(), out, 61);
    EXPECT_EQ(strlen(out), 60u);
}

TEST_F(Import, InteractiveImportAsksAndReports) {
    g_dialogs.answers = {0, 1}; // leave SSH out, then import
    ASSERT_EQ(asking(list(kList)), 1);
    EXPECT_EQ(g_dialogs.asked,
              (std::vector<std::string>{
                  "Import SyncTERM Phonebook|1 of the 12 entries use SSH, RLogin or another\n"
                  "connection type that Pelorin NG cannot use\n(it is a telnet client).\n\n"
                  "Import those entries anyway?",
                  "Import SyncTERM Phonebook|Entries in syncterm.lst :   12\n"
                  "  telnet / raw          :   11\n"
                  "  SSH / other           :    1 (skipped)\n\n"
                  "Will be imported        :    9\n"
                  "Already in phonebook    :    1\n"
                  "No room (2000 limit)    :    0\n\nImport now?",
                  "Import complete|9 entries imported.\nPhonebook now holds 9 of 2000 entries.",
              }));
    EXPECT_EQ(g_dialogs.used_while_asking, 0); // the counting passes put everything back
    EXPECT_EQ(g_dialogs.changed, 1);
}

TEST_F(Import, InteractiveImportEndsOnNoOrFailure) {
    g_dialogs.answers = {1, 0}; // no at the summary: nothing added, nothing written
    EXPECT_EQ(asking(list(kList)), 0);
    EXPECT_EQ(phonebook_count_used(pb), 0);
    EXPECT_FALSE(file_exists(dir.file("pelo.fon")));

    g_dialogs = FakeDialogs{}; // the save fails: the entries stay in memory for the next save
    fault_arm(FAULT_OPEN, 1);
    EXPECT_EQ(asking(dir.file("syncterm.lst")), 0);
    safe_save_ops_reset();
    EXPECT_EQ(g_dialogs.asked.back(), "Error|Could not write the phonebook file!");
    EXPECT_EQ(phonebook_count_used(pb), 10);
    EXPECT_EQ(g_dialogs.changed, 0);
}

// Without a screen, a failed save named neither the file nor the reason, and a directory given as
// the list "imported" nothing.
TEST_F(Import, QuietFailuresSayWhatAndWhy) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(syncterm_import(pb, dir.path.c_str(), nullptr, &settings, dir.path.c_str()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open " + dir.path + "\n");

    fault_arm(FAULT_RENAME, 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(quiet(kList), "");
    safe_save_ops_reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not write " + dir.file("pelo.fon") + ": Input/output error\n");
}

TEST_F(Import, TheTwoThousandLimit) {
    for (int i = 0; i < 1990; i++) add(i, "Used", ("used" + std::to_string(i)).c_str());
    std::string text;
    for (int i = 0; i < 15; i++)
        text += "[New " + std::to_string(i) + "]\nAddress=new" + std::to_string(i) + "\n";
    ASSERT_EQ(asking(list(text)), 1);
    EXPECT_NE(g_dialogs.asked[0].find("Will be imported        :   10\nAlready in phonebook    :    0\n"
                                      "No room (2000 limit)    :    5"),
              std::string::npos);
    EXPECT_EQ(g_dialogs.used_while_asking, 1990);
    EXPECT_EQ(phonebook_count_used(pb), 2000);
    EXPECT_STREQ(pb->entries[1999].name, "New 9");
}

// The counting pass keeps a copy only of the slots it takes; it must still give back every byte of
// them, including what an empty slot kept from its record, since the user may yet say no.
TEST_F(Import, CountingPassGivesEverySlotBack) {
    add(1, "Used", "used.example");
    text_copy(pb->entries[0].login, "left over", sizeof pb->entries[0].login);
    pb->entries[2].image[5] = 0x55;
    std::string text;
    for (int i = 0; i < 40; i++) text += "[N" + std::to_string(i) + "]\nAddress=n" + std::to_string(i) + "\n";
    std::vector<PhonebookEntry> before(pb->entries, pb->entries + PHONEBOOK_SLOTS);
    ImportCounters c;
    ASSERT_EQ(syncterm_parse_apply(pb, list(text).c_str(), 0, &c, 1), 1);
    EXPECT_EQ(c.added, 40);
    EXPECT_EQ(memcmp(before.data(), pb->entries, sizeof pb->entries), 0);
}

TEST(SyncTermLocate, FirstPlaceThatOpensElseTheProgramDirectory) {
    TempDir dir;
    std::string saved_home = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", dir.path.substr(0, dir.path.size() - 1).c_str(), 1); // without the trailing "/"
    setenv("XDG_CONFIG_HOME", (dir.path + "config").c_str(), 1);
    const char *places[] = {"program/", "config/syncterm/", ".syncterm/"}; // in the order they are tried
    for (const char *place : places) std::filesystem::create_directories(dir.file(place));
    char out[600];
    syncterm_locate_list(out, sizeof out, dir.file("program/").c_str());
    EXPECT_EQ(std::string(out), dir.file("program/syncterm.lst")); // none opens
    for (int i = 2; i >= 0; i--) {
        write_file(dir.file(places[i]) + "syncterm.lst", "");
        syncterm_locate_list(out, sizeof out, dir.file("program/").c_str());
        EXPECT_EQ(std::string(out), dir.file(places[i]) + "syncterm.lst");
    }
    setenv("HOME", saved_home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}
