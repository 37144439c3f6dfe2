#include "tests/net/telnet_fake_peer.h"

#include <iomanip>
#include <map>
#include <sstream>
#include <utility>

FakePeer g_peer;

static int peer_receive(uint8_t *buffer, int max) {
    if (g_peer.incoming.empty()) return g_peer.gone_when_empty ? -1 : 0;
    if (g_peer.incoming.front().due > g_peer.now) return 0;
    std::string &front = g_peer.incoming.front().bytes;
    int n = (int)front.size() < max ? (int)front.size() : max;
    front.copy((char *)buffer, (size_t)n);
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
    *key = std::exchange(g_peer.key, 0);
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
    return std::exchange(g_peer.sent, std::string());
}

std::string bytes_of(const char *tokens) {
    static const std::map<std::string, int> kNames = {
        {"IAC", 255},  {"DONT", 254}, {"DO", 253},  {"WONT", 252}, {"WILL", 251}, {"SB", 250},
        {"SE", 240},   {"BRK", 243},  {"NOP", 241}, {"NUL", 0},    {"CR", 13},    {"LF", 10},
        {"BINARY", 0}, {"ECHO", 1},   {"SGA", 3},   {"TTYPE", 24}, {"NAWS", 31},
    };
    std::istringstream in(tokens);
    std::string out, word;
    for (in >> std::ws; !in.eof(); in >> std::ws) {
        bool text = in.peek() == '\'';
        in >> std::quoted(word, '\'');
        if (text)
            out += word;
        else // a misspelt name makes stoi throw, which fails the test
            out += (char)(kNames.count(word) ? kNames.at(word) : std::stoi(word));
    }
    return out;
}
