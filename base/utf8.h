// UTF-8, read and written the one way the whole program does it. Reading is strict: no overlong
// forms, no surrogates, nothing beyond U+10FFFF.
#pragma once
#include <cstdint>

inline bool utf8_is_continuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// Reads the character at the start of the available bytes (at least one). Returns
//   n > 0  a well-formed character of n bytes (1 for ASCII), stored in *code;
//   0      a proper beginning that needs more bytes;
//   -n     the first n bytes are no character: a byte that cannot start one (n = 1), a beginning
//          broken by a byte that does not continue it (n = the bytes before that byte), or a
//          complete overlong form, surrogate or code beyond U+10FFFF (n = its length).
// Inline, as the interpreter decodes text with it in place.
inline int utf8_decode(const uint8_t *p, long available, uint32_t *code) {
    uint8_t b = p[0];
    if (b < 0x80) {
        *code = b;
        return 1;
    }
    if (b < 0xC2 || b > 0xF4) return -1;
    int length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (available < length) { // broken by a byte that is there, or waiting for more
        for (int n = 1; n < available; n++)
            if (!utf8_is_continuation(p[n])) return -n;
        return 0;
    }
    if (!utf8_is_continuation(p[1])) return -1;
    if (length == 2) {
        *code = (uint32_t)(b & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (!utf8_is_continuation(p[2])) return -2;
    if (length == 3) {
        uint32_t c = (uint32_t)(b & 0x0F) << 12 | (uint32_t)(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return -3;
        *code = c;
        return 3;
    }
    if (!utf8_is_continuation(p[3])) return -3;
    uint32_t c = (uint32_t)(b & 0x07) << 18 | (uint32_t)(p[1] & 0x3F) << 12 | (uint32_t)(p[2] & 0x3F) << 6 |
                 (p[3] & 0x3F);
    if (c < 0x10000 || c > 0x10FFFF) return -4;
    *code = c;
    return 4;
}

// Writes the UTF-8 form of c into out (4 bytes at least); returns 1 to 4.
int utf8_encode(uint32_t c, uint8_t *out);
