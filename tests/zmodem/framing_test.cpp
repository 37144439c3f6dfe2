// The Zmodem link: escaping, checksums, header and subpacket readers from byte tables, each fed
// whole and one byte at a time.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "net/telnet.h"
#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/crc.h"
#include "zmodem/framing.h"
#include "zmodem/transfer_status.h"

static void start_link() {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
}

static void deliver(const std::string &bytes, bool split) {
    if (!split) {
        peer_deliver(bytes);
        return;
    }
    for (char c : bytes) peer_deliver(std::string(1, c));
}

static const std::string kCan5(5, '\x18');

// The reader's result for a good subpacket with that end.
static int end_of(int end) {
    return (int)ZM_END + end;
}

TEST(ZmodemFraming, EscapesExactlyTheControlBytesAndIac) {
    start_link();
    for (int b = 0; b < 256; b++) {
        uint8_t byte = (uint8_t)b;
        std::string out = data_frame(std::string(1, (char)byte), ZCRCE, 0);
        bool escaped = b == 0x0D || b == 0x10 || b == 0x11 || b == 0x13 || b == 0x18 || b == 0x8D ||
                       b == 0x90 || b == 0x91 || b == 0x93 || b == 0xFF;
        std::string expected = !escaped    ? std::string(1, (char)byte)
                               : b == 0xFF ? std::string("\x18m")
                                           : std::string{'\x18', (char)(byte ^ 0x40)};
        EXPECT_EQ(out.substr(0, expected.size() + 2), expected + "\x18h") << "byte " << b;
    }
    // A CR is escaped whatever comes before it; 0x7F is never touched.
    EXPECT_EQ(data_frame("@\r\x7f", ZCRCG, 0).substr(0, 4), "@\x18M\x7f");
}

TEST(ZmodemFraming, ChecksumsAndHexHeadersMatchThePeers) {
    const uint8_t check[] = "123456789";
    EXPECT_EQ(crc16_block(0, check, 9), 0x31C3);
    EXPECT_EQ(~crc32_block(0xFFFFFFFFu, check, 9), 0xCBF43926u);

    start_link();
    EXPECT_EQ(hex_frame(ZRPOS, 1024), z("**^B090004000074bc\r\x8a\x11"));
    EXPECT_EQ(hex_frame(ZFIN, 0), z("**^B0800000000022d\r\x8a")); // no XON after ZFIN or ZACK

    zmodem_put_raw((const uint8_t *)"unsent", 6);
    zmodem_send_abort();
    EXPECT_EQ(take_sent(), std::string(10, '\x18') + std::string(8, '\b'));
}

TEST(ZmodemFraming, HeaderReader) {
    start_link();
    const std::string rpos = hex_frame(ZRPOS, 1024);
    const std::string data32 = bin_frame(ZDATA, 70000, 1);
    const struct {
        const char *name;
        std::string bytes;
        int result;
        uint32_t value;
        int zbin32;
        uint32_t elapsed_ms; // fake time spent
        bool gone;
    } cases[] = {
        {"hex header", rpos, ZRPOS, 1024, 0, 0, false},
        {"CR without line feed waits 200 ms", z("**^B00000000000000\r"), ZRQINIT, 0, 0, 200, false},
        {"ZBIN32 header", data32, ZDATA, 70000, 1, 0, false},
        {"bad checksum, then a good header", z("**^B090004000074bd\r\n") + rpos, ZRPOS, 1024, 0, 0, false},
        {"bad escape inside a binary header", z("*^C^\x01"), ZM_BAD, 0, 0, 0, false},
        {"five CAN", kCan5, ZM_CANCELLED, 0, 0, 0, false},
        {"four CAN, then a header", "\x18\x18\x18\x18" + rpos, ZRPOS, 1024, 0, 0, false},
        {"8192 bytes of noise, then a header", std::string(8192, 'x') + rpos, ZRPOS, 1024, 0, 0, false},
        {"8193 bytes of noise", std::string(8193, 'x') + rpos, ZM_BAD, 0, 0, 0, false},
        {"an endless run of broken starts", std::string(20000, '*') + "x", ZM_BAD, 0, 0, 0, false},
        {"silence", "", ZM_TIMEOUT, 0, 0, 3000, false},
        {"connection gone", "", ZM_GONE, 0, 0, 0, true},
    };
    for (bool split : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (split ? ", byte by byte" : ", whole"));
            if (split && c.bytes.size() > 9000) continue; // the split feed of noise adds nothing
            start_link();
            deliver(c.bytes, split);
            g_peer.gone_when_empty = c.gone;
            uint32_t start = g_peer.now;
            uint32_t value = 0;
            EXPECT_EQ(zmodem_read_header(&value, 3000), c.result);
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(g_zmodem_link.last_header_zbin32, c.zbin32);
            EXPECT_EQ(g_peer.now - start, c.elapsed_ms);
        }
    }
}

