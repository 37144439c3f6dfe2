// The capture log (Alt-L): every data byte received from the host, as the telnet layer hands it on,
// appended to a file until the user switches it off or the program ends. While it is open the status
// bar shows "LOG".
#pragma once
#include <cstdint>

enum {
    CAPTURE_PATH_SIZE = 600, // the download directory and "pelong.log"
    CAPTURE_EDIT_CHARS = 250,
};

struct CaptureLog {
    int fd;                       // -1 when off
    char path[CAPTURE_PATH_SIZE]; // the last path used; kept for the rest of the run
};

extern CaptureLog g_capture;

// The path offered when none was used yet: "pelong.log" in the download directory, which is the
// download path setting, or the program directory when that is empty or no file can be made there.
void capture_default_path(const char *download_setting, const char *program_dir, char *out, int size);
// Opens path for appending (created when missing, never truncated); 1 when capture is on.
int capture_open(const char *path);
// Alt-L: asks for the path and opens it, or closes the open file and says so.
void capture_toggle();
// Appends received data bytes; a failed write is dropped, the call goes on.
void capture_write(const uint8_t *bytes, int length);
// Closes the file, if open (again and again is harmless).
void capture_close();
