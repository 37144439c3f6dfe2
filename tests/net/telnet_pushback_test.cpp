// The pushback buffer and the timed byte read that the file transfers use.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/net/telnet_fake_peer.h"

static std::string read_n(int n) {
    uint8_t buffer[16384];
    int got = telnet_read(buffer, n);
    return got > 0 ? std::string((const char *)buffer, (size_t)got) : std::string();
}

static void push(const std::string &bytes) {
    telnet_push_back((const uint8_t *)bytes.data(), (int)bytes.size());
}

TEST(TelnetPushBack, PushedBytesComeFirstNewestInFront) {
    peer_start(EMU_ANSI, 0);
    peer_deliver("socket");
    push("abc");
    push("12");
    EXPECT_EQ(read_n(3), "12a");
    push("xy"); // in front of the unread "bc"
    EXPECT_EQ(read_n(100), "xybc");
    EXPECT_EQ(telnet_read_byte(100), 's'); // the rest of the block it read is kept, in order
    push("q");
    EXPECT_EQ(read_n(100), "qocket");
}

TEST(TelnetReadByte, ResultsAndTiming) {
    const struct {
        const char *name, *arrives; // host bytes, due arrive_ms after the start
        uint32_t arrive_ms, key;    // key: what the first wait delivers, 0 for none
        bool gone;                  // the connection ends when nothing is left
        int timeout_ms, result;
        uint32_t elapsed_ms; // fake time spent
    } cases[] = {
        {"byte after 120 ms", "'B'", 120, 0, false, 1000, 'B', 150},
        {"commands only, then time-out", "IAC NOP IAC DO 99", 0, 0, false, 200, TELNET_TIMEOUT, 200},
        {"connection gone", "", 0, 0, true, 1000, TELNET_GONE, 0},
        {"esc pressed", "'C'", 500, 27, false, 1000, TELNET_ESC, 1},
        {"other keys ignored", "'D'", 60, 'x', false, 1000, 'D', 101},
    };
    for (const auto &c : cases) {
        peer_start(EMU_ANSI, 0);
        if (*c.arrives) peer_deliver(bytes_of(c.arrives), c.arrive_ms);
        g_peer.gone_when_empty = c.gone;
        g_peer.key = c.key;
        uint32_t start = g_peer.now;
        EXPECT_EQ(telnet_read_byte(c.timeout_ms), c.result) << c.name;
        EXPECT_EQ(g_peer.now - start, c.elapsed_ms) << c.name;
        EXPECT_LE(g_peer.longest_wait, 50) << c.name << ": short slices keep Esc responsive";
    }
}
