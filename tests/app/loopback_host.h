// Test helper: a host on 127.0.0.1 for the call tests, built on plain sockets. It can listen,
// refuse (bound but not listening), or hold connections forever pending (a full accept queue).
#pragma once
#include <string>
#include <vector>

struct LoopbackHost {
    int listen_fd = -1;
    int port = 0;
    int peer_fd = -1;         // the accepted connection
    std::vector<int> fillers; // connections that fill the accept queue
};

enum LoopbackMode { LOOPBACK_LISTEN, LOOPBACK_REFUSE, LOOPBACK_SILENT };

// Opens the port in the mode; false when the machine would not let it.
bool loopback_open(LoopbackHost *h, LoopbackMode mode);
// Accepts the client that connected; false when none came within a second.
bool loopback_accept(LoopbackHost *h);
void loopback_send(LoopbackHost *h, const std::string &bytes);
// Everything the client sent within timeout_ms (reading stops early once expect_length bytes came).
std::string loopback_receive(LoopbackHost *h, int timeout_ms, size_t expect_length = 1 << 20);
void loopback_close_peer(LoopbackHost *h);
void loopback_close(LoopbackHost *h);
