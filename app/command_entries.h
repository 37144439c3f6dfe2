// Entry points of the commands whose screens live in areas of their own (Zmodem transfers, full
// screen), called by name from the key commands and the main loop. In this build they do nothing
// visible.
#pragma once
#include <cstdint>

void transfer_download();
void transfer_upload();
// The detector for a transfer that the host starts: forgotten at every call placed.
void transfer_autostart_reset();
// Looks for the start of a transfer in received data. 0 when there is none; otherwise 1 with the
// offset of the 6-byte start sequence in bytes (negative when it began in an earlier block) and
// upload set when the host announced a receiver.
int transfer_autostart_scan(const uint8_t *bytes, int length, int *start, int *upload);
void fullscreen_toggle();
