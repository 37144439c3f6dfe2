// The SyncTERM import: section rules and name conversion, re-import, the questions asked, failures
// and what they say, and the 2000 limit with a counting pass that gives every slot back.
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

// Dialogs that keep every question and message as "title|text" and answer no.
static std::vector<std::string> g_asked;

static int fake_no(const char *title, const char *text) {
    g_asked.push_back(std::string(title) + "|" + text);
    return 0;
}
static const ImportPrompts kFakePrompts = {
    [](const char *, const char *, char *, int) { return 0; }, // only asked when no path is given
    fake_no, [](const char *title, const char *text) { fake_no(title, text); }, nullptr};

struct Import : testing::Test {
    TempDir dir;
    Phonebook *pb = phonebook_create();
    Settings settings;
    void SetUp() override {
        cp437_build_index();
        settings_set_defaults(&settings);
        phonebook_load(pb, dir.file("pelo.fon").c_str(), dir.file("pelong.ext").c_str());
        g_asked.clear();
    }
    void TearDown() override { phonebook_destroy(pb); }
    int import(const std::string &text, const ImportPrompts *prompts = nullptr) {
        write_file(dir.file("syncterm.lst"), text);
        return syncterm_import(pb, dir.file("syncterm.lst").c_str(), prompts, &settings, dir.path.c_str());
    }
    std::string quiet(const std::string &text) { // what the import without a screen printed
        testing::internal::CaptureStdout();
        import(text);
        return testing::internal::GetCapturedStdout();
    }
};

// One section a line; before the first section, defaults (of which Address is never inherited).
static const char kList[] =
    "; SyncTERM list\r\n# defaults before the first section\r\n"
    "Port = 2323\r\nConnectionType=telnet\r\nScreenMode=C64\r\nAddress=never.inherited\r\n"
    "[Default Port]\r\nAddress=port.example\r\n"
    "[Own Port]\r\nAddress= own.example \r\nPort=23\r\nScreenMode=80x25\r\n"
    "[SSH Board]\r\nAddress=ssh.example\r\nConnectionType=SSH\r\n"
    "[No Address]\r\n"
    "[  Box \xE2\x95\x94\xE2\x95\x90\xE2\x95\x97\t\xF0\x9F\x98\x80 [1] ]\r\n"
    "Address=box.example\r\nScreenMode=80x25\r\n"
    "[Pet80]\r\nAddress=pet80.example\r\nEmulation=PETSCII\r\nScreenMode=80x25\r\n"
    "[Font]\r\nAddress=font.example\r\nScreenMode=Current\r\nFont=Commodore 64 (UPPER)\r\n"
    "[Plain]\r\nAddress=plain.example\r\nScreenMode=80x25\r\nPassword=pw\r\n"
    "UserName=a-user-name-longer-than-thirty-two-characters\r\nNoSuchKey=ignored\r\nno equals sign\r\n"
    "[Twice]\r\nAddress=PORT.example\r\n";

TEST_F(Import, QuietImportAppliesTheSectionRules) {
    EXPECT_EQ(quiet(kList), "Imported 6 entries (1 duplicates, 0 no room, 2 skipped)\n");
    const struct {
        const char *name, *address;
        int emulation;
    } expected[] = {
        {"Default Port", "port.example 2323", EMU_PETSCII40}, // port and screen mode from the defaults
        {"Own Port", "own.example", -1},
        // CP437 box drawing, a 4-byte character's fallback, a TAB (it splits extension lines) as a blank
        {"Box \xC9\xCD\xBB \x01 [1]", "box.example 2323", -1},
        {"Pet80", "pet80.example 2323", EMU_PETSCII80},
        {"Font", "font.example 2323", EMU_PETSCII40},
        {"Plain", "plain.example 2323", -1},
    };
    for (int i = 0; i < 6; i++) {
        const PhonebookEntry &e = pb->entries[i];
        EXPECT_EQ(std::string(e.name) + "|" + e.address,
                  std::string(expected[i].name) + "|" + expected[i].address);
        EXPECT_EQ(e.emulation, expected[i].emulation) << e.name;
    }
    EXPECT_STREQ(pb->entries[5].login, "a-user-name-longer-than-thirty-t");
    EXPECT_STREQ(pb->entries[5].password, "pw");
}

