#include "net/telnet.h"

#include <cstring>
#include <poll.h>

#include "base/clock.h"
#include "net/transport.h"

// Without the app's event wait there are no keys: wait for the socket, or sleep when there is none.
static int wait_socket(int timeout_ms, uint32_t *key) {
    *key = 0;
    int fd = transport_ready_fd();
    if (fd < 0) {
        clock_sleep_ms(timeout_ms);
        return 0;
    }
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, timeout_ms) > 0 ? 2 : 0;
}

TelnetHooks g_telnet_hooks = {transport_receive, transport_send, wait_socket, clock_ms};

void telnet_set_wait_hook(int (*wait)(int timeout_ms, uint32_t *key)) {
    g_telnet_hooks.wait = wait ? wait : wait_socket;
}

void telnet_set_clock_hook(uint32_t (*now_ms)()) {
    g_telnet_hooks.now_ms = now_ms ? now_ms : clock_ms;
}

void telnet_hooks_reset() {
    g_telnet_hooks = {transport_receive, transport_send, wait_socket, clock_ms};
}

void telnet_push_back(const uint8_t *bytes, int length) {
    TelnetState &t = g_telnet;
    if (length < 1) return;
    int room = TELNET_PUSHBACK_SIZE - t.pushback_count;
    int n = length < room ? length : room;
    if (n < 1) return;
    // The unread bytes move behind the new ones, which are read first.
    memmove(t.pushback + n, t.pushback + t.pushback_pos, (size_t)t.pushback_count);
    memcpy(t.pushback, bytes, (size_t)n);
    t.pushback_pos = 0;
    t.pushback_count += n;
}

static int pop_pushback() {
    TelnetState &t = g_telnet;
    int b = t.pushback[t.pushback_pos++];
    if (--t.pushback_count == 0) t.pushback_pos = 0;
    return b;
}

int telnet_read_byte(int timeout_ms) {
    uint32_t start = g_telnet_hooks.now_ms();
    if (g_telnet.pushback_count > 0) return pop_pushback();
    for (;;) {
        uint8_t block[TELNET_RAW_READ_MAX];
        int n = telnet_read(block, sizeof block);
        if (n < 0) return TELNET_GONE;
        if (n > 0) {
            telnet_push_back(block, n);
            return pop_pushback();
        }
        int remaining = timeout_ms - (int)(g_telnet_hooks.now_ms() - start);
        if (remaining <= 0) return TELNET_TIMEOUT;
        uint32_t key = 0;
        // Short slices keep Esc responsive; keys other than Esc are not for the reader.
        if (g_telnet_hooks.wait(remaining < 50 ? remaining : 50, &key) == 1 && key == 27) return TELNET_ESC;
    }
}
