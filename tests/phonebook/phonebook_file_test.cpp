// The phonebook's files: exact bytes written, stored bytes kept, the backup rule, the extension file,
// bad files, and saves that fail part-way.
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

TEST(PhonebookFile, SavedFromKnownEntriesMatchesTheExpectedImage) {
    Book b;
    ASSERT_EQ(b.load(), 0); // no file yet: empty, not an error for the caller
    PhonebookEntry &alpha = b.set(0, "Alpha BBS", "alpha.example 2323", EMU_PETSCII40);
    text_copy(alpha.last_call, "01/02/24", sizeof alpha.last_call);
    text_copy(alpha.login, "me", sizeof alpha.login);
    text_copy(alpha.password, "secret", sizeof alpha.password);
    b.set(2, "Name only", "");
    text_copy(b.set(3, "", "").login, "ghost", 6); // no name, no address: an empty slot
    b.set(1999, "Last", "last.example", EMU_VT100);
    ASSERT_EQ(phonebook_save(b.pb), 1);

    std::string expected(kFileSize, '\0');
    expected.replace(0, 197, record("Alpha BBS", "alpha.example 2323", "01/02/24", "me", "secret"));
    expected.replace(2 * 197, 197, record("Name only", ""));
    expected.replace(1999 * 197, 197, record("Last", "last.example"));
    EXPECT_TRUE(read_file(b.fon()) == expected);
    EXPECT_EQ(read_file(b.ext()),
              kExtHeader + "petscii40\tAlpha BBS\talpha.example 2323\r\nvt100\tLast\tlast.example\r\n");
    EXPECT_FALSE(file_exists(b.fon() + ".bak")); // nothing was loaded
}

// A field is encoded again only when it changed: the bytes other programs left behind stay.
TEST(PhonebookFile, StoredBytesSurviveLoadAndSave) {
    std::string odd = record("ab?de", "bbs", "12/31/99", "user", "pw");
    odd[1 + 2] = '\0';
    odd.replace(1 + 5, 5, "STRAY");
    odd[122] = (char)200; // a last-call length above its field
    Book b;
    write_file(b.fon(), odd);
    ASSERT_EQ(b.load(), 1);
    EXPECT_STREQ(b.pb->entries[0].name, "ab de");
    text_copy(b.pb->entries[0].password, "new", 4);
    ASSERT_EQ(phonebook_save(b.pb), 1);
    EXPECT_TRUE(read_file(b.fon()).substr(0, 197) == odd.replace(164, 33, "\x03new" + std::string(29, '\0')));
}