// Esc taken by a waiting read asks first; a no lets the read wait on for the header (a yes is
// tried in the real program).
TEST(ZmodemFraming, EscAnsweredNoKeepsWaiting) {
    static int asked;
    start_link();
    peer_deliver(hex_frame(ZRPOS, 7), 500);
    g_peer.key = 27;
    asked = 0;
    g_transfer_hooks.confirm_abort = [] { return ++asked, 0; };
    uint32_t value = 0;
    EXPECT_EQ(zmodem_read_header(&value, 3000), (int)ZRPOS);
    EXPECT_EQ(asked, 1);
    transfer_hooks_reset();
}

TEST(ZmodemFraming, SubpacketReader) {
    const int kMax = 1024;
    start_link();
    std::string all;
    for (int b = 0; b < 256; b++) all.push_back((char)b);
    std::string full(kMax, '\xff');
    std::string bad_crc = data_frame("abc", ZCRCG, 1);
    bad_crc[1] = 'x';
    std::string abc = data_frame("abc", ZCRCE, 1);
    std::string with_flow_control = abc.substr(0, 1) + "\x11" + abc.substr(1, 1) + "\x93" + abc.substr(2);
    const struct {
        const char *name;
        std::string bytes;
        int crc32;
        int result;
        std::string data;
    } cases[] = {
        {"every byte value, CRC-16, ZCRCE", data_frame(all, ZCRCE, 0), 0, end_of(ZCRCE), all},
        {"exactly the maximum", data_frame(full, ZCRCG, 1), 1, end_of(ZCRCG), full},
        {"one byte more", data_frame(full + "x", ZCRCG, 1), 1, ZM_BAD, ""},
        {"bad checksum", bad_crc, 1, ZM_BAD, ""},
        {"XON and XOFF inside", with_flow_control, 1, end_of(ZCRCE), "abc"},
        {"five CAN", "ab" + kCan5, 1, ZM_CANCELLED, ""},
        {"four CAN and an end", "\x18\x18\x18" + data_frame("", ZCRCE, 1), 1, end_of(ZCRCE), ""},
        {"silence halfway", "abc", 1, ZM_TIMEOUT, ""},
    };
    for (bool split : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (split ? ", byte by byte" : ", whole"));
            start_link();
            deliver(c.bytes, split);
            uint8_t buffer[kMax];
            int length = -1;
            int result = zmodem_read_subpacket(buffer, kMax, &length, c.crc32);
            EXPECT_EQ(result, c.result);
            if (result >= ZM_END) {
                EXPECT_EQ(std::string((const char *)buffer, (size_t)length), c.data);
            }
        }
    }
}

TEST(ZmodemFraming, LookingAheadAndGivingBack) {
    start_link();
    peer_deliver("noise without a start");
    EXPECT_EQ(zmodem_poll_incoming(256), 0);
    EXPECT_EQ(zmodem_read_byte(0), ZM_TIMEOUT); // the noise was dropped

    const std::string rpos = hex_frame(ZRPOS, 1024);
    peer_deliver("x" + rpos + "after");
    EXPECT_EQ(zmodem_poll_incoming(256), 1);
    uint32_t value;
    EXPECT_EQ(zmodem_read_header(&value, 100), ZRPOS);
    zmodem_link_finish(); // what the link read ahead goes back to the telnet layer
    EXPECT_EQ(peer_read_all(), "after");

    g_peer.gone_when_empty = true;
    EXPECT_EQ(zmodem_poll_incoming(256), ZM_GONE);
}
