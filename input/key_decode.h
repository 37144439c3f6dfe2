// Turns the bytes a terminal sends for keys (raw mode) into key codes: UTF-8 characters, the
// xterm / VT220 / rxvt / Linux-console sequences for the navigation and function keys with their
// modifiers, and ESC + letter or digit for Alt. Pure logic: bytes and a tick in, codes out.
#pragma once
#include <cstdint>

#include "input/key_queue.h"

enum {
    KEY_DECODE_HOLD = 32,     // longest sequence kept while waiting for its end
    KEY_DECODE_LONE_ESC = 40, // milliseconds of silence that make a held ESC a key of its own
};

struct KeyDecoder {
    uint8_t held[KEY_DECODE_HOLD]; // bytes of a sequence or character not finished yet
    int count;
    uint32_t last_byte_ms; // tick of the last byte received
};

extern KeyDecoder g_key_decoder;

// Decodes bytes received at tick now; finished keys go into q.
void key_decode_feed(KeyDecoder *d, const uint8_t *bytes, int length, uint32_t now, KeyQueue *q);
// When bytes have been held for KEY_DECODE_LONE_ESC ms or more, settles them: a lone ESC is Esc,
// ESC + letter waiting for more is Alt with the letter, anything unfinished else is dropped.
void key_decode_expire(KeyDecoder *d, uint32_t now, KeyQueue *q);
// Milliseconds until held bytes expire (0 when due), or -1 when nothing is held.
int key_decode_wait_ms(const KeyDecoder *d, uint32_t now);
void key_decode_reset(KeyDecoder *d);
