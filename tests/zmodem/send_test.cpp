// The send engine against a scripted receiver whose answers arrive one by one, each only once the
// engine waits for it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "base/emulation.h"
#include "tests/settings/file_helpers.h"
#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/framing.h"
#include "zmodem/send.h"

namespace {
struct Sent {
    bool result;
    TransferStatus status;
    std::string raw, frames;
};

const uint32_t kCrc32Receiver = 0x23000000; // CANFDX | CANOVIO | CANFC32

// Each answer becomes readable 100 ms after the one before (an empty one stands for 10 seconds of
// silence); the engine only lets the fake clock run while it waits, so it never sees an answer
// before it asks for one.
Sent send_files(const std::vector<std::string> &paths, const std::vector<std::string> &answers,
                uint32_t key = 0) {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    uint32_t due = 0;
    for (const auto &answer : answers) {
        due += answer.empty() ? 10000 : 100;
        if (!answer.empty()) peer_deliver(answer, due);
    }
    g_peer.key = key;
    std::vector<const char *> list;
    for (const auto &p : paths) list.push_back(p.c_str());
    Sent sent;
    sent.result = zmodem_send(list.data(), (int)list.size(), &sent.status);
    sent.raw = take_sent();
    sent.frames = describe_frames(sent.raw);
    return sent;
}

std::string pattern(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; i++) s.push_back((char)(i * 13 + i / 256));
    return s;
}
} // namespace

TEST(ZmodemSend, Conversations) {
    TempDir dir;
    const std::string data = pattern(3000);
    write_file(dir.file("two"), data.substr(0, 2048));
    write_file(dir.file("big"), data);
    write_file(dir.file("empty"), "");
    const std::string rinit = hex_frame(ZRINIT, kCrc32Receiver), fin = hex_frame(ZFIN, 0);
    const std::string pos0 = hex_frame(ZRPOS, 0);
    const std::string start = "ZRQINIT 00000000; ZFILE/C 00000000 [k", end = "; ZFIN 00000000; OO";
    struct Outcome {
        const char *text;
        bool result;
        uint32_t errors;
    };
    const Outcome sent1 = {"Transfer complete, 1 file(s)", true, 0};
    const Outcome went_back = {"Transfer complete, 1 file(s)", true, 1};
    auto times = [](const std::string &frame, int n) {
        std::string out;
        for (int i = 0; i < n; i++) out += (i ? "; " : "") + frame;
        return out;
    };
    // clang-format off
    const struct {
        const char *name;
        std::string file;
        std::vector<std::string> answers;
        std::string frames, data;
        Outcome outcome;
    } cases[] = {
        {"asked to start at the end", "two", {rinit, hex_frame(ZRPOS, 2048), rinit, fin},
         start + "27]; ZDATA/C 2048 [h0]; ZEOF/C 2048" + end, "", sent1},
        // Going back, one subpacket waits for its ZACK; a request that crossed it is not answered.
        {"asked to go back mid-file", "big",
         {rinit, pos0 + hex_frame(ZRPOS, 1024), hex_frame(ZRPOS, 1024) + hex_frame(ZACK, 2048), rinit, fin},
         start + "27]; ZDATA/C 0 [i1024]; ZDATA/C 1024 [k1024]; ZDATA/C 2048 [h952]; ZEOF/C 3000" + end, data,
         went_back},
        {"the subpacket after going back is lost", "big",
         {rinit, pos0 + hex_frame(ZRPOS, 1024), "", hex_frame(ZACK, 2048), rinit, fin},
         start + "27]; ZDATA/C 0 [i1024]; " + times("ZDATA/C 1024 [k1024]", 2) +
             "; ZDATA/C 2048 [h952]; ZEOF/C 3000" + end,
         data.substr(0, 2048) + data.substr(1024), went_back},
        {"skipped", "two", {rinit, hex_frame(ZSKIP, 0), fin}, start + "27]" + end, "",
         {"Transfer complete, 0 file(s)", false, 0}},
        {"the receiver cancels", "big", {rinit, pos0 + std::string(5, '\x18')},
         start + "27]; ZDATA/C 0 [i1024]", data.substr(0, 1024), {"Cancelled by receiver", false, 0}},
        {"no answer to ZEOF", "empty", {rinit, pos0},
         start + "23]; ZDATA/C 0 [h0]; " + times("ZEOF/C 0", 7) + "; CAN", "", {"No response to ZEOF", false, 0}},
        {"no receiver", "empty", {}, times("ZRQINIT 00000000", 11) + "; CAN", "",
         {"No response from receiver", false, 0}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Sent sent = send_files({dir.file(c.file.c_str())}, c.answers);
        EXPECT_EQ(sent.frames, c.frames);
        EXPECT_TRUE(sent_data(sent.raw) == c.data);
        EXPECT_STREQ(sent.status.text, c.outcome.text);
        EXPECT_EQ(sent.status.errors, c.outcome.errors);
        EXPECT_EQ(sent.result, c.outcome.result);
        EXPECT_EQ(sent.status.upload, 1u);
    }

    Sent aborted = send_files({dir.file("two")}, {rinit}, 27);
    EXPECT_EQ(aborted.frames, "ZRQINIT 00000000; CAN");
    EXPECT_STREQ(aborted.status.text, "Aborted by user");
}

TEST(ZmodemSend, FilesThatCannotGoAreSkipped) {
    TempDir dir;
    write_file(dir.file("a"), "12345");
    write_file(dir.file("c"), "6");
    // A sparse file of 2 GiB: its positions would not fit the protocol.
    int fd = open(dir.file("huge").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0);
    close(fd);
    const std::string rinit = hex_frame(ZRINIT, kCrc32Receiver), pos0 = hex_frame(ZRPOS, 0);
    std::vector<std::string> paths = {dir.file("a"), dir.file("missing"), dir.path, dir.file("huge"),
                                      dir.file("c")};
    Sent sent = send_files(paths, {rinit, pos0, rinit, pos0, rinit, hex_frame(ZFIN, 0)});
    EXPECT_TRUE(sent.result);
    EXPECT_EQ(sent.status.files, 2u);
    EXPECT_EQ(sent_data(sent.raw), "123456");
    // Files left, this one included, count every file given.
    EXPECT_NE(sent.raw.find(std::string("c") + '\0' + "1 0 100644 0 1 1"), std::string::npos);
    EXPECT_EQ(sent.frames.find("huge"), std::string::npos);
    EXPECT_EQ(std::string(sent.status.skipped), "File too large: " + dir.file("huge"));
}
