// What leaves for the host: typed keys under the line-end and IAC rules, the break, and the output
// buffer that gathers and flushes.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/net/telnet_fake_peer.h"

enum Link { RAW, TEXT, BINARY }; // no negotiation, negotiated text, negotiated binary

static void start_link(Link link) {
    peer_start(EMU_ANSI, link == BINARY);
    if (link == TEXT) {
        peer_deliver(bytes_of("IAC WILL SGA"));
        peer_read_all();
    }
    take_sent();
}

static void send_keys(const std::string &keys) {
    telnet_send_keys((const uint8_t *)keys.data(), (int)keys.size());
}

TEST(TelnetSend, KeysEnterAndBreakByLinkKind) {
    const struct {
        Link link;
        const char *keys, *sent;
    } cases[] = {
        {RAW, "'a' CR LF 255 NUL", "'a' CR LF 255 NUL"},
        {TEXT, "'a' CR 'b' CR", "'a' CR NUL 'b' CR NUL"},
        {TEXT, "CR CR LF", "CR NUL CR LF"},
        {TEXT, "255 'x' 255", "IAC IAC 'x' IAC IAC"},
        {BINARY, "CR LF CR NUL", "CR LF CR NUL"},
    };
    for (const auto &c : cases) {
        start_link(c.link);
        send_keys(bytes_of(c.keys));
        EXPECT_EQ(take_sent(), bytes_of(c.sent)) << "link " << c.link << ": " << c.keys;
    }
    const char *enter[] = {"CR", "CR NUL", "CR"}, *brk[] = {"", "IAC BRK", "IAC BRK"};
    for (Link link : {RAW, TEXT, BINARY}) {
        start_link(link);
        telnet_send_enter();
        EXPECT_EQ(take_sent(), bytes_of(enter[link])) << "link " << link;
        telnet_send_break();
        EXPECT_EQ(take_sent(), bytes_of(brk[link])) << "link " << link;
    }
}

TEST(TelnetSend, FullOutputBufferIsSentAtOnce) {
    start_link(TEXT);
    std::string data(20000, 'z');
    data[16383] = '\xff'; // its double lands beyond the first buffer-full
    telnet_queue_data((const uint8_t *)data.data(), (int)data.size());
    EXPECT_EQ(g_peer.sent.size(), 16384u);
    telnet_flush();
    EXPECT_TRUE(take_sent() == data.substr(0, 16384) + '\xff' + data.substr(16384));
}

TEST(TelnetSend, FlushRetriesShortSendsAndDropsWhatFails) {
    start_link(RAW);
    g_peer.send_limit = 3;
    send_keys("abcdefgh");
    EXPECT_EQ(take_sent(), "abcdefgh");
    EXPECT_EQ(g_peer.send_calls, 3);
    g_peer.send_limit = 0; // the connection is gone: the bytes are dropped, not kept for later
    send_keys("lost");
    g_peer.send_limit = 100;
    send_keys("new");
    EXPECT_EQ(take_sent(), "new");
}

TEST(TelnetSend, RequestBinaryOnlyWhileNegotiatingAndOnlyOnce) {
    start_link(RAW);
    telnet_request_binary();
    EXPECT_EQ(take_sent(), "");
    start_link(TEXT);
    telnet_request_binary();
    telnet_request_binary();
    EXPECT_EQ(take_sent(), bytes_of("IAC WILL BINARY IAC DO BINARY"));
    telnet_send_enter();
    EXPECT_EQ(take_sent(), bytes_of("CR")) << "binary now";
}
