// What leaves for the host: keys under the line-end and IAC rules, break, binary, the output buffer.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/net/telnet_fake_peer.h"

enum Link { RAW, TEXT, BINARY }; // no negotiation, negotiated text, negotiated binary

TEST(TelnetSend, KeysEnterBreakAndBinaryRequestByLinkKind) {
    const struct {
        Link link;
        const char *keys, *sent, *enter, *brk, *binary; // binary: what asking for binary twice sends
    } cases[] = {
        {RAW, "'a' CR LF 255 NUL", "'a' CR LF 255 NUL", "CR", "", ""},
        {TEXT, "CR CR LF 255 'x' CR", "CR NUL CR LF IAC IAC 'x' CR NUL", "CR NUL", "IAC BRK",
         "IAC WILL BINARY IAC DO BINARY"},
        {BINARY, "CR LF CR NUL 255", "CR LF CR NUL IAC IAC", "CR", "IAC BRK", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "link " << c.link);
        peer_start(EMU_ANSI, c.link == BINARY);
        if (c.link == TEXT) peer_deliver(bytes_of("IAC WILL SGA"));
        peer_read_all();
        take_sent();
        std::string keys = bytes_of(c.keys);
        telnet_send_keys((const uint8_t *)keys.data(), (int)keys.size());
        EXPECT_EQ(take_sent(), bytes_of(c.sent)) << c.keys;
        telnet_send_enter();
        EXPECT_EQ(take_sent(), bytes_of(c.enter));
        telnet_send_break();
        EXPECT_EQ(take_sent(), bytes_of(c.brk));
        telnet_request_binary();
        telnet_request_binary();
        EXPECT_EQ(take_sent(), bytes_of(c.binary));
    }
}

TEST(TelnetSend, FullOutputBufferIsSentAtOnce) {
    peer_start(EMU_ANSI, 1); // binary: 255 doubled, CR left alone
    take_sent();
    std::string data(20000, 'z');
    data[16383] = '\xff'; // its double lands beyond the first buffer-full
    telnet_queue_data((const uint8_t *)data.data(), (int)data.size());
    EXPECT_EQ(g_peer.sent.size(), 16384u);
    telnet_flush();
    EXPECT_TRUE(take_sent() == data.substr(0, 16384) + '\xff' + data.substr(16384));
}

TEST(TelnetSend, FlushRetriesShortSendsAndDropsWhatFails) {
    peer_start(EMU_ANSI, 0);
    g_peer.send_limit = 3;
    telnet_send_keys((const uint8_t *)"abcdefgh", 8);
    EXPECT_EQ(take_sent(), "abcdefgh");
    EXPECT_EQ(g_peer.send_calls, 3);
    g_peer.send_limit = 0; // the connection is gone: the bytes are dropped, not kept for later
    telnet_send_keys((const uint8_t *)"lost", 4);
    g_peer.send_limit = 100;
    telnet_send_keys((const uint8_t *)"new", 3);
    EXPECT_EQ(take_sent(), "new");
}
