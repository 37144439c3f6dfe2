// Option negotiation: what the client answers to what the host sends, from the first byte of a call.
#include <gtest/gtest.h>

#include "term/emulation.h"
#include "tests/net/telnet_fake_peer.h"

struct NegotiationCase {
    const char *name;
    int emulation;
    int initiate;
    const char *host;   // bytes the host sends
    const char *answer; // bytes the client sends back, the reset's own offer included
};

static const NegotiationCase kNegotiation[] = {
    {"offer binary when initiating", EMU_ANSI, 1, "", "IAC WILL BINARY IAC DO BINARY"},
    {"no offer without the setting", EMU_ANSI, 0, "", ""},
    {"no offer to petscii hosts", EMU_PETSCII40, 1, "", ""},
    {"binary agreed is not asked again", EMU_ANSI, 1, "IAC WILL BINARY IAC DO BINARY",
     "IAC WILL BINARY IAC DO BINARY"},
    {"binary refused by the host", EMU_ANSI, 1, "IAC WONT BINARY IAC DONT BINARY",
     "IAC WILL BINARY IAC DO BINARY IAC DONT BINARY IAC WONT BINARY"},
    {"echo and sga welcome once", EMU_ANSI, 0, "IAC WILL ECHO IAC WILL SGA IAC WILL ECHO",
     "IAC DO ECHO IAC DO SGA"},
    {"unknown will refused every time", EMU_ANSI, 0, "IAC WILL 5 IAC WILL 5", "IAC DONT 5 IAC DONT 5"},
    {"unknown do refused every time", EMU_ANSI, 0, "IAC DO 1 IAC DO 39", "IAC WONT 1 IAC WONT 39"},
    {"wont for an option never agreed", EMU_ANSI, 0, "IAC WONT ECHO IAC DONT TTYPE", ""},
    {"wont after will", EMU_ANSI, 0, "IAC WILL ECHO IAC WONT ECHO", "IAC DO ECHO IAC DONT ECHO"},
    {"dont after do", EMU_ANSI, 0, "IAC DO TTYPE IAC DONT TTYPE", "IAC WILL TTYPE IAC WONT TTYPE"},
    {"do naws twice: one will, two reports", EMU_ANSI, 0, "IAC DO NAWS IAC DO NAWS",
     "IAC WILL NAWS IAC SB NAWS 0 80 0 24 IAC SE IAC SB NAWS 0 80 0 24 IAC SE"},
    {"ttype ansi", EMU_ANSI, 0, "IAC DO TTYPE IAC SB TTYPE 1 IAC SE",
     "IAC WILL TTYPE IAC SB TTYPE 0 'ANSI' IAC SE"},
    {"ttype cp437", EMU_CP437, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'ANSI' IAC SE"},
    {"ttype utf8", EMU_UTF8, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'ANSI' IAC SE"},
    {"ttype vt100", EMU_VT100, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'VT100' IAC SE"},
    {"ttype tty", EMU_TTY, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'DUMB' IAC SE"},
    {"ttype petscii 40", EMU_PETSCII40, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'PETSCII' IAC SE"},
    {"ttype petscii 80", EMU_PETSCII80, 0, "IAC SB TTYPE 1 IAC SE", "IAC SB TTYPE 0 'PETSCII' IAC SE"},
    {"other subnegotiations ignored", EMU_ANSI, 0, "IAC SB TTYPE 0 'X' IAC SE IAC SB NAWS 1 IAC SE", ""},
    {"subnegotiation broken by another command", EMU_ANSI, 0, "IAC SB TTYPE 1 IAC NOP", ""},
    {"ttype request longer than the buffer", EMU_ANSI, 0,
     "IAC SB TTYPE 1 '0123456789012345678901234567890123456789012345678901234567890123456789' IAC SE",
     "IAC SB TTYPE 0 'ANSI' IAC SE"},
};

class Negotiation : public testing::TestWithParam<NegotiationCase> {};

TEST_P(Negotiation, AnswersWholeAndSplit) {
    const NegotiationCase &c = GetParam();
    std::string host = bytes_of(c.host);
    std::string expected = bytes_of(c.answer);
    for (int split = 0; split < 2; split++) {
        peer_start(c.emulation, c.initiate); // its offer counts as part of the answer
        if (split) {
            for (char b : host) peer_deliver(std::string(1, b));
        } else if (!host.empty()) {
            peer_deliver(host);
        }
        EXPECT_EQ(peer_read_all(), "") << c.name;
        EXPECT_EQ(tokens_of(g_peer.sent), tokens_of(expected)) << c.name << (split ? " (byte by byte)" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Telnet, Negotiation, testing::ValuesIn(kNegotiation));

TEST(TelnetNegotiation, AnswersOfOneReadLeaveInOneSend) {
    peer_start(EMU_ANSI, 0);
    peer_deliver(bytes_of("IAC DO TTYPE IAC DO NAWS IAC WILL ECHO 'hi' IAC SB TTYPE 1 IAC SE"));
    uint8_t buffer[64];
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 2);
    EXPECT_EQ(g_peer.send_calls, 1);
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 0);
    EXPECT_EQ(g_peer.send_calls, 1) << "nothing to answer, nothing sent";
}

TEST(TelnetNegotiation, AnyCommandFromTheHostTurnsNegotiationOn) {
    const char *commands[] = {"IAC NOP", "IAC 249", "IAC WONT 7", "IAC SB 99 IAC SE"};
    for (const char *command : commands) {
        peer_start(EMU_ANSI, 0);
        EXPECT_EQ(g_telnet.negotiating, 0);
        peer_deliver(bytes_of(command));
        peer_read_all();
        EXPECT_EQ(g_telnet.negotiating, 1) << command;
    }
    // A doubled IAC is data, not a command.
    peer_start(EMU_ANSI, 0);
    peer_deliver(bytes_of("IAC IAC"));
    EXPECT_EQ(peer_read_all(), bytes_of("255"));
    EXPECT_EQ(g_telnet.negotiating, 0);
}

TEST(TelnetNegotiation, SubnegotiationKeepsFirst64Bytes) {
    peer_start(EMU_ANSI, 0);
    std::string sub = bytes_of("IAC SB 99");
    for (int i = 0; i < 100; i++) sub.push_back((char)(i + 1));
    sub += bytes_of("IAC IAC IAC SE 'after'");
    peer_deliver(sub);
    EXPECT_EQ(peer_read_all(), "after");
    ASSERT_EQ(g_telnet.sub_length, 64);
    EXPECT_EQ(g_telnet.sub[0], 99);
    EXPECT_EQ(g_telnet.sub[63], 63);
}

TEST(TelnetNegotiation, WindowSizeReportedOnChangeOnlyWhileNawsIsOn) {
    peer_start(EMU_ANSI, 0);
    telnet_update(EMU_ANSI, 80, 25);
    EXPECT_EQ(take_sent(), "") << "no NAWS yet";
    peer_deliver(bytes_of("IAC DO NAWS"));
    peer_read_all();
    EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of("IAC WILL NAWS IAC SB NAWS 0 80 0 25 IAC SE")));
    telnet_update(EMU_VT100, 80, 25);
    EXPECT_EQ(take_sent(), "") << "same size";
    telnet_update(EMU_PETSCII40, 40, 25);
    EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of("IAC SB NAWS 0 40 0 25 IAC SE")));
    telnet_update(EMU_ANSI, 255, 24); // a 255 inside the report is doubled
    EXPECT_EQ(tokens_of(take_sent()), tokens_of(bytes_of("IAC SB NAWS 0 IAC IAC 0 24 IAC SE")));
}