TEST(PhonebookFile, BackupIsMadeOnceForSmallFilesOnly) {
    const struct {
        const char *what;
        int records, partial_bytes;
        const char *old_backup; // already there
        bool expect_backup;
    } cases[] = {
        {"three records and a partial one", 3, 100, nullptr, true},
        {"exactly 200 records", 200, 0, nullptr, true},
        {"201 records", 201, 0, nullptr, false},
        {"an existing backup is never replaced", 1, 0, "older backup", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Book b;
        std::string old((size_t)c.partial_bytes, 'p');
        for (int i = 0; i < c.records; i++) old = record("Entry", "host.example") + old;
        write_file(b.fon(), old);
        if (c.old_backup) write_file(b.fon() + ".bak", c.old_backup);
        ASSERT_EQ(b.load(), 1);
        EXPECT_EQ(phonebook_count_used(b.pb), c.records);
        ASSERT_EQ(phonebook_save(b.pb), 1);
        EXPECT_EQ(file_exists(b.fon() + ".bak"), c.expect_backup);
        if (c.expect_backup) {
            EXPECT_TRUE(read_file(b.fon() + ".bak") == (c.old_backup ? c.old_backup : old));
        }
        unlink((b.fon() + ".bak").c_str()); // a second save in the same run never makes one
        ASSERT_EQ(phonebook_save(b.pb), 1);
        EXPECT_FALSE(file_exists(b.fon() + ".bak"));
    }
}

TEST(PhonebookFile, ExtensionLinesGoBackToTheirSlots) {
    Book b;
    b.load(); // no files yet: sets the paths
    b.set(0, "Twin", "twin.example", EMU_PETSCII40);
    b.set(1, "Other", "other.example");
    b.set(2, "Twin", "twin.example", EMU_UTF8);
    b.set(3, "Twin", "twin.example");
    b.set(4, "Name", "a\tb", EMU_TTY); // a TAB in the address still round-trips
    // ...and so do a TAB in the name, an empty address and blanks at either end
    b.set(5, "Tab\tName", "tab.example", EMU_VT100);
    b.set(6, "No address", "", EMU_PETSCII80);
    b.set(7, " Blanks ", "blank.example ", EMU_UTF8);
    ASSERT_EQ(phonebook_save(b.pb), 1);
    ASSERT_EQ(b.load(), 1);
    const int expected[] = {EMU_PETSCII40, -1, EMU_UTF8, -1, EMU_TTY, EMU_VT100, EMU_PETSCII80, EMU_UTF8};
    for (int i = 0; i < 8; i++) EXPECT_EQ(b.pb->entries[i].emulation, expected[i]) << "slot " << i;

    write_file(b.ext(), kExtHeader + "utf8\tother\tother.example\r\n"      // names compare with case
                                     "  c64\tOther\tother.example  \r\n"); // alias, blanks at the ends
    ASSERT_EQ(b.load(), 1);
    EXPECT_EQ(b.pb->entries[1].emulation, EMU_PETSCII40);
}

// A file longer than 2000 records loads its first 2000 and is not written by loading.
TEST(PhonebookFile, LongFileLoadsAndIsNotWrittenByLoading) {
    std::string fon(kFileSize + 500, 'A');
    Book b;
    write_file(b.fon(), fon);
    ASSERT_EQ(b.load(), 1);
    EXPECT_EQ(strlen(b.pb->entries[1999].name), 60u);
    EXPECT_TRUE(read_file(b.fon()) == fon);
    EXPECT_EQ(b.dir.entries(), 1);
}

// A file that exists but cannot be read must not be replaced by the little that was read.
TEST(PhonebookFile, UnreadableFileIsNotOverwritten) {
    for (const char *name : {"pelo.fon", "pelong.ext"}) {
        Book b;
        write_file(b.fon(), record("Keep", "keep.example"));
        unlink(b.dir.file(name).c_str());
        ASSERT_EQ(mkdir(b.dir.file(name).c_str(), 0700), 0); // opens, but every read fails
        b.load();
        b.set(5, "New", "new.example");
        EXPECT_EQ(phonebook_save(b.pb), 0) << name;
        EXPECT_TRUE(std::filesystem::is_directory(b.dir.file(name))) << name;
        EXPECT_EQ(read_file(b.fon()).size(), std::string(name) == "pelo.fon" ? 0u : 197u) << "nothing saved";
    }
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
        EXPECT_TRUE(fon == old_fon || (fon.size() == kFileSize && fon.substr(7 * 197, 4) == "\x07"
                                                                                            "Cha"));
        if (result == 0) {
            EXPECT_EQ(read_file(b.ext()), old_ext);
        }
        EXPECT_EQ(b.dir.entries(), 2);
        return result;
    });
    for (int kind : {FAULT_OPEN, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME}) EXPECT_EQ(counted.calls[kind], 2);
    EXPECT_GE(counted.calls[FAULT_WRITE], 97);
}

// A path longer than the phonebook's buffer was cut, and the save wrote a file of another name.
TEST(PhonebookFile, PathTooLongForTheBufferIsNeverSavedUnderACutName) {
    TempDir dir;
    std::string deep = dir.path + std::string(200, 'd') + "/" + std::string(200, 'e') + "/";
    std::filesystem::create_directories(deep);
    std::string fon = deep + std::string(100, 'f') + "pelo.fon"; // over 511 characters
    write_file(fon, record("Deep", "deep.example"));
    Phonebook *pb = phonebook_create();
    ASSERT_EQ(phonebook_load(pb, fon.c_str(), (deep + "pelong.ext").c_str()), 1);
    EXPECT_STREQ(pb->entries[0].name, "Deep");
    EXPECT_EQ(phonebook_save(pb), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep), {}), 1);
    phonebook_destroy(pb);
}
