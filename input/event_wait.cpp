#include "input/event_wait.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "base/clock.h"
#include "input/key_decode.h"
#include "input/keys.h"

static int input_fd = STDIN_FILENO;
static int signal_pipe[2] = {-1, -1};
static int (*socket_source)(void);
static void (*resize_hook)(void);
static int (*window_pump)(void);
static EventWaitFn fake_wait;

static const uint8_t kResizeByte = 'W';
static const int kSliceMs = 250;
static const int kWindowSliceMs = 10; // while the graphics window is open

static void on_sigwinch(int) {
    event_wait_notify_resize();
}

void event_wait_notify_resize() {
    if (signal_pipe[1] < 0) return;
    int saved = errno;
    ssize_t ignored = write(signal_pipe[1], &kResizeByte, 1); // a full pipe already holds a resize
    (void)ignored;
    errno = saved;
}

void event_wait_open() {
    if (signal_pipe[0] >= 0) return;
    if (pipe2(signal_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        signal_pipe[0] = signal_pipe[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = on_sigwinch;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
}

void event_wait_close() {
    if (signal_pipe[0] < 0) return;
    signal(SIGWINCH, SIG_DFL);
    close(signal_pipe[0]);
    close(signal_pipe[1]);
    signal_pipe[0] = signal_pipe[1] = -1;
}

void event_wait_set_input_fd(int fd) {
    input_fd = fd;
    key_decode_reset(&g_key_decoder);
}
void event_wait_set_socket_source(int (*ready_fd)(void)) {
    socket_source = ready_fd;
}
void event_wait_set_resize_hook(void (*on_resize)(void)) {
    resize_hook = on_resize;
}
void event_wait_set_window_pump(int (*pump)(void)) {
    window_pump = pump;
}
void event_wait_set_fake(EventWaitFn fake) {
    fake_wait = fake;
}

static void read_signal_pipe() {
    uint8_t bytes[64];
    bool resized = false;
    ssize_t n;
    while ((n = read(signal_pipe[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; i++) resized |= bytes[i] == kResizeByte;
    if (!resized) return;
    if (resize_hook) resize_hook();
    key_queue_push(&g_key_queue, KEY_RESIZE);
}

// Bytes the key queue can take whatever they hold: every key uses at least one byte, and the
// decoder may still hold some. The rest waits in the terminal until keys are taken.
static int input_room() {
    return KEY_QUEUE_SIZE - g_key_queue.count - g_key_decoder.count;
}

// Reads what the terminal sent; a closed or failing input is no longer polled (the hang-up
// signal ends the program in that case).
static void read_input() {
    uint8_t bytes[KEY_QUEUE_SIZE];
    int room = input_room();
    if (room <= 0) return;
    ssize_t n = read(input_fd, bytes, (size_t)room);
    if (n > 0)
        key_decode_feed(&g_key_decoder, bytes, (int)n, clock_ms(), &g_key_queue);
    else if (n == 0 || (errno != EINTR && errno != EAGAIN))
        input_fd = -1;
}

static int platform_wait(int timeout_ms, uint32_t *key, bool with_socket) {
    uint32_t start = clock_ms();
    bool polled = false;
    for (;;) {
        uint32_t now = clock_ms();
        key_decode_expire(&g_key_decoder, now, &g_key_queue);
        bool window_open = window_pump && window_pump();
        if (key_queue_pop(&g_key_queue, key)) return EVENT_KEY;
        uint32_t elapsed = now - start;
        if (polled && elapsed >= (uint32_t)timeout_ms) return EVENT_TIMEOUT;

        int slice = timeout_ms > (int)elapsed ? (int)((uint32_t)timeout_ms - elapsed) : 0;
        if (slice > (window_open ? kWindowSliceMs : kSliceMs))
            slice = window_open ? kWindowSliceMs : kSliceMs;
        int held = key_decode_wait_ms(&g_key_decoder, now);
        if (held >= 0 && held < slice) slice = held; // wake up to settle a lone Esc

        pollfd fds[3];
        int count = 0, input_at = -1, pipe_at = -1, socket_at = -1;
        if (input_fd >= 0 && input_room() > 0) input_at = count, fds[count++] = pollfd{input_fd, POLLIN, 0};
        if (signal_pipe[0] >= 0) pipe_at = count, fds[count++] = pollfd{signal_pipe[0], POLLIN, 0};
        int socket_fd = with_socket && socket_source ? socket_source() : -1;
        if (socket_fd >= 0) socket_at = count, fds[count++] = pollfd{socket_fd, POLLIN, 0};

        int ready = poll(fds, (nfds_t)count, slice);
        polled = true;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return EVENT_TIMEOUT;
        }
        if (pipe_at >= 0 && fds[pipe_at].revents) read_signal_pipe();
        if (input_at >= 0 && fds[input_at].revents) read_input();
        if (g_key_queue.count > 0) continue;
        if (socket_at >= 0 && (fds[socket_at].revents & (POLLIN | POLLERR | POLLHUP))) return EVENT_NETWORK;
    }
}

int event_wait(int timeout_ms, uint32_t *key) {
    *key = 0;
    if (timeout_ms < 0) timeout_ms = 0;
    if (fake_wait) return fake_wait(timeout_ms, key);
    return platform_wait(timeout_ms, key, true);
}

int event_wait_for_key(int timeout_ms, uint32_t *key) {
    *key = 0;
    if (timeout_ms < 0) timeout_ms = 0;
    if (fake_wait) return fake_wait(timeout_ms, key) == EVENT_KEY ? EVENT_KEY : EVENT_TIMEOUT;
    return platform_wait(timeout_ms, key, false);
}

int event_wait_fd(int fd, short events, int timeout_ms) {
    if (timeout_ms < 0) timeout_ms = 0;
    if (fake_wait) { // scripted keys need no reading; the fake clock moves on
        if (fd < 0) {
            clock_sleep_ms(timeout_ms);
            return 0;
        }
        pollfd p = {fd, events, 0};
        int r = poll(&p, 1, timeout_ms);
        return r < 0 ? -1 : r == 0 ? 0 : p.revents;
    }
    uint32_t start = clock_ms();
    bool polled = false;
    for (;;) {
        uint32_t now = clock_ms();
        key_decode_expire(&g_key_decoder, now, &g_key_queue);
        uint32_t elapsed = now - start;
        if (polled && elapsed >= (uint32_t)timeout_ms) return 0;
        int slice = timeout_ms > (int)elapsed ? (int)((uint32_t)timeout_ms - elapsed) : 0;
        int held = key_decode_wait_ms(&g_key_decoder, now);
        if (held >= 0 && held < slice) slice = held;

        pollfd fds[2];
        int count = 0, input_at = -1, fd_at = -1;
        if (fd >= 0) fd_at = count, fds[count++] = pollfd{fd, events, 0};
        if (input_fd >= 0 && input_room() > 0) input_at = count, fds[count++] = pollfd{input_fd, POLLIN, 0};
        int ready = poll(fds, (nfds_t)count, slice);
        polled = true;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (input_at >= 0 && fds[input_at].revents) read_input();
        if (fd_at >= 0 && fds[fd_at].revents) return fds[fd_at].revents;
    }
}
