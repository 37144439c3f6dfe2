// What the client makes of the host's bytes: the data that reaches the caller of telnet_read (telnet
// commands removed, the CR NUL rule of network virtual terminal text) and the answers it sends.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/net/telnet_fake_peer.h"

struct ReceiveCase {
    const char *name;
    int emulation, initiate;
    const char *host;
    const char *data;   // what telnet_read returns
    const char *answer; // what the client sends, the reset's own offer included
};

static const ReceiveCase kReceive[] = {
    {"text and a doubled iac", EMU_ANSI, 0, "'abc' CR LF IAC IAC", "'abc' CR LF 255", ""},
    {"commands removed", EMU_ANSI, 0, "'a' IAC NOP 'b' IAC DO 99 'c' IAC SB 24 1 IAC SE 'd'", "'abcd'",
     "IAC WONT 99 IAC SB TTYPE 0 'ANSI' IAC SE"},
    {"a 255 from a raw host starts a command", EMU_ANSI, 0, "'a' 255 'bc'", "'ac'", ""},
    {"cr nul kept before any negotiation", EMU_ANSI, 0, "CR NUL 'x'", "CR NUL 'x'", ""},
    {"cr nul is cr once the host negotiates", EMU_ANSI, 0, "IAC WILL SGA CR NUL NUL 'x' CR NUL",
     "CR NUL 'x' CR", "IAC DO SGA"},
    {"cr nul kept in binary mode", EMU_ANSI, 1, "CR NUL 'x'", "CR NUL 'x'", "IAC WILL BINARY IAC DO BINARY"},
    {"binary refused by the host", EMU_ANSI, 1, "IAC WONT BINARY IAC DONT BINARY CR NUL", "CR",
     "IAC WILL BINARY IAC DO BINARY IAC DONT BINARY IAC WONT BINARY"},
    {"no offer to petscii hosts", EMU_PETSCII40, 1, "", "", ""},
    {"echo and sga welcome once", EMU_ANSI, 0, "IAC WILL ECHO IAC WILL SGA IAC WILL ECHO", "",
     "IAC DO ECHO IAC DO SGA"},
    {"unknown will refused every time", EMU_ANSI, 0, "IAC WILL 5 IAC WILL 5", "", "IAC DONT 5 IAC DONT 5"},
    {"wont for an option never agreed", EMU_ANSI, 0, "IAC WONT ECHO IAC DONT TTYPE", "", ""},
    {"wont after will, dont after do", EMU_ANSI, 0, "IAC WILL ECHO IAC WONT ECHO IAC DO TTYPE IAC DONT TTYPE",
     "", "IAC DO ECHO IAC DONT ECHO IAC WILL TTYPE IAC WONT TTYPE"},
    {"do naws twice: one will, two reports", EMU_ANSI, 0, "IAC DO NAWS IAC DO NAWS", "",
     "IAC WILL NAWS IAC SB NAWS 0 80 0 24 IAC SE IAC SB NAWS 0 80 0 24 IAC SE"},
    {"ttype request longer than the buffer", EMU_ANSI, 0,
     "IAC SB TTYPE 1 '0123456789012345678901234567890123456789012345678901234567890123456789' IAC SE", "",
     "IAC SB TTYPE 0 'ANSI' IAC SE"},
};

TEST(TelnetReceive, SameDataAndAnswersWholeAndByteByByte) {
    for (const ReceiveCase &c : kReceive) {
        for (int split = 0; split < 2; split++) {
            SCOPED_TRACE(testing::Message() << c.name << (split ? " (byte by byte)" : ""));
            peer_start(c.emulation, c.initiate);
            std::string host = bytes_of(c.host);
            if (split)
                for (char b : host) peer_deliver(std::string(1, b));
            else
                peer_deliver(host);
            EXPECT_EQ(peer_read_all(), bytes_of(c.data));
            EXPECT_EQ(g_peer.sent, bytes_of(c.answer));
        }
    }
}

TEST(TelnetReceive, AnswersOfOneReadLeaveInOneSend) {
    peer_start(EMU_ANSI, 0);
    peer_deliver(bytes_of("IAC DO TTYPE IAC DO NAWS IAC WILL ECHO 'hi' IAC SB TTYPE 1 IAC SE"));
    uint8_t buffer[64];
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 2);
    EXPECT_EQ(telnet_read(buffer, sizeof buffer), 0);
    EXPECT_EQ(g_peer.send_calls, 1);
}

TEST(TelnetReceive, WindowSizeReportedOnChangeOnlyWhileNawsIsOn) {
    peer_start(EMU_ANSI, 0);
    telnet_update(EMU_ANSI, 80, 25);
    EXPECT_EQ(take_sent(), "") << "no NAWS yet";
    peer_deliver(bytes_of("IAC DO NAWS"));
    peer_read_all();
    EXPECT_EQ(take_sent(), bytes_of("IAC WILL NAWS IAC SB NAWS 0 80 0 25 IAC SE"));
    telnet_update(EMU_VT100, 80, 25);
    EXPECT_EQ(take_sent(), "") << "same size";
    telnet_update(EMU_ANSI, 255, 24); // a 255 inside the report is doubled
    EXPECT_EQ(take_sent(), bytes_of("IAC SB NAWS 0 IAC IAC 0 24 IAC SE"));
}

TEST(TelnetReceive, ResetForgetsTheLastCall) {
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
