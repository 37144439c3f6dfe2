#include "zmodem/autostart.h"

#include <cstring>

static const uint8_t kPattern[5] = {'*', '*', 0x18, 'B', '0'};

void autostart_reset(AutoStartDetector *d) {
    d->state = 0;
}

int autostart_scan(AutoStartDetector *d, const uint8_t *bytes, int length, int *direction) {
    for (int i = 0; i < length; i++) {
        if (d->state == 0) { // most data holds no "*" at all
            const void *star = memchr(bytes + i, '*', (size_t)(length - i));
            if (!star) return 0;
            i = (int)((const uint8_t *)star - bytes);
        }
        uint8_t b = bytes[i];
        if (d->state == 5) {
            d->state = 0;
            if (b == '0' || b == '1') {
                *direction = b == '0' ? AUTOSTART_DOWNLOAD : AUTOSTART_UPLOAD;
                return i + 1;
            }
            continue; // another frame type: nothing starts
        }
        if (b == kPattern[d->state])
            d->state++;
        else if (b == '*')
            d->state = d->state == 2 ? 2 : 1; // a third "*" keeps the pair; a late one starts over
        else
            d->state = 0;
    }
    return 0;
}
