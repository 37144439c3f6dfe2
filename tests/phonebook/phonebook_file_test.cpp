// The phonebook's files: exact bytes written, stored bytes kept, the backup rule, the extension file,
// bad files, and saves that fail part-way.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "phonebook/phonebook.h"
#include "term/emulation.h"
#include "term/text.h"
#include "tests/settings/file_helpers.h"

static const size_t kFileSize = 2000 * 197;

// A record laid out by hand: length byte then characters at offsets 0, 61, 122, 131 and 164.
static std::string record(const char *name, const char *address, const char *last_call = "",
                          const char *login = "", const char *password = "") {
    std::string r(197, '\0');
    auto put = [&r](int offset, const char *text) {
        r[offset] = (char)strlen(text);
        memcpy(&r[offset + 1], text, strlen(text));
    };
    put(0, name);
    put(61, address);
    put(122, last_call);
    put(131, login);
    put(164, password);
    return r;
}

struct Book {
    TempDir dir;
    Phonebook *pb = phonebook_create();
    ~Book() { phonebook_destroy(pb); }
    std::string fon() const { return dir.file("pelo.fon"); }
    std::string ext() const { return dir.file("pelong.ext"); }
    int load() { return phonebook_load(pb, fon().c_str(), ext().c_str()); }
    PhonebookEntry &at(int i) { return pb->entries[i]; }
};

static void set_entry(PhonebookEntry *e, const char *name, const char *address, int emulation = -1) {
    text_copy(e->name, name, sizeof e->name);
    text_copy(e->address, address, sizeof e->address);
    e->emulation = emulation;
}

static const char kExtHeader[] = "; Pelorin NG phonebook extensions: emulation<TAB>name<TAB>address\r\n";

TEST(PhonebookFile, SavedFromKnownEntriesMatchesTheExpectedImage) {
    Book b;
    ASSERT_EQ(b.load(), 0); // no file yet: empty, not an error for the caller
    set_entry(&b.at(0), "Alpha BBS", "alpha.example 2323", EMU_PETSCII40);
    text_copy(b.at(0).last_call, "01/02/24", sizeof b.at(0).last_call);
    text_copy(b.at(0).login, "me", sizeof b.at(0).login);
    text_copy(b.at(0).password, "secret", sizeof b.at(0).password);
    set_entry(&b.at(2), "Name only", "");
    set_entry(&b.at(3), "", "");
    text_copy(b.at(3).login, "ghost", sizeof b.at(3).login); // no name, no address: an empty slot
    set_entry(&b.at(1999), "Last", "last.example", EMU_VT100);
    ASSERT_EQ(phonebook_save(b.pb), 1);

    std::string expected(kFileSize, '\0');
    expected.replace(0, 197, record("Alpha BBS", "alpha.example 2323", "01/02/24", "me", "secret"));
    expected.replace(2 * 197, 197, record("Name only", ""));
    expected.replace(1999 * 197, 197, record("Last", "last.example"));
    EXPECT_TRUE(read_file(b.fon()) == expected);
    EXPECT_EQ(read_file(b.ext()), std::string(kExtHeader) + "petscii40\tAlpha BBS\talpha.example 2323\r\n" +
                                      "vt100\tLast\tlast.example\r\n");
    EXPECT_FALSE(file_exists(b.fon() + ".bak")); // nothing was loaded
    EXPECT_EQ(b.pb->loaded_count, 2000u);
}

TEST(PhonebookFile, StoredBytesSurviveLoadAndSave) {
    // Name of length 5 with a NUL inside and stray bytes behind it; a last-call length above its field.
    std::string odd = record("ab?de", "bbs", "12/31/99", "user", "pw");
    odd[1 + 2] = '\0';
    memcpy(&odd[1 + 5], "STRAY", 5);
    memcpy(&odd[62 + 3], "junk", 4);
    odd[122] = (char)200;
    memcpy(&odd[165 + 2], "left", 4);
    Book b;
    write_file(b.fon(), odd + record("Plain", "plain.example"));
    ASSERT_EQ(b.load(), 1);
    EXPECT_STREQ(b.at(0).name, "ab de");
    EXPECT_STREQ(b.at(0).address, "bbs");
    EXPECT_STREQ(b.at(0).last_call, "12/31/99");
    EXPECT_STREQ(b.at(0).password, "pw");

    ASSERT_EQ(phonebook_save(b.pb), 1);
    std::string saved = read_file(b.fon());
    ASSERT_EQ(saved.size(), kFileSize);
    EXPECT_TRUE(saved.substr(0, 197) == odd);

    // Only the changed field is encoded again; the stray bytes of the others stay.
    text_copy(b.at(0).password, "new", sizeof b.at(0).password);
    ASSERT_EQ(phonebook_save(b.pb), 1);
    saved = read_file(b.fon());
    std::string expected = odd;
    expected.replace(164, 33, std::string("\x03new") + std::string(29, '\0'));
    EXPECT_TRUE(saved.substr(0, 197) == expected);
    EXPECT_TRUE(saved.substr(197, 197) == record("Plain", "plain.example"));
}

