// The transport on a real loopback socket.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/transport.h"

// What one read gives within ms milliseconds: the bytes, "" for nothing, "<gone>" for a closed link.
static std::string receive_within(int ms) {
    pollfd p = {transport_ready_fd(), POLLIN, 0};
    poll(&p, 1, ms);
    uint8_t buffer[256];
    int n = transport_receive(buffer, sizeof buffer);
    return n > 0 ? std::string((const char *)buffer, (size_t)n) : n < 0 ? "<gone>" : "";
}

TEST(Transport, ConnectExchangeAndPeerClose) {
    int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = {
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof a;
    ASSERT_TRUE(bind(server, (sockaddr *)&a, length) == 0 && listen(server, 1) == 0 &&
                getsockname(server, (sockaddr *)&a, &length) == 0)
        << strerror(errno);
    char error[200];
    ASSERT_EQ(transport_open("localhost", ntohs(a.sin_port), error, sizeof error), 1) << error; // IPv4 first
    int connected = 0;
    for (int tries = 0; tries < 30 && connected == 0; tries++) connected = transport_poll_connect(100);
    ASSERT_EQ(connected, 1) << transport_last_error();
    int peer = accept(server, nullptr, nullptr);
    ASSERT_EQ(write(peer, "hello", 5), 5);
    EXPECT_EQ(receive_within(2000), "hello");
    EXPECT_EQ(receive_within(0), "") << "nothing waiting";
    EXPECT_EQ(transport_send((const uint8_t *)"abc", 3), 3);
    uint8_t buffer[16];
    EXPECT_EQ(read(peer, buffer, sizeof buffer), 3);
    close(peer);
    close(server);
    EXPECT_EQ(receive_within(2000), "<gone>");
    EXPECT_FALSE(transport_is_open());
    EXPECT_STREQ(transport_last_error(), "") << "a peer's close is no error";
    transport_close();
}
