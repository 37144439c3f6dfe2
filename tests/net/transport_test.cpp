// The transport on real loopback sockets.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/transport.h"

// A socket bound to a free loopback port, listening when asked (else connections are refused).
struct Listener {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port = 0;
    explicit Listener(bool listening) {
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (bind(fd, (sockaddr *)&a, length) == 0 && (!listening || listen(fd, 4) == 0) &&
            getsockname(fd, (sockaddr *)&a, &length) == 0)
            port = ntohs(a.sin_port);
    }
    ~Listener() { close(fd); }
};

static int connect_to(const char *host, int port) {
    char error[200];
    if (!transport_open(host, port, error, sizeof error)) return -1; // refused at once, or no such host
    int r = 0;
    for (int waited = 0; waited < 3000 && r == 0; waited += 100) r = transport_poll_connect(100);
    return r;
}

static std::string receive_within(int ms) {
    uint8_t buffer[256];
    for (int waited = 0; waited < ms; waited += 10) {
        int n = transport_receive(buffer, sizeof buffer);
        if (n != 0) return n > 0 ? std::string((const char *)buffer, (size_t)n) : "<gone>";
        pollfd p = {transport_ready_fd(), POLLIN, 0};
        poll(&p, 1, 10);
    }
    return "";
}

TEST(Transport, ConnectExchangeAndPeerClose) {
    Listener server(true);
    ASSERT_NE(server.port, 0);
    ASSERT_EQ(connect_to("localhost", server.port), 1) << transport_last_error(); // IPv4 first
    int peer = accept(server.fd, nullptr, nullptr);
    ASSERT_GE(peer, 0);
    ASSERT_EQ(write(peer, "hello", 5), 5);
    EXPECT_EQ(receive_within(2000), "hello");
    uint8_t buffer[16];
    EXPECT_EQ(transport_receive(buffer, sizeof buffer), 0) << "nothing waiting";
    EXPECT_EQ(transport_send((const uint8_t *)"abc", 3), 3);
    EXPECT_EQ(read(peer, buffer, sizeof buffer), 3);
    close(peer);
    EXPECT_EQ(receive_within(2000), "<gone>");
    EXPECT_FALSE(transport_is_open());
    EXPECT_STREQ(transport_last_error(), "") << "a peer's close is no error";
    transport_close();
}

TEST(Transport, RefusedUnresolvableAndBadPort) {
    Listener closed(false);
    ASSERT_NE(closed.port, 0);
    EXPECT_EQ(connect_to("127.0.0.1", closed.port), -1);
    EXPECT_NE(strstr(transport_last_error(), "refused"), nullptr) << transport_last_error();
    transport_close();
    char error[200];
    EXPECT_EQ(transport_open("no-such-host.invalid", 23, error, sizeof error), 0);
    EXPECT_STREQ(error, "Host not found: no-such-host.invalid");
    EXPECT_EQ(transport_open("127.0.0.1", 70000, error, sizeof error), 0);
    EXPECT_STREQ(error, "Bad address");
    EXPECT_FALSE(transport_is_open());
}
