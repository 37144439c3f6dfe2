// A scripted host for the telnet layer: bytes it delivers (each chunk once due), bytes the client
// sent, a fake clock that moves only when the client waits, and a key the wait delivers.
#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "net/telnet.h"

struct FakePeer {
    struct Chunk {
        uint32_t due; // readable once the clock reaches it
        std::string bytes;
    };
    std::deque<Chunk> incoming;
    bool gone_when_empty = false;
    std::string sent; // every byte the client sent
    int send_calls = 0, longest_wait = 0;
    int send_limit = 1 << 30;      // most bytes one send accepts; 0 makes sends fail
    uint32_t now = 10000, key = 0; // key: delivered by the first wait
};

extern FakePeer g_peer;

// Fresh peer, hooks pointed at it, then telnet_reset for 80x24 (its offer, if any, is in the sent bytes).
void peer_start(int emulation, int initiate);
void peer_deliver(const std::string &bytes, uint32_t after_ms = 0);
// Reads until the peer has nothing more to deliver now; the data bytes received.
std::string peer_read_all();
std::string take_sent();

// "IAC DO 31 'ab' CR NUL" -> bytes: telnet commands and options by name, decimal numbers, 'text'.
std::string bytes_of(const char *tokens);
