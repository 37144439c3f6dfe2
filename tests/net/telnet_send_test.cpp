// What leaves for the host: typed keys under the line-end and IAC rules, the break, and the output
// buffer that gathers and flushes.
#include <gtest/gtest.h>

#include "term/emulation.h"
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

struct SendCase {
    Link link;
    const char *keys;
    const char *sent;
};

static const SendCase kSend[] = {
    {RAW, "'a' CR 'b'", "'a' CR 'b'"},
    {RAW, "CR LF 255 NUL", "CR LF 255 NUL"},
    {TEXT, "CR", "CR NUL"},
    {TEXT, "'a' CR 'b' CR", "'a' CR NUL 'b' CR NUL"},
    {TEXT, "CR LF", "CR LF"},
    {TEXT, "CR CR LF", "CR NUL CR LF"},
    {TEXT, "LF CR", "LF CR NUL"},
    {TEXT, "255 'x' 255", "IAC IAC 'x' IAC IAC"},
    {BINARY, "CR", "CR"},
    {BINARY, "CR LF CR NUL", "CR LF CR NUL"},
    {BINARY, "255 CR 255", "IAC IAC CR IAC IAC"},
};

TEST(TelnetSend, KeysByLinkKind) {
    for (const SendCase &c : kSend) {
        start_link(c.link);
        std::string keys = bytes_of(c.keys);
        telnet_send_keys((const uint8_t *)keys.data(), (int)keys.size());
        EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of(c.sent))) << "link " << c.link << ": " << c.keys;
        EXPECT_EQ(g_telnet.out_count, 0);
    }
}

TEST(TelnetSend, EnterAndBreakByLinkKind) {
    struct Row {
        Link link;
        const char *enter;
        const char *brk;
    };
    static const Row rows[] = {
        {RAW, "CR", ""},
        {TEXT, "CR NUL", "IAC BRK"},
        {BINARY, "CR", "IAC BRK"},
    };
    for (const Row &row : rows) {
        start_link(row.link);
        telnet_send_enter();
        EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of(row.enter))) << "link " << row.link;
        telnet_send_break();
        EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of(row.brk))) << "link " << row.link;
    }
}

TEST(TelnetSend, QueueDataDoublesIacOnlyWhileNegotiating) {
    const std::string data = bytes_of("'a' 255 CR 255 255 'b'");
    for (Link link : {RAW, TEXT}) {
        start_link(link);
        telnet_queue_data((const uint8_t *)data.data(), (int)data.size());
        telnet_queue_raw((const uint8_t *)"\xff", 1);
        EXPECT_EQ(take_sent(), "") << "nothing leaves before the flush";
        telnet_flush();
        const char *expected =
            link == RAW ? "'a' 255 CR 255 255 'b' 255" : "'a' IAC IAC CR IAC IAC IAC IAC 'b' IAC";
        EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of(expected))) << "link " << link;
    }
}

TEST(TelnetSend, FullOutputBufferIsSentAtOnce) {
    start_link(TEXT);
    std::string data(20000, 'z');
    data[16383] = '\xff'; // its double lands beyond the first buffer-full
    telnet_queue_data((const uint8_t *)data.data(), (int)data.size());
    EXPECT_EQ(g_peer.sent.size(), 16384u);
    EXPECT_EQ(g_telnet.out_count, 20001 - 16384);
    telnet_flush();
    std::string expected = data.substr(0, 16384) + '\xff' + data.substr(16384);
    EXPECT_TRUE(take_sent() == expected);
}

TEST(TelnetSend, FlushRetriesShortSendsAndDropsWhatFails) {
    start_link(RAW);
    g_peer.send_limit = 3;
    telnet_queue_raw((const uint8_t *)"abcdefgh", 8);
    telnet_flush();
    EXPECT_EQ(take_sent(), "abcdefgh");
    EXPECT_EQ(g_peer.send_calls, 3);

    g_peer.send_limit = 0; // the connection is gone: the bytes are dropped, not kept for later
    telnet_queue_raw((const uint8_t *)"lost", 4);
    telnet_flush();
    EXPECT_EQ(g_telnet.out_count, 0);
    g_peer.send_limit = 100;
    telnet_send_keys((const uint8_t *)"new", 3);
    EXPECT_EQ(take_sent(), "new");
}

TEST(TelnetSend, RequestBinaryOnlyWhileNegotiatingAndOnlyOnce) {
    start_link(RAW);
    telnet_request_binary();
    EXPECT_EQ(take_sent(), "");
    start_link(TEXT);
    telnet_request_binary();
    telnet_request_binary();
    EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of("IAC WILL BINARY IAC DO BINARY")));
    telnet_send_enter();
    EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of("CR"))) << "binary now";
}