// One row per backup case: records in the file before the first save (and a partial one).
struct BackupCase {
    const char *what;
    int records;
    int partial_bytes;
    bool expect_backup;
};

static const BackupCase kBackupCases[] = {
    {"three records and a partial one", 3, 100, true},
    {"exactly 200 records", 200, 0, true},
    {"201 records", 201, 0, false},
    {"an empty file", 0, 0, false},
};

TEST(PhonebookFile, BackupIsMadeOnceForSmallFilesOnly) {
    for (const BackupCase &c : kBackupCases) {
        SCOPED_TRACE(c.what);
        Book b;
        std::string old;
        for (int i = 0; i < c.records; i++) old += record("Entry", "host.example");
        old += std::string((size_t)c.partial_bytes, 'p');
        write_file(b.fon(), old);
        ASSERT_EQ(b.load(), 1);
        EXPECT_EQ(b.pb->loaded_count, (uint32_t)c.records);
        EXPECT_EQ(phonebook_count_used(b.pb), c.records);
        ASSERT_EQ(phonebook_save(b.pb), 1);
        EXPECT_EQ(read_file(b.fon()).size(), kFileSize);
        EXPECT_EQ(file_exists(b.fon() + ".bak"), c.expect_backup);
        if (c.expect_backup) {
            EXPECT_TRUE(read_file(b.fon() + ".bak") == old);
        }
        // A second save in the same run never makes one.
        unlink((b.fon() + ".bak").c_str());
        ASSERT_EQ(phonebook_save(b.pb), 1);
        EXPECT_FALSE(file_exists(b.fon() + ".bak"));
    }
}

TEST(PhonebookFile, ExistingBackupIsNeverReplaced) {
    Book b;
    write_file(b.fon(), record("One", "one.example"));
    write_file(b.fon() + ".bak", "older backup");
    ASSERT_EQ(b.load(), 1);
    ASSERT_EQ(phonebook_save(b.pb), 1);
    EXPECT_EQ(read_file(b.fon() + ".bak"), "older backup");
}

TEST(PhonebookFile, ExtensionLinesGoBackToTheirSlots) {
    Book b;
    b.load(); // no files yet: sets the paths
    set_entry(&b.at(0), "Twin", "twin.example", EMU_PETSCII40);
    set_entry(&b.at(1), "Other", "other.example");
    set_entry(&b.at(2), "Twin", "twin.example", EMU_UTF8);
    set_entry(&b.at(3), "Twin", "twin.example");
    set_entry(&b.at(4), "Name", "a\tb", EMU_TTY); // a TAB in the address still round-trips
    ASSERT_EQ(phonebook_save(b.pb), 1);
    ASSERT_EQ(b.load(), 1);
    const int expected[] = {EMU_PETSCII40, -1, EMU_UTF8, -1, EMU_TTY};
    for (int i = 0; i < 5; i++) EXPECT_EQ(b.at(i).emulation, expected[i]) << "slot " << i;
}

TEST(PhonebookFile, BadExtensionLinesAreSkipped) {
    Book b;
    write_file(b.fon(), record("Name", "host") + record("Second", "second"));
    write_file(b.ext(), std::string(kExtHeader) + "; petscii40\tName\thost\r\n" // comment
                                                  "petscii40\tName\r\n"         // one TAB only
                                                  "vt52\tName\thost\r\n"        // no such emulation
                                                  "tty\tNobody\thost\r\n"       // no such entry
                                                  "  c64\tSecond\tsecond  \r\n" // alias, blanks at the ends
                                                  "utf8\tname\thost\r\n"        // names compare with case
                                                  "vt100\tName\thost\r\n");
    ASSERT_EQ(b.load(), 1);
    EXPECT_EQ(b.at(0).emulation, EMU_VT100);
    EXPECT_EQ(b.at(1).emulation, EMU_PETSCII40);
}

