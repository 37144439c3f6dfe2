#include "app/command_entries.h"

#include "display/window.h"

void transfer_download() {}
void transfer_upload() {}
void transfer_autostart_reset() {}

int transfer_autostart_scan(const uint8_t *bytes, int length, int *start, int *upload) {
    (void)bytes;
    (void)length;
    *start = 0;
    *upload = 0;
    return 0;
}

void fullscreen_toggle() {
    window_toggle_fullscreen();
}
