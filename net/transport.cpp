#include "net/transport.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include "base/text.h"

struct TransportState {
    int fd;         // -1 when no socket is open
    bool connected; // the connect has completed successfully
    char last_error[200];
};

static TransportState g_transport = {-1, false, {0}};

static const int kSendRetries = 3000; // 5 ms each: a peer that reads nothing for 15 s is given up

static void set_error_text(char *out, int size, const char *text, int code) {
    if (text && *text)
        text_copy(out, text, size);
    else
        text_format(out, size, "Socket error %d", code);
    text_trim(out);
    if (!*out) text_format(out, size, "Socket error %d", code);
}

// The system's message for errno value code, or "Socket error %d" when it has none.
static void set_last_error(int code) {
    set_error_text(g_transport.last_error, sizeof g_transport.last_error, strerrordesc_np(code), code);
}

static int poll_fd(int fd, short events, int timeout_ms) {
    pollfd p = {fd, events, 0};
    int r;
    while ((r = poll(&p, fd >= 0 ? 1 : 0, timeout_ms)) < 0 && errno == EINTR) {
    }
    return r < 0 ? -1 : r == 0 ? 0 : p.revents;
}

static int (*g_wait_hook)(int fd, short events, int timeout_ms) = poll_fd;

void transport_set_wait_hook(int (*wait)(int fd, short events, int timeout_ms)) {
    g_wait_hook = wait ? wait : poll_fd;
}

static int wait_fd(int fd, short events, int timeout_ms, short *revents) {
    int r = g_wait_hook(fd, events, timeout_ms);
    *revents = r > 0 ? (short)r : 0;
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

struct Resolution {
    const char *host;
    const char *service;
    const addrinfo *hints;
    addrinfo *list;
    int rc;
    int error;
    std::atomic<bool> done;
};

static void *resolve(void *arg) {
    Resolution *r = (Resolution *)arg;
    r->rc = getaddrinfo(r->host, r->service, r->hints, &r->list);
    r->error = errno;
    r->done.store(true);
    return nullptr;
}

// getaddrinfo may take seconds; with a wait hook in place it runs on a thread of its own while the
// hook keeps waiting in short slices (reading the keyboard, for one).
static int resolve_waiting(const char *host, const char *service, const addrinfo *hints, addrinfo **list) {
    Resolution r{host, service, hints, nullptr, 0, 0, {false}};
    pthread_t thread;
    if (g_wait_hook == poll_fd || pthread_create(&thread, nullptr, resolve, &r) != 0) {
        resolve(&r);
    } else {
        while (!r.done.load()) g_wait_hook(-1, 0, 10);
        pthread_join(thread, nullptr);
    }
    *list = r.list;
    errno = r.error;
    return r.rc;
}

int transport_start() {
    signal(SIGPIPE, SIG_IGN);
    return 1;
}

int transport_open(const char *host, int port, char *error, int error_size) {
    transport_close();
    g_transport.last_error[0] = 0;
    if (error_size > 0) error[0] = 0;
    if (!host) host = "";
    if (port < 1 || port > 65535) {
        text_copy(error, "Bad address", error_size);
        return 0;
    }

    char service[16];
    text_format(service, sizeof service, "%d", port);
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    int rc = resolve_waiting(host, service, &hints, &list);
    if (rc != 0 || !list) {
        int code = rc == EAI_SYSTEM ? errno : rc;
        const char *text = rc == EAI_SYSTEM ? strerrordesc_np(errno) : gai_strerror(rc);
        set_error_text(g_transport.last_error, sizeof g_transport.last_error, text, code);
        text_format(error, error_size, "Host not found: %s", host);
        if (list) freeaddrinfo(list);
        return 0;
    }
    // IPv4 first: many hosts publish an IPv6 address that does not answer.
    const addrinfo *pick = list;
    for (const addrinfo *a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET) {
            pick = a;
            break;
        }
    }
    sockaddr_storage address;
    if (pick->ai_addrlen > sizeof address) { // 128 bytes: no family needs more
        freeaddrinfo(list);
        text_copy(error, "Bad address", error_size);
        return 0;
    }
    memcpy(&address, pick->ai_addr, pick->ai_addrlen);
    socklen_t address_length = pick->ai_addrlen;
    int family = pick->ai_family;
    freeaddrinfo(list);

    int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) {
        set_last_error(errno);
        text_copy(error, g_transport.last_error, error_size);
        return 0;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // each keystroke leaves at once
    g_transport.fd = fd;
    g_transport.connected = false;
    while ((rc = connect(fd, (const sockaddr *)&address, address_length)) < 0 && errno == EINTR) {
    }
    if (rc == 0) {
        g_transport.connected = true;
        return 1;
    }
    if (errno == EINPROGRESS || errno == EALREADY) return 1;
    set_last_error(errno);
    text_copy(error, g_transport.last_error, error_size);
    transport_close();
    return 0;
}

int transport_poll_connect(int timeout_ms) {
    if (g_transport.fd < 0) return -1;
    if (g_transport.connected) return 1;
    short revents;
    int r = wait_fd(g_transport.fd, POLLOUT, timeout_ms < 0 ? 0 : timeout_ms, &revents);
    if (r < 0) {
        set_last_error(errno);
        return -1;
    }
    if (r == 0) return 0;
    int pending = 0;
    socklen_t length = sizeof pending;
    if (getsockopt(g_transport.fd, SOL_SOCKET, SO_ERROR, &pending, &length) < 0) {
        set_last_error(errno);
        return -1;
    }
    if (pending != 0) {
        set_last_error(pending);
        return -1;
    }
    if (revents & POLLOUT) {
        g_transport.connected = true;
        return 1;
    }
    if (revents & (POLLHUP | POLLERR)) {
        text_copy(g_transport.last_error, "Connection closed", sizeof g_transport.last_error);
        return -1;
    }
    return 0;
}

int transport_receive(uint8_t *buffer, int max) {
    if (g_transport.fd < 0) return -1;
    if (max < 1) return 0;
    ssize_t n;
    while ((n = recv(g_transport.fd, buffer, (size_t)max, 0)) < 0 && errno == EINTR) {
    }
    if (n > 0) return (int)n;
    if (n == 0) { // the peer closed; the last-error text stays as it was
        transport_close();
        return -1;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    set_last_error(errno);
    transport_close();
    return -1;
}

int transport_send(const uint8_t *bytes, int length) {
    if (g_transport.fd < 0) return -1;
    if (length < 1) return 0;
    int sent = 0;
    int retries = 0;
    while (sent < length) {
        ssize_t n = send(g_transport.fd, bytes + sent, (size_t)(length - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += (int)n;
            retries = 0;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (++retries > kSendRetries) return sent;
            short revents;
            wait_fd(g_transport.fd, POLLOUT, 5, &revents);
            continue;
        }
        set_last_error(n < 0 ? errno : EPIPE);
        return sent;
    }
    return length;
}

void transport_close() {
    if (g_transport.fd >= 0) close(g_transport.fd);
    g_transport.fd = -1;
    g_transport.connected = false;
}

bool transport_is_open() {
    return g_transport.fd >= 0;
}

const char *transport_last_error() {
    return g_transport.last_error;
}

int transport_ready_fd() {
    return g_transport.fd >= 0 && g_transport.connected ? g_transport.fd : -1;
}
