// Names offered by hosts, new files only, and the download directory rule.
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "tests/settings/file_helpers.h"
#include "zmodem/download_file.h"

static std::string cleaned(const std::string &offered) {
    char out[DOWNLOAD_NAME_MAX + 1];
    download_clean_name(offered.c_str(), out);
    return out;
}

TEST(DownloadName, HostileNamesStayInsideTheDirectory) {
    const std::string long_name = std::string(252, 'n') + ".txt";
    const struct {
        std::string offered, expected;
    } cases[] = {
        {"../../etc/passwd", "passwd"},
        {"dir\\a?b.txt", "a_b.txt"},
        {"..", "download.bin"},
        {"c:d", "d"},
        {"caf\xc3\xa9 \x7f", "caf\xc3\xa9 \x7f"},                    // high bytes and DEL pass
        {long_name, std::string(251, 'n') + ".txt"},                 // cut to 255, extension kept
        {std::string(254, 'n') + "\xc3\xa9", std::string(254, 'n')}, // never half a character
    };
    for (const auto &c : cases) EXPECT_EQ(cleaned(c.offered), c.expected) << c.offered;
}

TEST(DownloadCreate, NeverOpensOrFollowsWhatIsThere) {
    TempDir dir;
    TempDir outside;
    write_file(dir.file("taken"), "old");
    ASSERT_EQ(symlink(outside.file("victim").c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(symlink(outside.file("victim2").c_str(), dir.file("link.1").c_str()), 0);

    const struct {
        const char *name, *expected;
    } cases[] = {
        {"fresh", "fresh"},
        {"taken", "taken.1"},
        {"link", "link.2"},
    };
    for (const auto &c : cases) {
        char path[DOWNLOAD_PATH_SIZE], used[DOWNLOAD_NAME_MAX + 1];
        int fd = download_create(dir.path.c_str(), c.name, path, sizeof path, used);
        ASSERT_GE(fd, 0) << c.name;
        EXPECT_STREQ(used, c.expected);
        EXPECT_EQ(std::string(path), dir.path + c.expected);
        close(fd);
    }
    EXPECT_EQ(read_file(dir.file("taken")), "old");
    EXPECT_EQ(outside.entries(), 0) << "a link was followed";

    // A 255-byte name keeps its suffix inside the limit; with every number taken nothing opens.
    std::string longest(255, 'z');
    char path[DOWNLOAD_PATH_SIZE], used[DOWNLOAD_NAME_MAX + 1];
    close(download_create(dir.path.c_str(), longest.c_str(), path, sizeof path, used));
    int fd = download_create(dir.path.c_str(), longest.c_str(), path, sizeof path, used);
    EXPECT_EQ(std::string(used), std::string(253, 'z') + ".1");
    close(fd);
    for (int n = 2; n <= DOWNLOAD_NUMBERS; n++) write_file(dir.file("taken") + "." + std::to_string(n), "");
    EXPECT_EQ(download_create(dir.path.c_str(), "taken", path, sizeof path, used), -1);
    EXPECT_EQ(errno, EEXIST);
}

// Where files go is tested with the capture log, which shares the rule; here: the write probe.
TEST(DownloadDir, ProbeNeverDeletesAUsersFile) {
    TempDir home;
    char out[DOWNLOAD_DIR_SIZE];
    write_file(home.file("pelong.$$$"), "mine");
    download_dir_choose(home.path.c_str(), home.path.c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), home.path);
    EXPECT_EQ(read_file(home.file("pelong.$$$")), "mine");
}
