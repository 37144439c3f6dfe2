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

TEST(ZmodemSend, Conversations) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 3000; i++) data.push_back((char)(i * 13 + i / 256));
    write_file(dir.file("big"), data);
    write_file(dir.file("empty"), "");
    write_file(dir.file("a"), "12345");
    write_file(dir.file("c"), "6");
    // A sparse file of 2 GiB: its positions would not fit the protocol.
    int fd = open(dir.file("huge").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0);
    close(fd);
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    const std::string rinit = hex_frame(ZRINIT, 0x23000000), pos0 = hex_frame(ZRPOS, 0);
    const std::string fin = hex_frame(ZFIN, 0), ack = hex_frame(ZACK, 2048);
    const std::string back = pos0 + hex_frame(ZRPOS, 1024), done = "Transfer complete, 1 file(s)";
    const std::string offer = "ZRQINIT 0; ZFILE 0 [k", tail = "; ZDATA 2048 [h952]; ZEOF 3000; ZFIN 0";
    std::string rqinit11 = "ZRQINIT 0";
    for (int i = 1; i < 11; i++) rqinit11 += "; ZRQINIT 0";
    const struct {
        const char *name;
        std::vector<const char *> files;
        std::vector<std::string> answers; // each readable 100 ms after the one before; "" is 10 s of silence
        std::string frames, data, text;
        bool result;
        std::string skipped = "";
    } cases[] = {
        // clang-format off
        // Going back, one subpacket waits for its ZACK; a request that crossed it is not answered.
        {"asked to go back mid-file", {"big"}, {rinit, back, hex_frame(ZRPOS, 1024) + ack, rinit, fin},
         offer + "27]; ZDATA 0 [i1024]; ZDATA 1024 [k1024]" + tail, data, done, true},
        {"the subpacket after going back is lost", {"big"}, {rinit, back, "", ack, rinit, fin},
         offer + "27]; ZDATA 0 [i1024]; ZDATA 1024 [k1024]; ZDATA 1024 [k1024]" + tail,
         data.substr(0, 2048) + data.substr(1024), done, true},
        {"skipped", {"empty"}, {rinit, hex_frame(ZSKIP, 0), fin}, offer + "23]; ZFIN 0", "",
         "Transfer complete, 0 file(s)", false},
        {"the receiver cancels", {"big"}, {rinit, pos0 + std::string(5, '\x18')},
         offer + "27]; ZDATA 0 [i1024]", data.substr(0, 1024), "Cancelled by receiver", false},
        {"no answer to ZEOF", {"empty"}, {rinit, pos0},
         offer + "23]; ZDATA 0 [h0]; ZEOF 0; ZEOF 0; ZEOF 0; ZEOF 0; ZEOF 0; ZEOF 0; ZEOF 0; CAN", "",
         "No response to ZEOF", false},
        {"no receiver", {"empty"}, {}, rqinit11 + "; CAN", "", "No response from receiver", false},
        {"files that cannot go are skipped", {"a", "missing", "", "huge", "c"},
         {rinit, pos0, rinit, pos0, rinit, fin},
         offer + "19]; ZDATA 0 [h5]; ZEOF 5; ZFILE 0 [k19]; ZDATA 0 [h1]; ZEOF 1; ZFIN 0", "123456",
         "Transfer complete, 2 file(s)", true, "File too large: " + dir.file("huge")},
        // clang-format on
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        peer_start(EMU_ANSI, 0);
        uint32_t due = 0;
        for (const auto &answer : c.answers) {
            due += answer.empty() ? 10000 : 100;
            if (!answer.empty()) peer_deliver(answer, due);
        }
        std::vector<std::string> paths;
        for (const char *file : c.files) paths.push_back(dir.file(file));
        std::vector<const char *> list;
        for (const auto &p : paths) list.push_back(p.c_str());
        TransferStatus status;
        bool result = zmodem_send(list.data(), (int)list.size(), &status);
        std::string sent;
        EXPECT_EQ(describe_frames(take_sent(), &sent), c.frames);
        EXPECT_TRUE(sent == c.data);
        EXPECT_EQ(std::string(status.text), c.text);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(std::string(status.skipped), c.skipped);
    }
}
