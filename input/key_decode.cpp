#include "input/key_decode.h"

#include <cstring>

#include "base/utf8.h"
#include "input/keys.h"

KeyDecoder g_key_decoder;

static const uint32_t kNothing = 0xFFFFFFFFu; // a sequence that produces no key
static const uint8_t ESC = 27;

// Numbered keys of "CSI n ~" (VT220, xterm, tmux, Linux console) and of rxvt's "CSI n $ ^ @".
static const struct {
    int number;
    uint32_t key;
} kTildeKeys[] = {
    {1, KEY_HOME},          // VT220 Find: Home on tmux and the Linux console
    {2, KEY_INSERT},        // Insert
    {3, KEY_DELETE},        // Delete
    {4, KEY_END},           // VT220 Select: End on tmux and the Linux console
    {5, KEY_PGUP},          // Prior
    {6, KEY_PGDN},          // Next
    {7, KEY_HOME},          // rxvt Home
    {8, KEY_END},           // rxvt End
    {11, key_function(1)},  // rxvt and old xterm F1-F4
    {12, key_function(2)},  //   F2
    {13, key_function(3)},  //   F3
    {14, key_function(4)},  //   F4
    {15, key_function(5)},  // F5
    {17, key_function(6)},  // F6 (16 is skipped, as on the VT220)
    {18, key_function(7)},  // F7
    {19, key_function(8)},  // F8
    {20, key_function(9)},  // F9
    {21, key_function(10)}, // F10
    {23, key_function(11)}, // F11 (22 is skipped)
    {24, key_function(12)}, // F12
};

// The xterm modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl, 8 Meta).
static uint32_t modifier_flags(int parameter) {
    if (parameter < 2 || parameter > 16) return 0;
    int bits = parameter - 1;
    uint32_t flags = 0;
    if (bits & 1) flags |= KEY_SHIFT;
    if (bits & (2 | 8)) flags |= KEY_ALT;
    if (bits & 4) flags |= KEY_CTRL;
    return flags;
}

// Up, Down, Right, Left for the final letters A B C D (and rxvt's a b c d).
static uint32_t arrow_key(uint8_t letter) {
    static const uint32_t kArrows[4] = {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT};
    return kArrows[(letter | 0x20) - 'a'];
}

// The final letters CSI and SS3 share: arrows, Home, End and F1-F4 with the modifier flags, and rxvt's
// lower-case arrows with lower_flags; kNothing for any other byte.
static uint32_t letter_key(uint8_t f, uint32_t flags, uint32_t lower_flags) {
    switch (f) {
    case 'A':
    case 'B':
    case 'C':
    case 'D': return arrow_key(f) | flags;
    case 'a':
    case 'b':
    case 'c':
    case 'd': return arrow_key(f) | lower_flags;
    case 'H': return KEY_HOME | flags;
    case 'F': return KEY_END | flags;
    case 'P':
    case 'Q':
    case 'R':
    case 'S': return (KEY_F1 + (uint32_t)(f - 'P')) | flags;
    }
    return kNothing;
}

// A UTF-8 character: bytes used (0 when more are needed), the code or kNothing when malformed. A
// character cut short drops what came and leaves the stranger for the next key.
static int parse_utf8(const uint8_t *b, int n, bool final, uint32_t *key) {
    uint32_t code;
    int used = utf8_decode(b, n, &code);
    *key = used > 0 ? code : kNothing;
    if (used == 0) return final ? n : 0;
    return used > 0 ? used : -used;
}

// CSI sequence starting at b[0] = ESC, b[1] = '['.
static int parse_csi(const uint8_t *b, int n, bool final, uint32_t *key) {
    *key = kNothing;
    if (n < 3) return final ? n : 0;
    if (b[2] == '[') { // Linux console F1-F5: ESC [ [ A..E
        if (n < 4) return final ? n : 0;
        if (b[3] >= 'A' && b[3] <= 'E') *key = KEY_F1 + (uint32_t)(b[3] - 'A');
        return 4;
    }
    int params[4] = {0, 0, 0, 0}, count = 1;
    bool odd = false; // private markers and intermediates: not a key this decoder knows
    int i = 2;
    for (;; i++) {
        if (i >= n) return final ? n : 0;
        uint8_t c = b[i];
        if (c >= '0' && c <= '9') {
            if (params[count - 1] < 10000) params[count - 1] = params[count - 1] * 10 + (c - '0');
        } else if (c == ';') {
            if (count < 4)
                count++;
            else
                odd = true;
        } else if (c == '$') { // rxvt's Shift form ends the sequence
            break;
        } else if (c >= 0x20 && c <= 0x3F) {
            odd = true;
        } else if (c >= 0x40 && c <= 0x7E) {
            break;
        } else {
            return i; // a control or 8-bit byte inside: drop the fragment, decode that byte anew
        }
    }
    uint8_t f = b[i];
    if (odd) return i + 1;
    uint32_t flags = count >= 2 ? modifier_flags(params[1]) : 0;
    *key = letter_key(f, flags, KEY_SHIFT); // rxvt Shift-arrows
    switch (f) {
    case 'Z': *key = KEY_SHIFT_TAB; break;
    case '~':
    case '$':
    case '^':
    case '@':
        if (f == '$') flags |= KEY_SHIFT;
        if (f == '^') flags |= KEY_CTRL;
        if (f == '@') flags |= KEY_CTRL | KEY_SHIFT;
        for (const auto &row : kTildeKeys)
            if (row.number == params[0]) *key = row.key | flags;
        break;
    }
    return i + 1;
}

