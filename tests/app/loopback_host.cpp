#include "tests/app/loopback_host.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

bool loopback_open(LoopbackHost *h) {
    h->listen_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(h->listen_fd, (sockaddr *)&a, sizeof a) != 0 || listen(h->listen_fd, 4) != 0) return false;
    socklen_t length = sizeof a;
    getsockname(h->listen_fd, (sockaddr *)&a, &length);
    h->port = ntohs(a.sin_port);
    return true;
}

bool loopback_accept(LoopbackHost *h) {
    pollfd p = {h->listen_fd, POLLIN, 0};
    if (poll(&p, 1, 1000) != 1) return false;
    h->peer_fd = accept(h->listen_fd, nullptr, nullptr);
    return h->peer_fd >= 0;
}

void loopback_send(LoopbackHost *h, const std::string &bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = send(h->peer_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += (size_t)n;
    }
}

std::string loopback_receive(LoopbackHost *h, int timeout_ms, size_t expect_length) {
    std::string out;
    char buffer[4096];
    while (out.size() < expect_length) {
        pollfd p = {h->peer_fd, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) != 1) break;
        ssize_t n = recv(h->peer_fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        out.append(buffer, (size_t)n);
    }
    return out;
}

void loopback_close(LoopbackHost *h) {
    if (h->peer_fd >= 0) close(h->peer_fd);
    if (h->listen_fd >= 0) close(h->listen_fd);
    h->peer_fd = h->listen_fd = -1;
}
