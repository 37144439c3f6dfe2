// The transport on real loopback sockets, and the telnet layer's default hooks over it.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "net/telnet.h"
#include "net/transport.h"
#include "term/emulation.h"

// A listening (or, with listen_too false, only bound) socket on a free loopback port.
struct Listener {
    int fd = -1;
    int port = 0;
    Listener(int family, bool listen_too) {
        fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_storage address;
        memset(&address, 0, sizeof address);
        socklen_t length;
        if (family == AF_INET6) {
            sockaddr_in6 *a = (sockaddr_in6 *)&address;
            a->sin6_family = AF_INET6;
            a->sin6_addr = in6addr_loopback;
            length = sizeof *a;
        } else {
            sockaddr_in *a = (sockaddr_in *)&address;
            a->sin_family = AF_INET;
            a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            length = sizeof *a;
        }
        if (fd < 0 || bind(fd, (sockaddr *)&address, length) != 0 || (listen_too && listen(fd, 4) != 0)) {
            if (fd >= 0) close(fd);
            fd = -1;
            return;
        }
        getsockname(fd, (sockaddr *)&address, &length);
        port = ntohs(family == AF_INET6 ? ((sockaddr_in6 *)&address)->sin6_port
                                        : ((sockaddr_in *)&address)->sin_port);
    }
    ~Listener() {
        if (fd >= 0) close(fd);
    }
    int accept_one() { return accept(fd, nullptr, nullptr); }
};

static int connect_within(int ms) {
    int r = 0;
    for (int waited = 0; waited < ms && r == 0; waited += 100) r = transport_poll_connect(100);
    return r;
}

static std::string receive_within(int ms) {
    uint8_t buffer[256];
    for (int waited = 0; waited < ms; waited += 10) {
        int n = transport_receive(buffer, sizeof buffer);
        if (n > 0) return std::string((const char *)buffer, (size_t)n);
        if (n < 0) return "<gone>";
        pollfd p = {transport_ready_fd(), POLLIN, 0};
        poll(&p, 1, 10);
    }
    return "";
}

static void connect_to(const char *host, const Listener &server) {
    char error[200];
    ASSERT_EQ(transport_open(host, server.port, error, sizeof error), 1) << error;
    ASSERT_EQ(connect_within(3000), 1) << transport_last_error();
}

TEST(Transport, ConnectExchangeAndPeerClose) {
    Listener server(AF_INET, true);
    ASSERT_GE(server.fd, 0);
    connect_to("127.0.0.1", server);
    EXPECT_TRUE(transport_is_open());
    EXPECT_GE(transport_ready_fd(), 0);
    int peer = server.accept_one();
    ASSERT_GE(peer, 0);

    ASSERT_EQ(write(peer, "hello", 5), 5);
    EXPECT_EQ(receive_within(2000), "hello");
    EXPECT_EQ(transport_send((const uint8_t *)"abc", 3), 3);
    char got[8] = {0};
    EXPECT_EQ(read(peer, got, sizeof got), 3);
    EXPECT_STREQ(got, "abc");
    EXPECT_EQ(transport_send((const uint8_t *)"", 0), 0);

    uint8_t buffer[16];
    EXPECT_EQ(transport_receive(buffer, sizeof buffer), 0) << "nothing waiting";
    close(peer);
    EXPECT_EQ(receive_within(2000), "<gone>");
    EXPECT_FALSE(transport_is_open());
    EXPECT_EQ(transport_ready_fd(), -1);
    EXPECT_STREQ(transport_last_error(), "") << "a peer's close is no error";
    EXPECT_EQ(transport_receive(buffer, sizeof buffer), -1);
    EXPECT_EQ(transport_send((const uint8_t *)"x", 1), -1);
    transport_close();
    transport_close();
}

TEST(Transport, RefusedPortFailsThePoll) {
    Listener closed(AF_INET, false); // bound, not listening: connections are refused
    ASSERT_GE(closed.fd, 0);
    char error[200];
    int opened = transport_open("127.0.0.1", closed.port, error, sizeof error);
    if (opened) {
        EXPECT_EQ(connect_within(3000), -1);
        EXPECT_NE(strstr(transport_last_error(), "refused"), nullptr) << transport_last_error();
    } else {
        EXPECT_NE(strstr(error, "refused"), nullptr) << error;
    }
    transport_close();
    EXPECT_FALSE(transport_is_open());
}

TEST(Transport, UnresolvableNameAndBadPort) {
    char error[200];
    EXPECT_EQ(transport_open("no-such-host.invalid", 23, error, sizeof error), 0);
    EXPECT_STREQ(error, "Host not found: no-such-host.invalid");
    EXPECT_STRNE(transport_last_error(), "");
    EXPECT_FALSE(transport_is_open());
    EXPECT_EQ(transport_open("127.0.0.1", 70000, error, sizeof error), 0);
    EXPECT_STREQ(error, "Bad address");
    char tiny[8];
    EXPECT_EQ(transport_open("no-such-host.invalid", 23, tiny, sizeof tiny), 0);
    EXPECT_STREQ(tiny, "Host no");
}

TEST(Transport, Ipv6LoopbackAndNamesOfBothFamilies) {
    Listener v6(AF_INET6, true);
    if (v6.fd < 0) GTEST_SKIP() << "no IPv6 loopback here";
    connect_to("::1", v6);
    int peer = v6.accept_one();
    ASSERT_GE(peer, 0);
    ASSERT_EQ(write(peer, "six", 3), 3);
    EXPECT_EQ(receive_within(2000), "six");
    close(peer);
    transport_close();

    // "localhost" may name both families; the IPv4 address is the one dialled.
    Listener v4(AF_INET, true);
    ASSERT_GE(v4.fd, 0);
    connect_to("localhost", v4);
    transport_close();
}

TEST(Transport, TelnetTimedReadOverTheSocket) {
    Listener server(AF_INET, true);
    ASSERT_GE(server.fd, 0);
    connect_to("127.0.0.1", server);
    int peer = server.accept_one();
    telnet_hooks_reset();
    telnet_reset(EMU_ANSI, 80, 24, 0);

    EXPECT_EQ(telnet_read_byte(120), TELNET_TIMEOUT);
    const uint8_t host[] = {TELNET_IAC, TELNET_DO, TELNET_OPT_TTYPE, 'o', 'k'};
    ASSERT_EQ(write(peer, host, sizeof host), (ssize_t)sizeof host);
    EXPECT_EQ(telnet_read_byte(2000), 'o');
    EXPECT_EQ(telnet_read_byte(2000), 'k');
    uint8_t answer[8];
    EXPECT_EQ(read(peer, answer, sizeof answer), 3);
    EXPECT_EQ(answer[1], TELNET_WILL);

    telnet_send_keys((const uint8_t *)"\r", 1);
    EXPECT_EQ(read(peer, answer, sizeof answer), 2) << "CR NUL on a negotiated text link";
    close(peer);
    EXPECT_EQ(telnet_read_byte(2000), TELNET_GONE);
    transport_close();
}
