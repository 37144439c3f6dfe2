// A call against a real socket on 127.0.0.1 sends the current entry's login. (Negotiation, window
// sizes, replies, failures, leaving while online and the host closing are checked end to end.)
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "app/calls.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "phonebook/phonebook.h"
#include "tests/app/app_fixture.h"

namespace {

TEST_F(AppTest, LoginNameAndPasswordOfTheCurrentEntryOnly) {
    telnet_hooks_reset();
    int listen_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    ASSERT_EQ(bind(listen_fd, (sockaddr *)&a, sizeof a) | listen(listen_fd, 4), 0);
    getsockname(listen_fd, (sockaddr *)&a, &length);
    ASSERT_EQ(call_place("", "127.0.0.1", ntohs(a.sin_port), EMU_ANSI), 1);
    int peer_fd = accept(listen_fd, nullptr, nullptr);

    g_phonebook = phonebook_create();
    strcpy(g_phonebook->entries[3].login, "sysop");
    strcpy(g_phonebook->entries[3].password, "secret");
    for (int entry : {-1, 3}) { // no current entry: nothing
        g_connection.current_entry = entry;
        g_script.keys = {key_alt('w'), key_alt('p')};
        main_loop_turn(), main_loop_turn();
    }
    std::string sent;
    char buffer[64];
    pollfd p = {peer_fd, POLLIN, 0};
    for (ssize_t n = 1; sent.size() < 13 && n > 0 && poll(&p, 1, 1000) == 1;) {
        n = recv(peer_fd, buffer, sizeof buffer, 0);
        if (n > 0) sent.append(buffer, (size_t)n);
    }
    EXPECT_EQ(sent, "sysop\rsecret\r");
    phonebook_destroy(g_phonebook);
    g_phonebook = nullptr;
    call_hang_up();
    close(peer_fd), close(listen_fd);
    telnet_hooks_reset();
}

} // namespace
