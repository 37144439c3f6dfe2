// The Zmodem link: golden bytes of the writers, and the readers fed whole and one byte at a time.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/framing.h"
#include "zmodem/transfer_status.h"

static void start_link(const std::string &bytes = "", bool split = false) {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    for (size_t at = 0; at < bytes.size(); at += split ? 1 : bytes.size())
        peer_deliver(bytes.substr(at, split ? 1 : bytes.size()));
}

TEST(ZmodemFraming, WritersGoldenBytes) {
    start_link();
    // Flow control, CR and ZDLE in both parities and IAC are escaped; 0x7F is not.
    EXPECT_EQ(data_frame("@\r\x7f\xff\x10\x91\x18", ZCRCG, 0).substr(0, 14), z("@^M\x7f^m^P^\xd1^X^i"));
    EXPECT_EQ(hex_frame(ZRPOS, 1024), z("**^B090004000074bc\r\x8a\x11"));
    EXPECT_EQ(hex_frame(ZFIN, 0), z("**^B0800000000022d\r\x8a")); // no XON after ZFIN or ZACK
    zmodem_put_raw((const uint8_t *)"unsent", 6);
    zmodem_send_abort();
    EXPECT_EQ(take_sent(), std::string(10, '\x18') + std::string(8, '\b'));
}

TEST(ZmodemFraming, HeaderReader) {
    start_link();
    const std::string rpos = hex_frame(ZRPOS, 1024);
    const struct {
        const char *name;
        std::string bytes;
        int result, elapsed_ms; // fake time spent
        bool gone = false;
    } cases[] = {
        {"CR without line feed waits 200 ms", z("**^B00000000000000\r"), ZRQINIT, 200},
        {"bad checksum, then a good header", z("**^B090004000074bd\r\n") + rpos, ZRPOS, 0},
        {"five CAN", std::string(5, '\x18'), ZM_CANCELLED, 0},
        {"four CAN, then a header", "\x18\x18\x18\x18" + rpos, ZRPOS, 0},
        {"8192 bytes of noise, then a header", std::string(8192, 'x') + rpos, ZRPOS, 0},
        {"8193 bytes of noise", std::string(8193, 'x') + rpos, ZM_BAD, 0},
        {"an endless run of broken starts", std::string(20000, '*'), ZM_BAD, 0},
        {"silence", "", ZM_TIMEOUT, 3000},
        {"connection gone", "", ZM_GONE, 0, true},
    };
    for (bool split : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (split ? ", byte by byte" : ", whole"));
            if (split && c.bytes.size() > 9000) continue; // the split feed of noise adds nothing
            start_link(c.bytes, split);
            g_peer.gone_when_empty = c.gone;
            uint32_t start = g_peer.now, value = 0;
            EXPECT_EQ(zmodem_read_header(&value, 3000), c.result);
            EXPECT_EQ(g_peer.now - start, (uint32_t)c.elapsed_ms);
        }
    }
}

// Esc during a waiting read asks first; after a no the read waits on for the header.
TEST(ZmodemFraming, EscAnsweredNoKeepsWaiting) {
    static int asked = 0;
    start_link();
    peer_deliver(hex_frame(ZRPOS, 7), 500);
    g_peer.key = 27;
    g_transfer_hooks.confirm_abort = [] { return ++asked, 0; };
    uint32_t value = 0;
    EXPECT_EQ(zmodem_read_header(&value, 3000), (int)ZRPOS);
    EXPECT_EQ(asked, 1);
    transfer_hooks_reset();
}

TEST(ZmodemFraming, SubpacketReader) {
    start_link();
    std::string all;
    for (int b = 0; b < 256; b++) all.push_back((char)b);
    std::string abc = data_frame("abc", ZCRCE, 1);
    const struct {
        const char *name;
        std::string bytes, data;
        int crc32, result; // ZM_END + end character for a good subpacket
    } cases[] = {
        {"every byte value, CRC-16", data_frame(all, ZCRCE, 0), all, 0, ZM_END + ZCRCE},
        {"one byte more than the maximum", data_frame(std::string(1025, 'x'), ZCRCG, 1), "", 1, ZM_BAD},
        {"XON and XOFF inside", abc.substr(0, 1) + "\x11" + abc.substr(1, 1) + "\x93" + abc.substr(2), "abc",
         1, ZM_END + ZCRCE},
        {"five CAN", "ab" + std::string(5, '\x18'), "", 1, ZM_CANCELLED},
        {"four CAN and an end", "\x18\x18\x18" + data_frame("", ZCRCW, 1), "", 1, ZM_END + ZCRCW},
        {"silence halfway", "abc", "", 1, ZM_TIMEOUT},
    };
    for (bool split : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (split ? ", byte by byte" : ", whole"));
            start_link(c.bytes, split);
            uint8_t buffer[1024];
            int length = 0;
            EXPECT_EQ(zmodem_read_subpacket(buffer, sizeof buffer, &length, c.crc32), c.result);
            EXPECT_EQ(std::string((const char *)buffer, (size_t)length), c.data);
        }
    }
}

TEST(ZmodemFraming, LookingAheadAndGivingBack) {
    start_link("noise without a start");
    EXPECT_EQ(zmodem_poll_incoming(256), 0);
    EXPECT_EQ(zmodem_read_byte(0), ZM_TIMEOUT); // the noise was dropped
    peer_deliver(std::string("x") + hex_frame(ZRPOS, 1024) + "after");
    EXPECT_EQ(zmodem_poll_incoming(256), 1);
    uint32_t value;
    EXPECT_EQ(zmodem_read_header(&value, 100), ZRPOS);
    zmodem_link_finish(); // read ahead goes back to the telnet layer, without the header's XON
    EXPECT_EQ(peer_read_all(), "after");
}
