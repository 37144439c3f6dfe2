// The pushback buffer and the timed byte read that the file transfers use.
#include <gtest/gtest.h>

#include "term/emulation.h"
#include "tests/net/telnet_fake_peer.h"

static std::string read_n(int n) {
    uint8_t buffer[16384];
    int got = telnet_read(buffer, n);
    return got > 0 ? std::string((const char *)buffer, (size_t)got) : std::string();
}

TEST(TelnetPushBack, PushedBytesComeFirstAndSocketWaits) {
    peer_start(EMU_ANSI, 0);
    peer_deliver("socket");
    telnet_push_back((const uint8_t *)"abc", 3);
    telnet_push_back((const uint8_t *)"12", 2);
    EXPECT_EQ(read_n(3), "12a");
    telnet_push_back((const uint8_t *)"xy", 2); // in front of the unread "bc"
    EXPECT_EQ(read_n(100), "xybc");
    EXPECT_EQ(g_peer.receive_calls, 0);
    EXPECT_EQ(g_telnet.pushback_pos, 0);
    EXPECT_EQ(read_n(100), "socket");
    telnet_push_back((const uint8_t *)"", 0);
    telnet_push_back((const uint8_t *)"q", -1);
    EXPECT_EQ(g_telnet.pushback_count, 0);
}

TEST(TelnetPushBack, WhatDoesNotFitIsCut) {
    peer_start(EMU_ANSI, 0);
    std::string big;
    for (int i = 0; i < 10000; i++) big.push_back((char)(i % 251));
    telnet_push_back((const uint8_t *)big.data(), (int)big.size());
    EXPECT_EQ(g_telnet.pushback_count, 8192);
    EXPECT_TRUE(read_n(16384) == big.substr(0, 8192));

    telnet_push_back((const uint8_t *)big.data(), 8000);
    EXPECT_EQ(read_n(10), big.substr(0, 10));
    telnet_push_back((const uint8_t *)"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 26);
    std::string filler(300, '#'); // 176 bytes are free
    telnet_push_back((const uint8_t *)filler.data(), (int)filler.size());
    EXPECT_EQ(g_telnet.pushback_count, 8192);
    telnet_push_back((const uint8_t *)"!", 1);
    std::string expected = filler.substr(0, 176) + "ABCDEFGHIJKLMNOPQRSTUVWXYZ" + big.substr(10, 7990);
    EXPECT_TRUE(read_n(16384) == expected);
}

struct ReadByteCase {
    const char *name;
    const char *arrives; // host bytes
    uint32_t arrive_ms;  // after this many milliseconds
    bool gone;           // the connection ends when nothing is left
    uint32_t key;        // a key the first wait delivers, 0 for none
    int timeout_ms;
    int result;
    uint32_t elapsed_ms; // fake time spent
};

static const ReadByteCase kReadByte[] = {
    {"byte waiting", "'A'", 0, false, 0, 1000, 'A', 0},
    {"byte after 120 ms", "'B'", 120, false, 0, 1000, 'B', 150},
    {"commands only, then time-out", "IAC NOP IAC DO 99", 0, false, 0, 200, TELNET_TIMEOUT, 200},
    {"nothing: time-out", "", 0, false, 0, 130, TELNET_TIMEOUT, 130},
    {"time-out 0 looks once", "", 0, false, 0, 0, TELNET_TIMEOUT, 0},
    {"connection gone", "", 0, true, 0, 1000, TELNET_GONE, 0},
    {"esc pressed", "'C'", 500, false, 27, 1000, TELNET_ESC, 1},
    {"other keys ignored", "'D'", 60, false, 'x', 1000, 'D', 101},
};

TEST(TelnetReadByte, ResultsAndTiming) {
    for (const ReadByteCase &c : kReadByte) {
        peer_start(EMU_ANSI, 0);
        std::string bytes = bytes_of(c.arrives);
        if (!bytes.empty()) peer_deliver(bytes, c.arrive_ms);
        g_peer.gone_when_empty = c.gone;
        if (c.key) g_peer.keys.push_back(c.key);
        uint32_t start = g_peer.now;
        EXPECT_EQ(telnet_read_byte(c.timeout_ms), c.result) << c.name;
        EXPECT_EQ(g_peer.now - start, c.elapsed_ms) << c.name;
        for (int slice : g_peer.wait_slices) EXPECT_LE(slice, 50) << c.name;
    }
}

TEST(TelnetReadByte, RestOfABlockIsKeptInOrder) {
    peer_start(EMU_ANSI, 0);
    peer_deliver("xyz");
    telnet_push_back((const uint8_t *)"p", 1);
    EXPECT_EQ(telnet_read_byte(100), 'p');
    EXPECT_EQ(telnet_read_byte(100), 'x');
    telnet_push_back((const uint8_t *)"q", 1);
    EXPECT_EQ(read_n(10), "qyz");
    EXPECT_EQ(telnet_read_byte(0), TELNET_TIMEOUT);
}
