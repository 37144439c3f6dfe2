// Crash-safe saving: whichever system call fails, the old file stays byte-identical, the save reports
// failure and no temporary file is left; partial writes are carried on; permissions and links survive.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "settings/settings.h"
#include "term/text.h"
#include "tests/settings/file_helpers.h"

static const char kOldClassic[] = "old classic\r\n";
static const char kOldExtended[] = "old extended\r\n";

static Settings changed_settings(const TempDir &dir) {
    Settings s;
    settings_set_defaults(&s);
    text_copy(s.download_path, "/new", sizeof s.download_path);
    text_copy(s.classic_path, dir.file("pelo.cfg").c_str(), sizeof s.classic_path);
    text_copy(s.extended_path, dir.file("pelong.cfg").c_str(), sizeof s.extended_path);
    return s;
}

// The calls of each kind one whole settings write makes, with writes cut to at most 50 bytes so that
// each file takes several.
static void count_calls(int counts[6]) {
    TempDir dir;
    Settings s = changed_settings(dir);
    fault_arm(FaultPlan::NONE, 0, 50);
    EXPECT_EQ(settings_write(&s), 1);
    for (int k = 0; k < 6; k++) counts[k] = fault_calls((FaultPlan::Kind)k);
    fault_disarm();
}

TEST(SafeSave, AnyFailedCallLeavesTheSettingsFileThatFailedUntouched) {
    int counts[6];
    count_calls(counts);
    ASSERT_EQ(counts[FaultPlan::OPEN], 2);
    ASSERT_GT(counts[FaultPlan::WRITE], 20);
    std::string new_classic, new_extended;
    {
        TempDir dir;
        Settings s = changed_settings(dir);
        ASSERT_EQ(settings_write(&s), 1);
        new_classic = read_file(dir.file("pelo.cfg"));
        new_extended = read_file(dir.file("pelong.cfg"));
    }
    for (int kind = FaultPlan::OPEN; kind <= FaultPlan::RENAME; kind++) {
        for (int n = 1; n <= counts[kind]; n++) {
            SCOPED_TRACE(testing::Message() << "kind " << kind << " call " << n);
            TempDir dir;
            write_file(dir.file("pelo.cfg"), kOldClassic);
            write_file(dir.file("pelong.cfg"), kOldExtended);
            Settings s = changed_settings(dir);
            fault_arm((FaultPlan::Kind)kind, n, 50);
            EXPECT_EQ(settings_write(&s), 0);
            fault_disarm();
            std::string classic = read_file(dir.file("pelo.cfg")),
                        extended = read_file(dir.file("pelong.cfg"));
            // The classic file is written first: either it failed (both old) or it is whole and new.
            EXPECT_TRUE(classic == kOldClassic || classic == new_classic);
            EXPECT_EQ(extended, kOldExtended);
            EXPECT_EQ(directory_entries(dir.path), 2);
        }
    }
}

TEST(SafeSave, ShortWritesAreCarriedOn) {
    TempDir dir;
    Settings s = changed_settings(dir);
    fault_arm(FaultPlan::NONE, 0, 1); // one byte per write
    EXPECT_EQ(settings_write(&s), 1);
    fault_disarm();
    Settings back;
    settings_set_defaults(&back);
    settings_load(&back, s.classic_path, s.extended_path);
    EXPECT_STREQ(back.download_path, "/new");
    EXPECT_EQ(read_file(dir.file("pelo.cfg")).size(), 704u); // the 700 bytes of defaults and "/new"
}

TEST(SafeSave, KeepsPermissionsAndSavesThroughLinks) {
    TempDir dir;
    write_file(dir.file("real.cfg"), kOldClassic);
    chmod(dir.file("real.cfg").c_str(), 0600);
    ASSERT_EQ(symlink("real.cfg", dir.file("pelo.cfg").c_str()), 0);
    Settings s = changed_settings(dir);
    ASSERT_EQ(settings_write(&s), 1);
    struct stat st;
    ASSERT_EQ(lstat(dir.file("pelo.cfg").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(dir.file("real.cfg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(read_file(dir.file("real.cfg")).substr(0, 6), "/new\r\n");
}
