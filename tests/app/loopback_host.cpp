#include "tests/app/loopback_host.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

static sockaddr_in loopback_address(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons((uint16_t)port);
    return a;
}

// With a backlog of 0 the kernel still queues one connection; once fillers hold the queue, the
// handshake of the next client is never answered.
static void fill_accept_queue(LoopbackHost *h) {
    sockaddr_in a = loopback_address(h->port);
    for (int i = 0; i < 8; i++) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        int rc = connect(fd, (sockaddr *)&a, sizeof a);
        pollfd p = {fd, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        if ((rc != 0 && poll(&p, 1, 300) != 1) ||
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            close(fd);
            return;
        }
        h->fillers.push_back(fd);
    }
}

bool loopback_open(LoopbackHost *h, LoopbackMode mode) {
    h->listen_fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(h->listen_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = loopback_address(0);
    if (bind(h->listen_fd, (sockaddr *)&a, sizeof a) != 0) return false;
    socklen_t length = sizeof a;
    getsockname(h->listen_fd, (sockaddr *)&a, &length);
    h->port = ntohs(a.sin_port);
    if (mode == LOOPBACK_REFUSE) return true;
    if (listen(h->listen_fd, mode == LOOPBACK_SILENT ? 0 : 4) != 0) return false;
    if (mode == LOOPBACK_SILENT) fill_accept_queue(h);
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

void loopback_close_peer(LoopbackHost *h) {
    if (h->peer_fd >= 0) close(h->peer_fd);
    h->peer_fd = -1;
}

void loopback_close(LoopbackHost *h) {
    loopback_close_peer(h);
    for (int fd : h->fillers) close(fd);
    h->fillers.clear();
    if (h->listen_fd >= 0) close(h->listen_fd);
    h->listen_fd = -1;
}
