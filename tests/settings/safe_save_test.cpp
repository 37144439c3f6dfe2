// Crash-safe saving: whichever system call fails, the old file stays byte-identical, the save reports
// failure and no temporary file is left; partial writes are carried on; permissions and links survive.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "base/text.h"
#include "tests/settings/file_helpers.h"

static Settings changed_settings(const TempDir &dir) {
    Settings s;
    settings_set_defaults(&s);
    text_copy(s.download_path, "/new", sizeof s.download_path);
    text_copy(s.classic_path, dir.file("pelo.cfg").c_str(), sizeof s.classic_path);
    text_copy(s.extended_path, dir.file("pelong.cfg").c_str(), sizeof s.extended_path);
    return s;
}

TEST(SafeSave, AnyFailedCallLeavesTheSettingsFileThatFailedUntouched) {
    std::string new_classic;
    FaultPlan counted = fail_each_call(50, [&] { // at most 50 bytes a write: short writes carried on
        TempDir dir;
        write_file(dir.file("pelo.cfg"), "old classic");
        write_file(dir.file("pelong.cfg"), "old extended");
        Settings s = changed_settings(dir);
        int result = settings_write(&s);
        std::string classic = read_file(dir.file("pelo.cfg")), extended = read_file(dir.file("pelong.cfg"));
        if (new_classic.empty()) new_classic = classic; // the first save fails nothing
        // The classic file is written first: either it failed (both old) or it is whole and new.
        EXPECT_TRUE(classic == "old classic" || classic == new_classic);
        if (result == 0) {
            EXPECT_EQ(extended, "old extended");
        }
        EXPECT_EQ(dir.entries(), 2);
        return result;
    });
    for (int kind : {FAULT_OPEN, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME}) EXPECT_EQ(counted.calls[kind], 2);
    EXPECT_GT(counted.calls[FAULT_WRITE], 20);
}

TEST(SafeSave, KeepsPermissionsAndSavesThroughLinks) {
    TempDir dir;
    write_file(dir.file("real.cfg"), "old");
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

// A rename passes over the permissions a plain write must respect: a pelo.cfg the user made
// read-only was replaced, and one that could not be read was replaced by defaults.
TEST(SafeSave, FilesTheUserProtectedStayAsTheyAre) {
    TempDir dir;
    int failed = run_unprivileged(dir, [&] {
        int bad = 0;
        const std::string cfg = dir.file("pelo.cfg"), old = "/old\r\n";
        write_file(cfg, old);
        chmod(cfg.c_str(), 0444);
        Settings s = changed_settings(dir);
        settings_load(&s, cfg.c_str(), dir.file("pelong.cfg").c_str());
        if (settings_write(&s) != 0 || errno != EACCES || read_file(cfg) != old) bad |= 1;
        chmod(cfg.c_str(), 0200); // writable, but it cannot be read
        settings_set_defaults(&s);
        settings_load(&s, cfg.c_str(), dir.file("pelong.cfg").c_str());
        chmod(cfg.c_str(), 0644);
        if (settings_write(&s) != 0 || read_file(cfg) != old) bad |= 2;
        if (dir.entries() != 1) bad |= 4; // no temporary file, no extended file
        return bad;
    });
    EXPECT_EQ(failed, 0);
}
