// What the client makes of the host's bytes: the data telnet_read gives and the answers it sends.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/net/telnet_fake_peer.h"

static const struct {
    const char *name;
    int emulation, initiate;
    const char *host, *data, *answer; // data: what telnet_read returns; answer: all the client sent
} kReceive[] = {
    {"text, a doubled iac, cr nul before any negotiation", EMU_ANSI, 0, "'abc' CR LF IAC IAC CR NUL 'x'",
     "'abc' CR LF 255 CR NUL 'x'", ""},
    {"commands removed, unknown options refused", EMU_ANSI, 0,
     "'a' IAC NOP 'b' IAC DO 99 'c' IAC SB 24 1 IAC SE IAC WILL 5 'd'", "'abcd'",
     "IAC WONT 99 IAC SB TTYPE 0 'ANSI' IAC SE IAC DONT 5"},
    {"cr nul is cr once the host negotiates", EMU_ANSI, 0, "IAC WILL SGA CR NUL NUL 'x' CR NUL",
     "CR NUL 'x' CR", "IAC DO SGA"},
    {"cr nul kept in binary mode, cr once the host refuses it", EMU_ANSI, 1,
     "CR NUL 'x' IAC WONT BINARY IAC DONT BINARY CR NUL", "CR NUL 'x' CR",
     "IAC WILL BINARY IAC DO BINARY IAC DONT BINARY IAC WONT BINARY"},
    {"no offer to petscii hosts", EMU_PETSCII40, 1, "", "", ""},
    {"each change answered once, no answer to a refusal never agreed", EMU_ANSI, 0,
     "IAC DONT TTYPE IAC WILL ECHO IAC WILL ECHO IAC WONT ECHO IAC DO TTYPE IAC DONT TTYPE", "",
     "IAC DO ECHO IAC DONT ECHO IAC WILL TTYPE IAC WONT TTYPE"},
    {"do naws twice: one will, two reports", EMU_ANSI, 0, "IAC DO NAWS IAC DO NAWS", "",
     "IAC WILL NAWS IAC SB NAWS 0 80 0 24 IAC SE IAC SB NAWS 0 80 0 24 IAC SE"},
};

TEST(TelnetReceive, SameDataAndAnswersWholeAndByteByByte) {
    for (const auto &c : kReceive)
        for (int split = 0; split < 2; split++) {
            SCOPED_TRACE(testing::Message() << c.name << (split ? " (byte by byte)" : ""));
            peer_start(c.emulation, c.initiate);
            std::string host = bytes_of(c.host);
            size_t piece = split ? 1 : host.size();
            for (size_t i = 0; i < host.size(); i += piece) peer_deliver(host.substr(i, piece));
            int sends = g_peer.send_calls;
            EXPECT_EQ(peer_read_all(), bytes_of(c.data));
            EXPECT_EQ(g_peer.sent, bytes_of(c.answer));
            EXPECT_LE(g_peer.send_calls - sends, split ? (int)host.size() : 1) << "one send a read at most";
        }
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
    peer_deliver(bytes_of("IAC DO NAWS IAC WILL SGA 'a' IAC SB 24"));
    peer_read_all();
    take_sent();
    telnet_push_back((const uint8_t *)"zz", 2);
    telnet_queue_raw((const uint8_t *)"unsent", 6);
    telnet_reset(EMU_ANSI, 80, 24, 0);
    telnet_update(EMU_ANSI, 100, 30);
    peer_deliver(bytes_of("'data' CR NUL"));
    EXPECT_EQ(peer_read_all(), bytes_of("'data' CR NUL")) << "no pushback, half command or text mode left";
    telnet_send_keys((const uint8_t *)"k", 1);
    EXPECT_EQ(take_sent(), "k") << "no queued bytes, no window size for a host that did not ask";
}
