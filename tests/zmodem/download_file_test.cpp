// Names offered by hosts, new files only, and the download directory's write probe.
#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/settings/file_helpers.h"
#include "zmodem/download_file.h"

TEST(DownloadName, HostileNamesStayInsideTheDirectory) {
    const struct {
        std::string offered, expected;
    } cases[] = {
        {"../../etc/passwd", "passwd"},
        {"dir\\a?b.txt", "a_b.txt"},
        {"..", "download.bin"},
        {"c:d", "d"},
        {std::string(252, 'n') + ".txt", std::string(251, 'n') + ".txt"}, // cut to 255, extension kept
        {std::string(254, 'n') + "\xc3\xa9", std::string(254, 'n')},      // never half a character
    };
    for (const auto &c : cases) {
        char out[DOWNLOAD_NAME_MAX + 1];
        download_clean_name(c.offered.c_str(), out);
        EXPECT_EQ(std::string(out), c.expected) << c.offered;
    }
}

TEST(DownloadCreate, NeverOpensOrFollowsWhatIsThere) {
    TempDir dir, outside;
    write_file(dir.file("taken"), "old");
    ASSERT_EQ(symlink(outside.file("victim").c_str(), dir.file("link").c_str()), 0);
    ASSERT_EQ(symlink(outside.file("victim2").c_str(), dir.file("link.1").c_str()), 0);
    for (std::string name : {"fresh", "taken.1", "link.2"}) { // asked for the part before the dot
        char path[DOWNLOAD_PATH_SIZE], used[DOWNLOAD_NAME_MAX + 1];
        int fd = download_create(dir.path.c_str(), name.substr(0, name.find('.')).c_str(), path, sizeof path,
                                 used);
        ASSERT_GE(fd, 0) << name;
        EXPECT_EQ(std::string(used), name);
        EXPECT_EQ(std::string(path), dir.path + name);
        close(fd);
    }
    EXPECT_EQ(read_file(dir.file("taken")), "old");
    EXPECT_EQ(outside.entries(), 0) << "a link was followed";
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
