// Notices a Zmodem start in the data a host sends: "**" ZDLE "B" and the frame type 00 (the host
// wants to send, ZRQINIT) or 01 (the host is ready to receive, ZRINIT). The state survives between
// blocks, so a start split over two reads is found.
#pragma once
#include <cstdint>

enum { AUTOSTART_LENGTH = 6 }; // "**\x18B0" and the second digit

struct AutoStartDetector {
    int state; // bytes of "**\x18B0" matched, 5 waits for the second digit
};

enum { AUTOSTART_DOWNLOAD = 0, AUTOSTART_UPLOAD = 1 };

void autostart_reset(AutoStartDetector *d);
// Scans a block: 0 when no start completed in it; otherwise the 1-based index of the byte that
// completed one, with *direction AUTOSTART_DOWNLOAD or AUTOSTART_UPLOAD. The scan stops there.
int autostart_scan(AutoStartDetector *d, const uint8_t *bytes, int length, int *direction);
