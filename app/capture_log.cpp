#include "app/capture_log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "app/compose.h"
#include "app/program_dir.h"
#include "app/status_bar.h"
#include "base/text.h"
#include "settings/settings.h"
#include "ui/toolkit.h"
#include "zmodem/download_file.h"

CaptureLog g_capture = {-1, ""};

void capture_default_path(const char *download_setting, const char *program_dir, char *out, int size) {
    char dir[CAPTURE_PATH_SIZE];
    download_dir_choose(download_setting, program_dir, dir, sizeof dir);
    text_format(out, size, "%spelong.log", dir);
}

int capture_open(const char *path) {
    // Non-blocking so that a FIFO with no reader fails here instead of hanging the program.
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return 0;
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    capture_close();
    g_capture.fd = fd;
    g_status_bar.capture_open = 1;
    return 1;
}

void capture_close() {
    if (g_capture.fd >= 0) close(g_capture.fd);
    g_capture.fd = -1;
    g_status_bar.capture_open = 0;
}

void capture_write(const uint8_t *bytes, int length) {
    if (g_capture.fd < 0) return;
    while (length > 0) {
        ssize_t n = write(g_capture.fd, bytes, (size_t)length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // a full disk or a lost device: the rest of this block is dropped
        bytes += n;
        length -= (int)n;
    }
}

void capture_toggle() {
    if (g_capture.fd >= 0) {
        capture_close();
        char text[CAPTURE_PATH_SIZE + 32];
        text_format(text, sizeof text, "Capture closed:\n%s", g_capture.path);
        compose_frame();
        ui_message("Capture", text);
        return;
    }
    if (!g_capture.path[0])
        capture_default_path(g_settings.download_path, g_paths.dir, g_capture.path, sizeof g_capture.path);
    // The line editor cuts what it is given to its limit; a longer offered path is never cut.
    char path[CAPTURE_PATH_SIZE];
    text_copy(path, g_capture.path, sizeof path);
    int limit = (int)strlen(path) > CAPTURE_EDIT_CHARS ? (int)strlen(path) : CAPTURE_EDIT_CHARS;
    compose_frame();
    if (!ui_input("Capture Log", "Capture incoming data to file:", path, limit)) {
        compose_and_present();
        return;
    }
    text_copy(g_capture.path, path, sizeof g_capture.path);
    if (!capture_open(path)) {
        compose_frame();
        ui_message("Capture", "Unable to open the capture file.");
    }
    compose_and_present();
}
