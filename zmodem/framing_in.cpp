// The input side of the link: a read-ahead buffer over the telnet layer, the ZDLE decoder, the
// header hunt and the subpacket reader.
#include <array>
#include <cstring>

#include "net/telnet.h"
#include "zmodem/crc.h"
#include "zmodem/framing.h"
#include "zmodem/transfer_status.h"

enum { SUBPACKET_BYTE_MS = 10000, HEX_TRAILER_MS = 200 };

// Flow-control bytes are dropped on the way in; a subpacket copies every other byte except ZDLE
// straight from the buffer.
static constexpr std::array<uint8_t, 256> make_special_table() {
    std::array<uint8_t, 256> table{};
    table[XON] = table[XON | 0x80] = 1;
    table[XOFF] = table[XOFF | 0x80] = 2;
    table[ZDLE] = 2;
    return table;
}
static constexpr std::array<uint8_t, 256> kSpecial = make_special_table();

static bool is_flow(uint8_t b) {
    return (b & 0x7F) == XON || (b & 0x7F) == XOFF;
}

void zmodem_link_start() {
    ZmodemLink &l = g_zmodem_link;
    l.out_count = 0;
    l.in_pos = l.in_count = 0;
    l.last_header_zbin32 = 0;
    l.can_run = 0;
}

void zmodem_link_finish() {
    ZmodemLink &l = g_zmodem_link;
    while (l.in_pos < l.in_count && is_flow(l.in[l.in_pos])) l.in_pos++; // the XON after a last header
    telnet_push_back(l.in + l.in_pos, l.in_count - l.in_pos);
    l.in_pos = l.in_count = 0;
}

// Refills the empty read-ahead buffer: 1, or a negative result. Waiting (and noticing Esc) is the
// telnet layer's timed byte read; whatever else is ready comes in the same go.
static int fill(int timeout_ms) {
    ZmodemLink &l = g_zmodem_link;
    l.in_pos = l.in_count = 0;
    int n = telnet_read(l.in, ZMODEM_IN_SIZE);
    if (n < 0) return ZM_GONE;
    if (n == 0) {
        int b = telnet_read_byte(timeout_ms);
        // Esc asks first, as it does between subpackets; after a no the wait starts again.
        while (b == ZM_ESC && !g_transfer_hooks.confirm_abort()) b = telnet_read_byte(timeout_ms);
        if (b < 0) return b;
        l.in[0] = (uint8_t)b;
        int more = telnet_read(l.in + 1, ZMODEM_IN_SIZE - 1);
        n = 1 + (more > 0 ? more : 0);
    }
    l.in_count = n;
    return 1;
}

int zmodem_read_byte(int timeout_ms) {
    ZmodemLink &l = g_zmodem_link;
    for (;;) {
        if (l.in_pos == l.in_count) {
            int r = fill(timeout_ms);
            if (r < 0) return r;
        }
        uint8_t b = l.in[l.in_pos++];
        if (!is_flow(b)) return b;
    }
}

void zmodem_unread_byte(uint8_t b) {
    ZmodemLink &l = g_zmodem_link;
    if (l.in_pos > 0) {
        l.in[--l.in_pos] = b;
    } else if (l.in_count < ZMODEM_IN_SIZE) {
        memmove(l.in + 1, l.in, (size_t)l.in_count);
        l.in[0] = b;
        l.in_count++;
    }
}

int zmodem_read_decoded(int timeout_ms) {
    ZmodemLink &l = g_zmodem_link;
    int b = zmodem_read_byte(timeout_ms);
    if (b < 0) return b;
    if (b != ZDLE) {
        l.can_run = 0;
        return b;
    }
    l.can_run = 1;
    for (;;) {
        b = zmodem_read_byte(timeout_ms);
        if (b < 0) return b;
        if (b != ZDLE) break;
        if (++l.can_run >= 5) return ZM_CANCELLED;
    }
    l.can_run = 0;
    switch (b) {
    case ZCRCE:
    case ZCRCG:
    case ZCRCQ:
    case ZCRCW: return ZM_END + b;
    case ZRUB0: return 0x7F;
    case ZRUB1: return 0xFF;
    }
    if ((b & 0x60) == 0x40) return b ^ 0x40;
    return ZM_BAD;
}

static int hex_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The seven bytes of a hex header after "B": 1 when they are well-formed with a good CRC-16, 0 to
// abandon the header, or a negative read result.
static int read_hex_header(uint8_t h[7], int timeout_ms) {
    for (int i = 0; i < 7; i++) {
        int hi = zmodem_read_byte(timeout_ms);
        if (hi < 0) return hi;
        int lo = zmodem_read_byte(timeout_ms);
        if (lo < 0) return lo;
        if (hex_value(hi) < 0 || hex_value(lo) < 0) return 0;
        h[i] = (uint8_t)(hex_value(hi) << 4 | hex_value(lo));
    }
    if (crc16_block(0, h, 5) != (uint16_t)(h[5] << 8 | h[6])) return 0;
    // The CR and line feed that end the line are taken when they come soon; anything else stays.
    int cr = zmodem_read_byte(HEX_TRAILER_MS);
    if (cr >= 0 && (cr & 0x7F) != 0x0D) zmodem_unread_byte((uint8_t)cr);
    if (cr >= 0 && (cr & 0x7F) == 0x0D) {
        int lf = zmodem_read_byte(HEX_TRAILER_MS);
        if (lf >= 0 && (lf & 0x7F) != 0x0A) zmodem_unread_byte((uint8_t)lf);
    }
    return 1;
}

