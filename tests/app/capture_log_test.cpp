// The capture log: where its file goes (the download directory rule), and the failures that the
// end-to-end session does not reach. What goes into the file is checked there, byte for byte.
#include <sys/stat.h>

#include "app/capture_log.h"
#include "app/program_dir.h"
#include "base/text.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"
#include "tests/settings/file_helpers.h"

namespace {

TEST(CaptureDirTest, TheDownloadDirectoryRuleWithItsFallBack) {
    TempDir program, downloads;
    // An existing directory without the separator, a missing last level (made), a read-only file system.
    for (auto [setting, expected] :
         {std::pair{downloads.path.substr(0, downloads.path.size() - 1), downloads.path},
          {downloads.file("new"), downloads.file("new/")},
          {std::string("/proc"), program.path}}) {
        char path[CAPTURE_PATH_SIZE];
        capture_default_path(setting.c_str(), program.path.c_str(), path, sizeof path);
        EXPECT_EQ(std::string(path), expected + "pelong.log") << setting;
    }
    EXPECT_EQ(downloads.entries(), 1) << "a probe file was left behind"; // new
}

TEST_F(AppTest, CaptureNeitherAFailedOpenNorAFailedWriteStopsTheProgram) {
    TempDir dir;
    program_paths_form(&g_paths, dir.path.c_str());
    g_capture.path[0] = 0;
    g_script.keys = {KEY_ESC};
    capture_toggle();
    EXPECT_EQ(dir.entries(), 0); // cancelled: nothing made, the probe gone

    // A FIFO nobody reads would block an ordinary open for good.
    std::string fifo = dir.file("fifo");
    mkfifo(fifo.c_str(), 0600);
    text_copy(g_capture.path, fifo.c_str(), sizeof g_capture.path);
    g_script.keys = {KEY_ENTER};
    capture_toggle();
    EXPECT_TRUE(shown("Unable to open the capture file."));
    EXPECT_EQ(g_status_bar.capture_open, 0);

    EXPECT_EQ(capture_open("/dev/full"), 1); // every write fails with ENOSPC
    capture_write((const uint8_t *)"data", 4);
    EXPECT_EQ(g_status_bar.capture_open, 1); // capture stays on
    capture_close();
}

} // namespace
