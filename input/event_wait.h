// The one place the program waits: for a key, for network activity, or for a time-out. Polls the
// terminal's input, the connected socket (learned through a hook, so this area needs no network
// code) and a self-pipe that the resize signal writes to; at most 250 ms per poll.
#pragma once
#include <cstdint>

enum {
    EVENT_TIMEOUT = 0, // the time-out passed (or the wait failed)
    EVENT_KEY = 1,     // a key code was taken from the queue
    EVENT_NETWORK = 2, // the socket is readable or in error
};

// Waits at most timeout_ms (0: check once without sleeping). A queued key always wins.
int event_wait(int timeout_ms, uint32_t *key);

// Creates the signal pipe and turns SIGWINCH into the resize key; safe to call again.
void event_wait_open();
void event_wait_close();
// The descriptor holding the terminal's key bytes (standard input unless set; -1 for none).
void event_wait_set_input_fd(int fd);
// ready_fd returns the connected socket's descriptor, or -1 while none is open and connected.
void event_wait_set_socket_source(int (*ready_fd)(void));
// Called when the terminal changed size, before the resize key is queued (the display redraws whole).
void event_wait_set_resize_hook(void (*on_resize)(void));
// The graphics window's event pump: takes its events (keys into the queue) and returns 1 while the
// window is open. Its events cannot be polled for, so the wait looks at them every few milliseconds.
void event_wait_set_window_pump(int (*pump)(void));
// Async-signal-safe: queues the resize key through the signal pipe.
void event_wait_notify_resize();

// Tests and tools replace the platform wait by a scripted one; nullptr restores the real one.
typedef int (*EventWaitFn)(int timeout_ms, uint32_t *key);
void event_wait_set_fake(EventWaitFn fake);

// The same wait for callers that cannot take network data (dialogs): the socket is left out, so a
// host that keeps sending does not wake them over and over.
int event_wait_for_key(int timeout_ms, uint32_t *key);

// Waits up to timeout_ms for fd to become ready for events (fd -1: only the time passes) while the
// terminal is read into the key queue, so typed bytes keep their time of arrival and a held Esc
// settles as in any other wait; keys stay queued for later. Every wait that may last longer than
// the lone-Esc time goes through here. poll's revents of fd, 0 after the time-out, -1 on failure.
int event_wait_fd(int fd, short events, int timeout_ms);
