// What reaches the caller of telnet_read: data with telnet commands removed and the CR NUL rule of
// network virtual terminal text.
#include <gtest/gtest.h>

#include "term/emulation.h"
#include "tests/net/telnet_fake_peer.h"

struct DataCase {
    const char *name;
    int initiate;
    const char *host;
    const char *data;
};

static const DataCase kData[] = {
    {"plain text", 0, "'abc' CR LF", "'abc' CR LF"},
    {"doubled iac is one 255", 0, "'a' IAC IAC 'b'", "'a' 255 'b'"},
    {"commands removed", 0, "'a' IAC NOP 'b' IAC DO 99 'c' IAC SB 24 1 IAC SE 'd'", "'a' 'b' 'c' 'd'"},
    {"cr nul kept before any negotiation", 0, "CR NUL 'x'", "CR NUL 'x'"},
    {"cr nul is cr once the host negotiates", 0, "IAC WILL SGA CR NUL 'x' CR NUL", "CR 'x' CR"},
    {"nul without cr kept", 0, "IAC WILL SGA 'a' NUL", "'a' NUL"},
    {"cr nul kept in binary mode", 1, "CR NUL 'x'", "CR NUL 'x'"},
    {"cr nul is cr after the host refuses binary", 1, "IAC WONT BINARY CR NUL", "CR"},
    {"a command between cr and nul", 0, "IAC WILL SGA CR IAC NOP NUL", "CR NUL"},
    {"cr iac iac nul", 0, "IAC WILL SGA CR IAC IAC NUL", "CR 255 NUL"},
    {"a 255 from a raw host starts a command", 0, "'a' 255 'bc'", "'a' 'c'"},
};

class TelnetData : public testing::TestWithParam<DataCase> {};

TEST_P(TelnetData, SameWholeAndSplit) {
    const DataCase &c = GetParam();
    std::string host = bytes_of(c.host);
    for (int split = 0; split < 2; split++) {
        peer_start(EMU_ANSI, c.initiate);
        if (split) {
            for (char b : host) peer_deliver(std::string(1, b));
        } else {
            peer_deliver(host);
        }
        EXPECT_EQ(tokens_of(peer_read_all()), tokens_of(bytes_of(c.data)))
            << c.name << (split ? " (byte by byte)" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Telnet, TelnetData, testing::ValuesIn(kData));

TEST(TelnetRead, RawReadsAreCutTo4096AndGoneIsReported) {
    peer_start(EMU_ANSI, 0);
    peer_deliver(std::string(10000, 'x'));
    uint8_t buffer[10000];
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 4096);
    EXPECT_EQ(g_peer.largest_receive, 4096);
    EXPECT_EQ(telnet_read(buffer, 100), 100);
    g_peer.incoming.clear();
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 0);
    g_peer.gone_when_empty = true;
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), -1);
}

TEST(TelnetRead, ResetForgetsTheLastCall) {
    peer_start(EMU_ANSI, 0);
    peer_deliver(bytes_of("IAC DO NAWS 'a' IAC SB 24"));
    peer_read_all();
    telnet_push_back((const uint8_t *)"zz", 2);
    telnet_queue_raw((const uint8_t *)"unsent", 6);
    telnet_reset(EMU_ANSI, 80, 24, 0);
    EXPECT_EQ(g_telnet.negotiating, 0);
    EXPECT_EQ(g_telnet.will_table[TELNET_OPT_NAWS], 0);
    EXPECT_EQ(g_telnet.out_count, 0);
    peer_deliver("data");
    EXPECT_EQ(peer_read_all(), "data") << "no pushback left and no subnegotiation swallowing data";
}
