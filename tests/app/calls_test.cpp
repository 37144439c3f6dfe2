// Calls against a real socket on 127.0.0.1: the entry's login, window-size reports, and leaving while
// online. (Negotiation, replies, failures, a key during a burst and the host closing are checked end
// to end.)
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "app/calls.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "net/transport.h"
#include "phonebook/phonebook.h"
#include "tests/app/app_fixture.h"

namespace {

// The program calls a host on plain sockets; the test sends as the host and reads what it was sent.
class CallTest : public AppTest {
  protected:
    int listen_fd = -1, peer_fd = -1;

    void SetUp() override {
        AppTest::SetUp();
        telnet_hooks_reset();
        listen_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        ASSERT_EQ(bind(listen_fd, (sockaddr *)&a, sizeof a) | listen(listen_fd, 4), 0);
        getsockname(listen_fd, (sockaddr *)&a, &length);
        ASSERT_EQ(call_place("", "127.0.0.1", ntohs(a.sin_port), EMU_ANSI), 1);
        peer_fd = accept(listen_fd, nullptr, nullptr);
    }
    void TearDown() override {
        call_hang_up();
        close(peer_fd), close(listen_fd);
        telnet_hooks_reset();
        AppTest::TearDown();
    }
    void host_send(const std::string &bytes) {
        ASSERT_EQ(send(peer_fd, bytes.data(), bytes.size(), 0), (ssize_t)bytes.size());
        usleep(50000); // all of it waiting on the client's side before the next turn
    }
    // What the client sent within timeout_ms (reading stops early once expect_length bytes came).
    std::string host_receive(int timeout_ms, size_t expect_length = 1 << 20) {
        std::string out;
        char buffer[4096];
        pollfd p = {peer_fd, POLLIN, 0};
        for (ssize_t n = 1; out.size() < expect_length && n > 0 && poll(&p, 1, timeout_ms) == 1;) {
            n = recv(peer_fd, buffer, sizeof buffer, 0);
            if (n > 0) out.append(buffer, (size_t)n);
        }
        return out;
    }
};

TEST_F(CallTest, LoginNameAndPasswordOfTheCurrentEntryOnly) {
    g_phonebook = phonebook_create();
    strcpy(g_phonebook->entries[3].login, "sysop");
    strcpy(g_phonebook->entries[3].password, "secret");
    for (int entry : {-1, 3}) { // no current entry: nothing
        g_connection.current_entry = entry;
        g_script.keys = {key_alt('w'), key_alt('p')};
        main_loop_turn(), main_loop_turn();
    }
    EXPECT_EQ(host_receive(1000, 13), "sysop\rsecret\r");
    phonebook_destroy(g_phonebook);
    g_phonebook = nullptr;
}

TEST_F(CallTest, ChangedWindowSizeIsReportedToAHostThatAskedForIt) {
    host_send("\xff\xfd\x1f"); // DO NAWS
    main_loop_turn();
    // WILL NAWS and the size of the 24-row terminal
    EXPECT_EQ(host_receive(1000, 12), std::string("\xff\xfb\x1f\xff\xfa\x1f\x00\x50\x00\x18\xff\xf0", 12));
    g_script.keys = {key_alt('s')}; // status bar off: 25 rows
    main_loop_turn();
    EXPECT_EQ(host_receive(1000, 9), std::string("\xff\xfa\x1f\x00\x50\x00\x19\xff\xf0", 9));
}

TEST_F(CallTest, ExitWhileOnlineMentionsTheCallAndHangsUp) {
    g_script.keys = {key_alt('x'), KEY_ENTER};
    main_loop_turn();
    EXPECT_TRUE(shown("You are still connected."));
    EXPECT_EQ(g_connection.quit, 1);
    EXPECT_EQ(g_connection.connected, 0);
    call_send_reply((const uint8_t *)"\x1b[0n", 4); // a terminal reply made offline is dropped
    EXPECT_EQ(host_receive(200), "");
}

} // namespace
