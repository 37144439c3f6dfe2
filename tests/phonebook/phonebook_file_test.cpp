// The phonebook's files: exact bytes written and read back, stored bytes kept, the backup kept, and
// files that cannot be read or saves that fail part-way.
#include <gtest/gtest.h>

#include <cstring>

#include "phonebook/phonebook.h"
#include "base/emulation.h"
#include "base/text.h"
#include "tests/settings/file_helpers.h"

static const size_t kFileSize = 2000 * 197;
static const std::string kExtHeader = "; Pelorin NG phonebook extensions: emulation<TAB>name<TAB>address\r\n";

// A record laid out by hand: length byte then characters at offsets 0, 61, 122, 131 and 164.
static std::string record(const char *name, const char *address, const char *last_call = "",
                          const char *login = "", const char *password = "") {
    std::string r(197, '\0');
    const char *texts[] = {name, address, last_call, login, password};
    const int offsets[] = {0, 61, 122, 131, 164};
    for (int i = 0; i < 5; i++) {
        r[offsets[i]] = (char)strlen(texts[i]);
        r.replace(offsets[i] + 1, strlen(texts[i]), texts[i]);
    }
    return r;
}

struct Book {
    TempDir dir;
    Phonebook *pb = phonebook_create();
    ~Book() { phonebook_destroy(pb); }
    std::string fon() const { return dir.file("pelo.fon"); }
    std::string ext() const { return dir.file("pelong.ext"); }
    int load() { return phonebook_load(pb, fon().c_str(), ext().c_str()); }
    PhonebookEntry &set(int i, const char *name, const char *address, int emulation = -1) {
        text_copy(pb->entries[i].name, name, sizeof pb->entries[i].name);
        text_copy(pb->entries[i].address, address, sizeof pb->entries[i].address);
        pb->entries[i].emulation = emulation;
        return pb->entries[i];
    }
};

// Entries of the same name and address take their extension lines in order, a twin without an
// emulation of its own through a "default" line; a name or address keeps its TABs and blanks there.
TEST(PhonebookFile, SavedFromKnownEntriesMatchesTheExpectedImageAndLoadsBack) {
    Book b;
    ASSERT_EQ(b.load(), 0); // no file yet: empty, not an error for the caller
    PhonebookEntry &twin = b.set(0, "Twin", "twin.example", EMU_PETSCII40);
    text_copy(twin.last_call, "01/02/24", sizeof twin.last_call);
    text_copy(twin.login, "me", sizeof twin.login);
    text_copy(twin.password, "secret", sizeof twin.password);
    b.set(1, "Twin", "twin.example");
    b.set(2, "Twin", "twin.example", EMU_UTF8);
    text_copy(b.set(3, "", "").login, "ghost", 6); // no name, no address: an empty slot
    b.set(4, "Tab\tName", "", EMU_VT100);
    b.set(1999, " Blanks ", "blank.example ", EMU_TTY);
    ASSERT_EQ(phonebook_save(b.pb), 1);

    std::string expected(kFileSize, '\0');
    expected.replace(0, 197, record("Twin", "twin.example", "01/02/24", "me", "secret"));
    for (int i : {1, 2}) expected.replace(i * 197, 197, record("Twin", "twin.example"));
    expected.replace(4 * 197, 197, record("Tab\tName", ""));
    expected.replace(1999 * 197, 197, record(" Blanks ", "blank.example "));
    EXPECT_TRUE(read_file(b.fon()) == expected);
    EXPECT_EQ(read_file(b.ext()), kExtHeader +
                                      "petscii40\tTwin\ttwin.example\r\ndefault\tTwin\ttwin.example\r\n"
                                      "utf8\tTwin\ttwin.example\r\n"
                                      "vt100\tTab\tName\t\r\ntty\t Blanks \tblank.example \r\n");
    ASSERT_EQ(b.load(), 1);
    const int emulations[] = {EMU_PETSCII40, -1, EMU_UTF8, -1, EMU_VT100};
    for (int i = 0; i < 5; i++) EXPECT_EQ(b.pb->entries[i].emulation, emulations[i]) << "slot " << i;
    EXPECT_EQ(b.pb->entries[1999].emulation, EMU_TTY);
}

// A field is encoded again only when it changed: the bytes other programs left behind stay. A small
// file gets a backup at the first save (proven end to end), but an existing one is never replaced.
TEST(PhonebookFile, StoredBytesSurviveLoadAndSaveAndTheBackupStays) {
    std::string odd = record("ab?de", "bbs", "12/31/99", "user", "pw");
    odd[1 + 2] = '\0';
    odd.replace(1 + 5, 5, "STRAY");
    odd[122] = (char)200; // a last-call length above its field
    Book b;
    write_file(b.fon(), odd);
    write_file(b.fon() + ".bak", "older backup");
    ASSERT_EQ(b.load(), 1);
    EXPECT_STREQ(b.pb->entries[0].name, "ab de");
    text_copy(b.pb->entries[0].password, "new", 4);
    ASSERT_EQ(phonebook_save(b.pb), 1);
    EXPECT_TRUE(read_file(b.fon()).substr(0, 197) == odd.replace(164, 33, "\3new" + std::string(29, '\0')));
    EXPECT_EQ(read_file(b.fon() + ".bak"), "older backup");
}

// A file that exists but cannot be read must not be replaced by the little that was read.
TEST(PhonebookFile, UnreadableFileIsNotOverwritten) {
    Book b;
    write_file(b.fon(), record("Keep", "keep.example"));
    ASSERT_EQ(mkdir(b.ext().c_str(), 0700), 0); // opens, but every read fails
    b.load();
    EXPECT_EQ(phonebook_save(b.pb), 0);
    EXPECT_TRUE(read_file(b.fon()) == record("Keep", "keep.example"));
}

TEST(PhonebookFile, AnyFailedCallLeavesTheOldFilesUntouched) {
    std::string old_fon;
    for (int i = 0; i < 2000; i++) old_fon += record("Old", "old.example"); // 2000 records: no backup
    const std::string old_ext = kExtHeader + "tty\tOld\told.example\r\n";
    FaultPlan counted = fail_each_call(0, [&] {
        Book b;
        write_file(b.fon(), old_fon);
        write_file(b.ext(), old_ext);
        b.load();
        b.set(7, "Changed", "changed.example", EMU_VT100);
        int result = phonebook_save(b.pb);
        std::string fon = read_file(b.fon());
        EXPECT_TRUE(fon == old_fon || (fon.size() == kFileSize && fon.substr(7 * 197, 4) == "\7Cha"));
        EXPECT_TRUE(result == 1 || read_file(b.ext()) == old_ext) << "a failed save changed pelong.ext";
        EXPECT_EQ(b.dir.entries(), 2);
        return result;
    });
    for (int kind : {FAULT_OPEN, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME}) EXPECT_EQ(counted.calls[kind], 2);
    EXPECT_GE(counted.calls[FAULT_WRITE], 97);
}
