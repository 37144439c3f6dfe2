// The receive engine against a scripted sender: what it answers, what lands on disk, how it ends.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/settings/file_helpers.h"
#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/framing.h"
#include "zmodem/receive.h"

namespace {
std::string zfile(const std::string &name, const std::string &info) {
    return bin_frame(ZFILE, 0, 1) + data_frame(name + '\0' + info, ZCRCW, 1);
}

// ZDATA at position with the data in subpackets of at most 1024 bytes, the last ending in end.
std::string zdata(uint32_t position, const std::string &data, int end = ZCRCE) {
    std::string out = bin_frame(ZDATA, position, 1);
    for (size_t at = 0; at < data.size(); at += 1024)
        out += data_frame(data.substr(at, 1024), at + 1024 >= data.size() ? end : ZCRCG, 1);
    return out;
}

std::string repeat(const std::string &text, int times) {
    std::string out;
    for (int i = 0; i < times; i++) out += text;
    return out;
}
} // namespace

TEST(ZmodemReceive, Conversations) {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    std::string data;
    for (int i = 0; i < 3000; i++) data.push_back((char)(i * 7 + i / 251));
    std::string bad_packet = data_frame(data.substr(1024, 1024), ZCRCG, 1);
    bad_packet[100] ^= 1;
    const std::string finish = hex_frame(ZFIN, 0) + "OO", init = "ZRINIT 23000000";
    const std::string zeof = bin_frame(ZEOF, 3000, 1), done = "Transfer complete, 1 file(s)";
    const std::string none = "Transfer complete, 0 file(s)";
    const struct {
        const char *name;
        std::string script, answers, text, content; // content of "f" afterwards
        bool result;
        std::string skipped = "", subdir = "";
    } cases[] = {
        // clang-format off
        // A damaged subpacket is asked for again, and the data still streaming after the request is
        // read past as noise: it does not count towards the limit of silences.
        {"a damaged subpacket, then a long run of noise",
         zfile("f", "3000") + zdata(0, data.substr(0, 1024), ZCRCG) + bad_packet +
             std::string(12 * 8193, 'x') + zdata(1024, data.substr(1024)) + zeof + finish,
         init + "; ZRPOS 0" + repeat("; ZRPOS 1024", 13) + "; " + init + "; ZFIN 0", done, data, true},
        {"a ZEOF behind the data is ignored", zfile("f", "") + zdata(0, data.substr(0, 2999)) + zeof +
             zdata(2999, data.substr(2999)) + zeof + finish,
         init + "; ZRPOS 0; " + init + "; ZFIN 0", done, data, true},
        // Commands from the host are answered but never run.
        {"ZSINIT, ZFREECNT and ZCOMMAND", bin_frame(ZSINIT, 0, 1) + data_frame("attn", ZCRCW, 1) +
             hex_frame(ZFREECNT, 0) + bin_frame(ZCOMMAND, 0, 1) + data_frame("rm -rf /", ZCRCW, 1) + finish,
         init + "; ZACK 0; ZACK 2147483647; ZCOMPL 0; ZFIN 0", none, "", false},
        {"a name that cannot be created", zfile("f", "") + finish, init + "; ZSKIP 0; ZFIN 0", none, "",
         false, "Cannot create f", "missing/"},
        {"the sender cancels", zfile("f", "") + zdata(0, "ab", ZCRCG) + std::string(5, '\x18'),
         init + "; ZRPOS 0", "Cancelled by sender", "ab", false},
        {"silence", "", init + repeat("; " + init, 10) + "; CAN", "Timeout", "", false},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        peer_start(EMU_ANSI, 0);
        peer_deliver(c.script);
        TransferStatus status;
        EXPECT_EQ(zmodem_receive((dir.path + c.subdir).c_str(), &status), c.result);
        EXPECT_EQ(describe_frames(take_sent()), c.answers);
        EXPECT_EQ(std::string(status.text), c.text);
        EXPECT_EQ(std::string(status.skipped), c.skipped);
        EXPECT_EQ(read_file(dir.file("f")), c.content);
    }
}
