// The one TCP connection: name resolution, a non-blocking connect that the caller polls, and plain
// receive and send of bytes. Every failure leaves a short text in the last-error text.
#pragma once
#include <cstdint>

// Ignores SIGPIPE so that a peer that went away never ends the program; 1 on success.
int transport_start();
// Closes any open socket, resolves host and starts a non-blocking connect to port. 1 when the
// connection is established or under way; 0 on failure with the reason in error (and, for platform
// errors, in the last-error text).
int transport_open(const char *host, int port, char *error, int error_size);
// Waits up to timeout_ms for the connect to complete: 1 connected, 0 still pending, -1 failed or
// closed (reason in the last-error text).
int transport_poll_connect(int timeout_ms);
// Bytes read (more than 0), 0 when nothing is waiting, -1 when the connection is gone (the socket is
// then closed).
int transport_receive(uint8_t *buffer, int max);
// Bytes actually sent; -1 when no socket is open; 0 for an empty request.
int transport_send(const uint8_t *bytes, int length);
// Every wait of the transport (name resolution, the connect, a send the peer is not taking) goes
// through wait: fd ready for events within timeout_ms (fd -1: only the time) gives poll's revents,
// 0 a time-out, -1 a failure. The program's own wait reads the keyboard meanwhile; nullptr restores
// the plain poll.
void transport_set_wait_hook(int (*wait)(int fd, short events, int timeout_ms));
// Safe at any time, also twice.
void transport_close();
bool transport_is_open();
const char *transport_last_error();
// The socket descriptor while a socket is open and its connect has completed, else -1.
int transport_ready_fd();