// SS3 sequence starting at b[0] = ESC, b[1] = 'O'; ESC O with no key after it is Alt-O.
static int parse_ss3(const uint8_t *b, int n, bool final, uint32_t *key) {
    *key = kNothing;
    int i = 2, modifier = 0;
    for (; i < n && b[i] >= '0' && b[i] <= '9' && i < 4; i++) modifier = modifier * 10 + (b[i] - '0');
    if (i >= n) {
        if (!final) return 0;
        if (n == 2) *key = key_alt('o');
        return n;
    }
    uint8_t f = b[i];
    if (f < 0x40 || f > 0x7E) {
        if (i > 2) return i;
        *key = key_alt('o');
        return 2;
    }
    // M is the keypad's Enter; a to d are rxvt's Ctrl-arrows.
    *key = f == 'M' ? KEY_ENTER : letter_key(f, modifier_flags(modifier), KEY_CTRL);
    return i + 1;
}

static int parse_escape(const uint8_t *b, int n, bool final, uint32_t *key);

// One key from the start of b: bytes used, 0 when the bytes so far may still grow into a key.
static int parse_key(const uint8_t *b, int n, bool final, uint32_t *key) {
    uint8_t c = b[0];
    if (c == ESC) return parse_escape(b, n, final, key);
    if (c >= 0x80) return parse_utf8(b, n, final, key);
    *key = c == 127 ? (uint32_t)KEY_BACKSPACE : c;
    return 1;
}

static int parse_escape(const uint8_t *b, int n, bool final, uint32_t *key) {
    *key = kNothing;
    if (n < 2) {
        if (!final) return 0;
        *key = KEY_ESC;
        return 1;
    }
    uint8_t c = b[1];
    if (c == '[') return parse_csi(b, n, final, key);
    if (c == 'O') return parse_ss3(b, n, final, key);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        *key = key_alt((char)c);
        return 2;
    }
    if (c == '\r') {
        *key = KEY_ALT_ENTER;
        return 2;
    }
    if (c == ESC) { // rxvt sends Alt-arrows as ESC + the plain sequence; else two Esc presses
        if (n < 3) {
            if (!final) return 0;
            *key = KEY_ESC;
            return 1;
        }
        if (b[2] != '[' && b[2] != 'O') {
            *key = KEY_ESC;
            return 1;
        }
        int used = parse_escape(b + 1, n - 1, final, key);
        if (used == 0) return 0;
        if (*key != kNothing && key_is_special(*key) && *key != KEY_SHIFT_TAB)
            *key |= KEY_ALT;
        else
            *key = kNothing;
        return used + 1;
    }
    // Alt with any other key produces nothing; swallow the whole character that follows.
    int used = parse_key(b + 1, n - 1, final, key);
    *key = kNothing;
    return used == 0 ? 0 : used + 1;
}

static void drain(KeyDecoder *d, KeyQueue *q, bool final) {
    while (d->count > 0) {
        uint32_t key = kNothing;
        // A full hold can only be a sequence nobody sends: settle it rather than wait.
        int used = parse_key(d->held, d->count, final || d->count >= KEY_DECODE_HOLD, &key);
        if (used == 0) return;
        if (key != kNothing) key_queue_push(q, key);
        d->count -= used;
        memmove(d->held, d->held + used, (size_t)d->count);
    }
}

void key_decode_feed(KeyDecoder *d, const uint8_t *bytes, int length, uint32_t now, KeyQueue *q) {
    for (int i = 0; i < length; i++) {
        d->held[d->count++] = bytes[i];
        d->last_byte_ms = now;
        drain(d, q, false);
    }
}

void key_decode_expire(KeyDecoder *d, uint32_t now, KeyQueue *q) {
    if (d->count > 0 && now - d->last_byte_ms >= (uint32_t)KEY_DECODE_LONE_ESC) drain(d, q, true);
}

int key_decode_wait_ms(const KeyDecoder *d, uint32_t now) {
    if (d->count == 0) return -1;
    uint32_t waited = now - d->last_byte_ms;
    return waited >= (uint32_t)KEY_DECODE_LONE_ESC ? 0 : (int)(KEY_DECODE_LONE_ESC - waited);
}

void key_decode_reset(KeyDecoder *d) {
    d->count = 0;
}