// The type, P0..P3 and checksum of a binary header, each through the ZDLE decoder.
static int read_bin_header(uint8_t h[9], int crc32, int timeout_ms) {
    int count = crc32 ? 9 : 7;
    for (int i = 0; i < count; i++) {
        int c = zmodem_read_decoded(timeout_ms);
        if (c < 0) return c;
        if (c >= ZM_END) return 0;
        h[i] = (uint8_t)c;
    }
    if (crc32) {
        uint32_t got = (uint32_t)h[5] | (uint32_t)h[6] << 8 | (uint32_t)h[7] << 16 | (uint32_t)h[8] << 24;
        return ~crc32_block(0xFFFFFFFFu, h, 5) == got ? 1 : 0;
    }
    return crc16_block(0, h, 5) == (uint16_t)(h[5] << 8 | h[6]) ? 1 : 0;
}

int zmodem_read_header(uint32_t *value, int timeout_ms) {
    ZmodemLink &l = g_zmodem_link;
    // Every byte that is not part of the header returned counts as noise, abandoned attempts
    // included, so a peer that never sends a good header cannot keep the reader forever.
    int noise = 0;
    int cans = 0;
    for (;;) {
        int b = zmodem_read_byte(timeout_ms);
        if (b < 0) return b;
        if (b != ZPAD) {
            if (b == ZDLE && cans == 4) return ZM_CANCELLED;
            cans = b == ZDLE ? cans + 1 : 0;
            if (++noise > ZMODEM_NOISE_MAX) return ZM_BAD;
            continue;
        }
        int attempt = 1;
        do {
            b = zmodem_read_byte(timeout_ms);
            attempt++;
        } while (b == ZPAD && attempt <= ZMODEM_NOISE_MAX);
        if (b < 0) return b;
        if (b == ZPAD) return ZM_BAD;
        cans = 0;
        int form = -1;
        if (b == ZDLE) {
            form = zmodem_read_byte(timeout_ms);
            if (form < 0) return form;
            attempt++;
        }
        uint8_t h[9];
        int ok = 0;
        if (form == ZHEX) {
            ok = read_hex_header(h, timeout_ms);
            attempt += 14;
        } else if (form == ZBIN || form == ZBIN32) {
            ok = read_bin_header(h, form == ZBIN32, timeout_ms);
            attempt += form == ZBIN32 ? 9 : 7;
        }
        if (ok < 0) return ok;
        if (ok) {
            l.last_header_zbin32 = form == ZBIN32;
            *value = (uint32_t)h[1] | (uint32_t)h[2] << 8 | (uint32_t)h[3] << 16 | (uint32_t)h[4] << 24;
            return h[0];
        }
        noise += attempt;
        if (noise > ZMODEM_NOISE_MAX) return ZM_BAD;
    }
}

int zmodem_read_subpacket(uint8_t *buffer, int max, int *length, int crc32) {
    ZmodemLink &l = g_zmodem_link;
    int n = 0;
    for (;;) {
        // Plain bytes go straight from the read-ahead buffer; ZDLE and flow control take the slow way.
        const uint8_t *p = l.in + l.in_pos;
        const uint8_t *end = l.in + l.in_count;
        while (p < end && !kSpecial[*p]) {
            if (n == max) {
                l.in_pos = (int)(p - l.in);
                return ZM_BAD;
            }
            buffer[n++] = *p++;
        }
        l.in_pos = (int)(p - l.in);
        int c = zmodem_read_decoded(SUBPACKET_BYTE_MS);
        if (c < 0) return c;
        if (c < ZM_END) {
            if (n == max) return ZM_BAD;
            buffer[n++] = (uint8_t)c;
            continue;
        }
        uint8_t sum[4];
        int sum_bytes = crc32 ? 4 : 2;
        for (int i = 0; i < sum_bytes; i++) {
            int s = zmodem_read_decoded(SUBPACKET_BYTE_MS);
            if (s < 0) return s;
            if (s >= ZM_END) return ZM_BAD;
            sum[i] = (uint8_t)s;
        }
        uint8_t end_char = (uint8_t)(c - ZM_END);
        bool good;
        if (crc32) {
            uint32_t crc = ~crc32_update(crc32_block(0xFFFFFFFFu, buffer, n), end_char);
            good = crc == ((uint32_t)sum[0] | (uint32_t)sum[1] << 8 | (uint32_t)sum[2] << 16 |
                           (uint32_t)sum[3] << 24);
        } else {
            uint16_t crc = crc16_update(crc16_block(0, buffer, n), end_char);
            good = crc == (uint16_t)(sum[0] << 8 | sum[1]);
        }
        if (!good) return ZM_BAD;
        *length = n;
        return c;
    }
}

int zmodem_poll_incoming(int max) {
    ZmodemLink &l = g_zmodem_link;
    if (l.in_pos == l.in_count) {
        l.in_pos = l.in_count = 0;
        int n = telnet_read(l.in, max < ZMODEM_IN_SIZE ? max : ZMODEM_IN_SIZE);
        if (n < 0) return ZM_GONE;
        l.in_count = n;
    }
    if (memchr(l.in + l.in_pos, ZPAD, (size_t)(l.in_count - l.in_pos)) ||
        memchr(l.in + l.in_pos, ZDLE, (size_t)(l.in_count - l.in_pos)))
        return 1;
    l.in_pos = l.in_count = 0;
    return 0;
}