TEST(PhonebookFile, BadFilesLoadSafelyAndAreNotWrittenByLoading) {
    std::string junk;
    for (int i = 0; i < 500000; i++) junk += (char)((i * 2654435761u) >> 13);
    std::string long_lengths(197, (char)0xFF);
    const std::string fons[] = {junk, long_lengths + long_lengths.substr(0, 50),
                                std::string(kFileSize + 500, 'A')};
    for (const std::string &fon : fons) {
        Book b;
        write_file(b.fon(), fon);
        write_file(b.ext(), junk.substr(0, 20000));
        ASSERT_EQ(b.load(), 1);
        for (const PhonebookEntry &e : b.pb->entries) {
            EXPECT_LE(strlen(e.name), 60u);
            EXPECT_LE(strlen(e.last_call), 8u);
            EXPECT_LE(strlen(e.password), 32u);
        }
        EXPECT_LE(b.pb->loaded_count, 2000u);
        EXPECT_TRUE(read_file(b.fon()) == fon);
        EXPECT_EQ(directory_entries(b.dir.path), 2);
    }
}

// A file that exists but cannot be read must not be replaced by the little that was read.
TEST(PhonebookFile, UnreadableFileIsNotOverwritten) {
    const char *which[] = {"pelo.fon", "pelong.ext"};
    for (const char *name : which) {
        SCOPED_TRACE(name);
        Book b;
        write_file(b.fon(), record("Keep", "keep.example"));
        unlink(b.dir.file(name).c_str());
        ASSERT_EQ(mkdir(b.dir.file(name).c_str(), 0700), 0); // opens, but every read fails
        b.load();
        set_entry(&b.at(5), "New", "new.example");
        EXPECT_EQ(phonebook_save(b.pb), 0);
        struct stat st;
        ASSERT_EQ(stat(b.dir.file(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
    }
}

TEST(PhonebookFile, AnyFailedCallLeavesTheOldFilesUntouched) {
    std::string old_fon;
    for (int i = 0; i < 2000; i++) old_fon += record("Old", "old.example"); // 2000 records: no backup
    const std::string old_ext = std::string(kExtHeader) + "tty\tOld\told.example\r\n";
    auto prepare = [&](Book &b) {
        write_file(b.fon(), old_fon);
        write_file(b.ext(), old_ext);
        b.load();
        set_entry(&b.at(7), "Changed", "changed.example", EMU_VT100);
    };
    int counts[6];
    {
        Book b;
        prepare(b);
        fault_arm(FaultPlan::NONE, 0);
        ASSERT_EQ(phonebook_save(b.pb), 1);
        for (int k = 0; k < 6; k++) counts[k] = fault_calls((FaultPlan::Kind)k);
        fault_disarm();
    }
    ASSERT_EQ(counts[FaultPlan::OPEN], 2);
    ASSERT_GE(counts[FaultPlan::WRITE], 97);
    for (int kind = FaultPlan::OPEN; kind <= FaultPlan::RENAME; kind++) {
        for (int n = 1; n <= counts[kind]; n++) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " call " << n);
            Book b;
            prepare(b);
            fault_arm((FaultPlan::Kind)kind, n);
            EXPECT_EQ(phonebook_save(b.pb), 0);
            fault_disarm();
            std::string fon = read_file(b.fon());
            bool fon_is_old = fon == old_fon;
            EXPECT_TRUE(fon_is_old || (fon.size() == kFileSize && fon.substr(7 * 197, 4) == "\x07"
                                                                                            "Cha"));
            EXPECT_EQ(read_file(b.ext()), old_ext);
            EXPECT_EQ(directory_entries(b.dir.path), 2);
        }
    }
}

// A path longer than the phonebook's buffer was cut, and the save wrote a file of another name.
TEST(PhonebookFile, PathTooLongForTheBufferIsNeverSavedUnderACutName) {
    TempDir dir;
    std::string deep = dir.path + std::string(200, 'd') + "/" + std::string(200, 'e') + "/";
    ASSERT_EQ(mkdir(deep.substr(0, dir.path.size() + 200).c_str(), 0700), 0);
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
    std::string fon = deep + std::string(100, 'f') + "pelo.fon"; // over 511 characters
    write_file(fon, record("Deep", "deep.example"));
    Phonebook *pb = phonebook_create();
    ASSERT_EQ(phonebook_load(pb, fon.c_str(), (deep + "pelong.ext").c_str()), 1);
    EXPECT_STREQ(pb->entries[0].name, "Deep");
    EXPECT_EQ(phonebook_save(pb), 0);
    EXPECT_EQ(directory_entries(deep), 1);
    phonebook_destroy(pb);
}
