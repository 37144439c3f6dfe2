// The output side of the link: escaping into the 2048-byte buffer, headers and subpackets.
#include <array>

#include "base/out_buffer.h"
#include "net/telnet.h"
#include "zmodem/crc.h"
#include "zmodem/framing.h"

ZmodemLink g_zmodem_link;

// Bytes that go out as ZDLE and a second byte: CR (some links eat "@ CR"), DLE, XON and XOFF with
// and without the high bit, CAN (which is ZDLE), and 0xFF (telnet's IAC).
static constexpr std::array<uint8_t, 256> make_escape_table() {
    std::array<uint8_t, 256> table{};
    for (uint8_t b : {0x0D, 0x10, 0x11, 0x13, 0x8D, 0x90, 0x91, 0x93, 0x18, 0xFF}) table[b] = 1;
    return table;
}
static constexpr std::array<uint8_t, 256> kEscape = make_escape_table();

static void hand_over() {
    ZmodemLink &l = g_zmodem_link;
    telnet_queue_data(l.out, l.out_count);
    l.out_count = 0;
}

void zmodem_put_raw(const uint8_t *bytes, int length) {
    out_buffer_append(g_zmodem_link.out, ZMODEM_OUT_SIZE, &g_zmodem_link.out_count, bytes, length, hand_over);
}

static void put_raw_byte(uint8_t b) {
    zmodem_put_raw(&b, 1);
}

void zmodem_put_escaped(const uint8_t *bytes, int length) {
    ZmodemLink &l = g_zmodem_link;
    uint8_t *out = l.out;
    int n = l.out_count;
    for (int i = 0; i < length; i++) {
        if (n > ZMODEM_OUT_SIZE - 2) { // room for one escaped pair
            l.out_count = n;
            hand_over();
            n = 0;
        }
        uint8_t b = bytes[i];
        if (kEscape[b]) {
            out[n++] = ZDLE;
            out[n++] = b == 0xFF ? (uint8_t)ZRUB1 : (uint8_t)(b ^ 0x40);
        } else {
            out[n++] = b;
        }
    }
    l.out_count = n;
}

static void put_hex(uint8_t b) {
    static const char kDigits[] = "0123456789abcdef";
    const uint8_t pair[2] = {(uint8_t)kDigits[b >> 4], (uint8_t)kDigits[b & 15]};
    zmodem_put_raw(pair, 2);
}

static void header_bytes(int type, uint32_t value, uint8_t out[5]) {
    out[0] = (uint8_t)type;
    for (int i = 0; i < 4; i++) out[1 + i] = (uint8_t)(value >> (8 * i));
}

void zmodem_send_hex_header(int type, uint32_t value) {
    static const uint8_t kStart[4] = {ZPAD, ZPAD, ZDLE, ZHEX};
    zmodem_put_raw(kStart, 4);
    uint8_t h[5];
    header_bytes(type, value, h);
    uint16_t crc = crc16_block(0, h, 5);
    for (uint8_t b : h) put_hex(b);
    put_hex((uint8_t)(crc >> 8));
    put_hex((uint8_t)crc);
    static const uint8_t kEnd[2] = {0x0D, 0x8A};
    zmodem_put_raw(kEnd, 2);
    // The XON wakes a sender that an XOFF on a noisy line stopped; ZACK and ZFIN go without.
    if (type != ZACK && type != ZFIN) put_raw_byte(XON);
}

void zmodem_send_bin_header(int type, uint32_t value, int crc32) {
    const uint8_t start[2] = {ZPAD, ZDLE};
    zmodem_put_raw(start, 2);
    put_raw_byte(crc32 ? ZBIN32 : ZBIN);
    uint8_t h[5];
    header_bytes(type, value, h);
    zmodem_put_escaped(h, 5);
    if (crc32) {
        uint32_t crc = ~crc32_block(0xFFFFFFFFu, h, 5);
        const uint8_t c[4] = {(uint8_t)crc, (uint8_t)(crc >> 8), (uint8_t)(crc >> 16), (uint8_t)(crc >> 24)};
        zmodem_put_escaped(c, 4);
    } else {
        uint16_t crc = crc16_block(0, h, 5);
        const uint8_t c[2] = {(uint8_t)(crc >> 8), (uint8_t)crc};
        zmodem_put_escaped(c, 2);
    }
}

void zmodem_send_subpacket(const uint8_t *data, int length, int end, int crc32) {
    zmodem_put_escaped(data, length);
    const uint8_t mark[2] = {ZDLE, (uint8_t)end};
    zmodem_put_raw(mark, 2);
    if (crc32) {
        uint32_t crc = ~crc32_update(crc32_block(0xFFFFFFFFu, data, length), (uint8_t)end);
        const uint8_t c[4] = {(uint8_t)crc, (uint8_t)(crc >> 8), (uint8_t)(crc >> 16), (uint8_t)(crc >> 24)};
        zmodem_put_escaped(c, 4);
    } else {
        uint16_t crc = crc16_update(crc16_block(0, data, length), (uint8_t)end);
        const uint8_t c[2] = {(uint8_t)(crc >> 8), (uint8_t)crc};
        zmodem_put_escaped(c, 2);
    }
    if (end == ZCRCW) put_raw_byte(XON);
}

void zmodem_flush() {
    hand_over();
    telnet_flush();
}

void zmodem_send_abort() {
    static const uint8_t kAbort[18] = {ZDLE, ZDLE, ZDLE, ZDLE, ZDLE, ZDLE, ZDLE, ZDLE, ZDLE,
                                       ZDLE, 8,    8,    8,    8,    8,    8,    8,    8};
    g_zmodem_link.out_count = 0;
    telnet_queue_data(kAbort, sizeof kAbort);
    telnet_flush();
}
