// Test helper: a host on 127.0.0.1 for the call tests, built on plain sockets.
#pragma once
#include <string>

struct LoopbackHost {
    int listen_fd = -1;
    int port = 0;
    int peer_fd = -1; // the accepted connection
};

// Listens on a free loopback port; false when the machine would not let it.
bool loopback_open(LoopbackHost *h);
// Accepts the client that connected; false when none came within a second.
bool loopback_accept(LoopbackHost *h);
void loopback_send(LoopbackHost *h, const std::string &bytes);
// Everything the client sent within timeout_ms (reading stops early once expect_length bytes came).
std::string loopback_receive(LoopbackHost *h, int timeout_ms, size_t expect_length = 1 << 20);
void loopback_close(LoopbackHost *h);
