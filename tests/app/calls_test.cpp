// A call against a real socket on 127.0.0.1 sends the current entry's login. (Negotiation, window
// sizes, replies, failures, leaving while online and the host closing are checked end to end.)
#include <netinet/in.h>
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
    sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof a;
    ASSERT_EQ(bind(listen_fd, (sockaddr *)&a, sizeof a) | listen(listen_fd, 4), 0);
    getsockname(listen_fd, (sockaddr *)&a, &length);
    ASSERT_EQ(call_place("", "127.0.0.1", ntohs(a.sin_port), EMU_ANSI), 1);
    int peer_fd = accept(listen_fd, nullptr, nullptr);
    timeval patience = {2, 0}; // a login that never comes fails the test instead of hanging it
    setsockopt(peer_fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);

    g_phonebook = phonebook_create();
    strcpy(g_phonebook->entries[3].login, "sysop");
    strcpy(g_phonebook->entries[3].password, "secret");
    for (int entry : {-1, 3}) { // no current entry: nothing
        g_connection.current_entry = entry;
        g_script.keys = {key_alt('w'), key_alt('p')};
        main_loop_turn(), main_loop_turn();
    }
    char sent[14] = {};
    EXPECT_EQ(recv(peer_fd, sent, 13, MSG_WAITALL), 13);
    EXPECT_STREQ(sent, "sysop\rsecret\r");
    phonebook_destroy(g_phonebook);
    g_phonebook = nullptr;
    call_hang_up();
    close(peer_fd), close(listen_fd);
    telnet_hooks_reset();
}

} // namespace
