// The receive engine against a scripted sender: what it answers, what lands on disk, how it ends.
#include <gtest/gtest.h>

#include "base/emulation.h"
#include "tests/settings/file_helpers.h"
#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/framing.h"
#include "zmodem/receive.h"

namespace {
struct Offer {
    std::string name, info; // info follows the name's NUL; empty for none
};

std::string zfile(const Offer &o, int crc32 = 1) {
    std::string packet = o.name + std::string(1, '\0') + o.info;
    return bin_frame(ZFILE, 0, crc32) + data_frame(packet, ZCRCW, crc32);
}

// ZDATA at position with the data in subpackets of at most 1024 bytes, the last ending in end.
std::string zdata(uint32_t position, const std::string &data, int end = ZCRCE, int crc32 = 1) {
    std::string out = bin_frame(ZDATA, position, crc32);
    for (size_t at = 0; at < data.size() || at == 0; at += 1024) {
        bool last = at + 1024 >= data.size();
        out += data_frame(data.substr(at, 1024), last ? end : ZCRCG, crc32);
        if (data.empty()) break;
    }
    return out;
}

std::string zeof(uint32_t position) {
    return bin_frame(ZEOF, position, 1);
}

std::string finish() {
    return hex_frame(ZFIN, 0) + "OO";
}

struct Received {
    bool result;
    TransferStatus status;
    std::string answers;
};

Received receive(const std::string &dir, const std::string &script) {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    peer_deliver(script);
    Received run;
    run.result = zmodem_receive(dir.c_str(), &run.status);
    run.answers = describe_frames(take_sent());
    return run;
}

std::string repeat(const std::string &text, int times) {
    std::string out;
    for (int i = 0; i < times; i++) out += text;
    return out;
}

std::string pattern(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; i++) s.push_back((char)(i * 7 + i / 251));
    return s;
}
} // namespace

TEST(ZmodemReceive, Conversations) {
    const std::string data = pattern(3000);
    std::string bad_packet = data_frame(data.substr(1024, 1024), ZCRCG, 1);
    bad_packet[100] ^= 1;
    const std::string kInit = "ZRINIT 23000000";
    const struct {
        const char *name;
        std::string script, answers, text, content; // content of "f" afterwards
        bool result;
        uint32_t errors;
    } cases[] = {
        {"ZDATA at the wrong place, then the right one",
         zfile({"f", "1"}) + zdata(5, "x") + zdata(0, "y") + zeof(1) + finish(),
         kInit + "; ZRPOS 0; ZRPOS 0; " + kInit + "; ZFIN 00000000", "Transfer complete, 1 file(s)", "y",
         true, 1},
        // A damaged subpacket is asked for again, and the noise after the request is waited out.
        {"a damaged subpacket, then a long run of noise",
         zfile({"f", "3000"}) + zdata(0, data.substr(0, 1024), ZCRCG) + bad_packet +
             std::string(12 * 8193, 'x') + zdata(1024, data.substr(1024)) + zeof(3000) + finish(),
         kInit + "; ZRPOS 0" + repeat("; ZRPOS 1024", 13) + "; " + kInit + "; ZFIN 00000000",
         "Transfer complete, 1 file(s)", data, true, 13},
        {"a ZEOF behind the data is ignored",
         zfile({"f", ""}) + zdata(0, "abc") + zeof(2) + zdata(3, "d") + zeof(4) + finish(),
         kInit + "; ZRPOS 0; " + kInit + "; ZFIN 00000000", "Transfer complete, 1 file(s)", "abcd", true, 0},
        {"ZSINIT, ZFREECNT and ZCOMMAND",
         bin_frame(ZSINIT, 0, 1) + data_frame("attn", ZCRCW, 1) + hex_frame(ZFREECNT, 0) +
             bin_frame(ZCOMMAND, 0, 1) + data_frame("rm -rf /", ZCRCW, 1) + finish(),
         kInit + "; ZACK 0; ZACK 2147483647; ZCOMPL 00000000; ZFIN 00000000", "Transfer complete, 0 file(s)",
         "", false, 0},
        {"a file of 2 GiB is refused", zfile({"f", "2147483648 0 100644"}) + finish(),
         kInit + "; ZSKIP 00000000; ZFIN 00000000", "Transfer complete, 0 file(s)", "", false, 0},
        {"the sender cancels", zfile({"f", ""}) + zdata(0, "ab", ZCRCG) + std::string(5, '\x18'),
         kInit + "; ZRPOS 0", "Cancelled by sender", "ab", false, 0},
        {"silence", "", kInit + repeat("; " + kInit, 10) + "; CAN", "Timeout", "", false, 11},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Received run = receive(dir.path, c.script);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.answers, c.answers);
        EXPECT_STREQ(run.status.text, c.text.c_str());
        EXPECT_EQ(run.status.errors, c.errors);
        EXPECT_EQ(read_file(dir.file("f")), c.content);
    }
}

// Names are cleaned and files made by download_create (tested on their own and against sz); here:
// what the engine does with the result.
TEST(ZmodemReceive, TakenNamesUnknownSizesAndUncreatableNames) {
    TempDir dir;
    write_file(dir.file("f"), "old");
    Received run = receive(dir.path, zfile({"../f", ""}) + zdata(0, "1") + zeof(1) + finish());
    EXPECT_EQ(read_file(dir.file("f")), "old");
    EXPECT_EQ(read_file(dir.file("f.1")), "1");
    EXPECT_STREQ(run.status.file_name, "f.1");
    EXPECT_EQ(run.status.size, -1) << "no size offered";

    // A name that cannot be created is skipped; the final box will say why.
    Received skipped = receive(dir.path + "missing/", zfile({"a", ""}) + finish());
    EXPECT_EQ(skipped.answers, "ZRINIT 23000000; ZSKIP 00000000; ZFIN 00000000");
    EXPECT_STREQ(skipped.status.skipped, "Cannot create a");
}