// Entries stored with a trailing "/", a port in the address or one out of range were added again on
// every re-import; a byte-order mark hid the first section; an address cut to fit dialled the wrong
// port ("host 2323" lost digits): one too long is skipped.
TEST_F(Import, ReimportFindsEveryEntryItAdded) {
    const std::string text =
        "\xEF\xBB\xBF[Slash]\nAddress=telnet://slash.example/\n[Colon]\nAddress=colon.example:2323\nPort=23\n"
        "[Big]\nAddress=big.example\nPort=70000\n[Upper]\nAddress=UPPER.example\n[Long]\nAddress=" +
        std::string(56, 'h') + "\nPort=2323\n";
    EXPECT_EQ(quiet(text), "Imported 4 entries (0 duplicates, 0 no room, 1 skipped)\n");
    EXPECT_EQ(quiet(text), "Imported 0 entries (4 duplicates, 0 no room, 1 skipped)\n");
}

// Without a screen, a failed save named neither the file nor the reason, and a directory given as
// the list "imported" nothing. The entries stay in memory (on screen, for the next save).
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
    EXPECT_EQ(phonebook_count_used(pb), 6);
}

TEST_F(Import, OnScreenTheSummaryPredictsTheImportAndNoAddsNothing) {
    EXPECT_EQ(import(kList, &kFakePrompts), 0);
    ASSERT_EQ(g_asked.size(), 2u); // SSH left out, then no at the summary
    EXPECT_EQ(g_asked[1], "Import SyncTERM Phonebook|Entries in syncterm.lst :    9\n"
                          "  telnet / raw          :    8\n"
                          "  SSH / other           :    1 (skipped)\n\n"
                          "Will be imported        :    6\n"
                          "Already in phonebook    :    1\n"
                          "No room (2000 limit)    :    0\n\nImport now?");
    EXPECT_EQ(phonebook_count_used(pb), 0);
    EXPECT_FALSE(file_exists(dir.file("pelo.fon")));
}

// A failed save on screen says so, and the directory still lists the entries now in memory.
TEST_F(Import, OnScreenAFailedSaveIsShownAndTheListRebuilt) {
    static int rebuilt;
    rebuilt = 0;
    const ImportPrompts yes = {kFakePrompts.input,
                               [](const char *title, const char *text) { return 1 - fake_no(title, text); },
                               kFakePrompts.message, [] { rebuilt++; }};
    fault_arm(FAULT_RENAME, 1);
    EXPECT_EQ(import(kList, &yes), 0);
    safe_save_ops_reset();
    EXPECT_EQ(g_asked.back(), "Error|Could not write the phonebook file!");
    EXPECT_EQ(rebuilt, 1) << "the directory's list was not rebuilt";
    EXPECT_EQ(phonebook_count_used(pb), 7);
}

// The counting pass keeps a copy only of the slots it takes; it must still give back every byte of
// them, including what an empty slot kept from its record, since the user may yet say no.
TEST_F(Import, TheTwoThousandLimitAndACountingPassThatGivesEverySlotBack) {
    for (int i = 1; i < 1991; i++) text_copy(pb->entries[i].name, "Used", sizeof pb->entries[i].name);
    text_copy(pb->entries[0].login, "left over", sizeof pb->entries[0].login);
    pb->entries[1995].image[5] = 0x55;
    std::string text;
    for (int i = 0; i < 15; i++) text += "[N" + std::to_string(i) + "]\nAddress=n" + std::to_string(i) + "\n";
    write_file(dir.file("syncterm.lst"), text);
    std::vector<PhonebookEntry> before(pb->entries, pb->entries + PHONEBOOK_SLOTS);
    ImportCounters c;
    ASSERT_EQ(syncterm_parse_apply(pb, dir.file("syncterm.lst").c_str(), 0, &c, 1), 1);
    EXPECT_EQ(c.added, 10);
    EXPECT_EQ(memcmp(before.data(), pb->entries, sizeof pb->entries), 0);
    EXPECT_EQ(quiet(text), "Imported 10 entries (0 duplicates, 5 no room, 0 skipped)\n");
    EXPECT_STREQ(pb->entries[1999].name, "N9");
}
