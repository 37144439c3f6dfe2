// Crash-safe saving of the settings: failed calls, short writes, permissions, links, protected files.
#include <gtest/gtest.h>

#include "settings/settings.h"
#include "base/text.h"
#include "tests/settings/file_helpers.h"

static Settings changed_settings(const TempDir &dir) {
    Settings s;
    settings_set_defaults(&s);
    settings_load(&s, dir.file("pelo.cfg").c_str(), dir.file("pelong.cfg").c_str());
    text_copy(s.download_path, "/new", sizeof s.download_path);
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
        EXPECT_TRUE(classic == "old classic" || classic == new_classic) << classic; // old, or whole and new
        EXPECT_TRUE(result == 1 || extended == "old extended") << extended;         // written second
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
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("pelo.cfg")));
    EXPECT_EQ(std::filesystem::status(dir.file("real.cfg")).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(read_file(dir.file("real.cfg")).substr(0, 6), "/new\r\n");
}

// A rename passes over the permissions a plain write must respect: a pelo.cfg the user made
// read-only was replaced, and one that could not be read was replaced by defaults.
TEST(SafeSave, FilesTheUserProtectedStayAsTheyAre) {
    TempDir dir;
    const uid_t user = geteuid() == 0 ? 65534 : geteuid(); // root passes every check: run as nobody
    ASSERT_EQ(chown(dir.path.c_str(), user, user), 0);
    ASSERT_EQ(seteuid(user), 0);
    const std::string cfg = dir.file("pelo.cfg"), old = "/old\r\n";
    write_file(cfg, old);
    chmod(cfg.c_str(), 0444);
    Settings s = changed_settings(dir);
    EXPECT_TRUE(settings_write(&s) == 0 && errno == EACCES) << "a read-only file was replaced";
    chmod(cfg.c_str(), 0200); // writable, but it cannot be read
    s = changed_settings(dir);
    chmod(cfg.c_str(), 0644);
    EXPECT_EQ(settings_write(&s), 0) << "an unreadable file was replaced";
    EXPECT_EQ(read_file(cfg), old);
    EXPECT_EQ(seteuid(getuid()), 0);
}
