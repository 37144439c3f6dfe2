#include "tests/net/telnet_fake_peer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

FakePeer g_peer;

static int peer_receive(uint8_t *buffer, int max) {
    if (g_peer.incoming.empty() || g_peer.incoming.front().due > g_peer.now)
        return g_peer.incoming.empty() && g_peer.gone_when_empty ? -1 : 0;
    std::string &front = g_peer.incoming.front().bytes;
    int n = (int)front.size() < max ? (int)front.size() : max;
    memcpy(buffer, front.data(), (size_t)n);
    front.erase(0, (size_t)n);
    if (front.empty()) g_peer.incoming.pop_front();
    return n;
}

static int peer_send(const uint8_t *bytes, int length) {
    g_peer.send_calls++;
    int n = length < g_peer.send_limit ? length : g_peer.send_limit;
    g_peer.sent.append((const char *)bytes, (size_t)n);
    return n;
}

static int peer_wait(int timeout_ms, uint32_t *key) {
    if (timeout_ms > g_peer.longest_wait) g_peer.longest_wait = timeout_ms;
    *key = g_peer.key;
    g_peer.key = 0;
    g_peer.now += *key ? 1 : (uint32_t)timeout_ms;
    return *key ? 1 : 0;
}

void peer_start(int emulation, int initiate) {
    g_peer = FakePeer();
    g_telnet_hooks = {peer_receive, peer_send, peer_wait, [] { return g_peer.now; }};
    telnet_reset(emulation, 80, 24, initiate);
}

void peer_deliver(const std::string &bytes, uint32_t after_ms) {
    g_peer.incoming.push_back({g_peer.now + after_ms, bytes});
}

std::string peer_read_all() {
    std::string data;
    uint8_t buffer[8192];
    while (g_telnet.pushback_count > 0 ||
           (!g_peer.incoming.empty() && g_peer.incoming.front().due <= g_peer.now)) {
        int n = telnet_read(buffer, sizeof buffer);
        if (n < 0) break;
        data.append((const char *)buffer, (size_t)n);
    }
    return data;
}

std::string take_sent() {
    std::string s = g_peer.sent;
    g_peer.sent.clear();
    return s;
}

std::string bytes_of(const char *tokens) {
    static const struct {
        const char *name;
        uint8_t value;
    } kNames[] = {
        {"IAC", 255},  {"DONT", 254}, {"DO", 253},  {"WONT", 252}, {"WILL", 251}, {"SB", 250},
        {"SE", 240},   {"BRK", 243},  {"NOP", 241}, {"NUL", 0},    {"CR", 13},    {"LF", 10},
        {"BINARY", 0}, {"ECHO", 1},   {"SGA", 3},   {"TTYPE", 24}, {"NAWS", 31},
    };
    std::string out;
    for (const char *p = tokens; *p;) {
        if (*p == ' ') {
            p++;
        } else if (*p == '\'') {
            const char *end = strchr(p + 1, '\'');
            out.append(p + 1, (size_t)(end - p - 1));
            p = end + 1;
        } else {
            size_t length = strcspn(p, " ");
            std::string word(p, length);
            p += length;
            int value = -1;
            for (const auto &n : kNames)
                if (word == n.name) value = n.value;
            if (value < 0) value = isdigit((unsigned char)word[0]) ? atoi(word.c_str()) : '?';
            out.push_back((char)value);
        }
    }
    return out;
}
