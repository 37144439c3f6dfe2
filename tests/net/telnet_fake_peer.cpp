#include "tests/net/telnet_fake_peer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

FakePeer g_peer;

static int peer_receive(uint8_t *buffer, int max) {
    g_peer.receive_calls++;
    if (max > g_peer.largest_receive) g_peer.largest_receive = max;
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
    g_peer.wait_slices.push_back(timeout_ms);
    *key = 0;
    if (!g_peer.keys.empty()) {
        *key = g_peer.keys.front();
        g_peer.keys.pop_front();
        g_peer.now += 1;
        return 1;
    }
    g_peer.now += (uint32_t)timeout_ms;
    return 0;
}

static uint32_t peer_now() {
    return g_peer.now;
}

void peer_start(int emulation, int initiate, int width, int height) {
    g_peer = FakePeer();
    g_telnet_hooks = {peer_receive, peer_send, peer_wait, peer_now};
    telnet_reset(emulation, width, height, initiate);
}

void peer_deliver(const std::string &bytes, uint32_t after_ms) {
    g_peer.incoming.push_back({g_peer.now + after_ms, bytes});
}

std::string peer_read_all(int max) {
    std::string data;
    uint8_t buffer[8192];
    for (int guard = 0; guard < 100000; guard++) {
        bool more = !g_peer.incoming.empty() && g_peer.incoming.front().due <= g_peer.now;
        if (!more && g_telnet.pushback_count == 0) break;
        int n = telnet_read(buffer, max);
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

struct TokenName {
    const char *name;
    uint8_t value;
};
static const TokenName kTokens[] = {
    {"IAC", 255}, {"DONT", 254}, {"DO", 253},  {"WONT", 252}, {"WILL", 251}, {"SB", 250},
    {"SE", 240},  {"BRK", 243},  {"NOP", 241}, {"NUL", 0},    {"CR", 13},    {"LF", 10},
    {"ESC", 27},  {"BINARY", 0}, {"ECHO", 1},  {"SGA", 3},    {"TTYPE", 24}, {"NAWS", 31},
};

std::string bytes_of(const char *tokens) {
    std::string out;
    const char *p = tokens;
    while (*p) {
        while (*p == ' ') p++;
        if (!*p) break;
        if (*p == '\'') {
            const char *end = strchr(p + 1, '\'');
            out.append(p + 1, (size_t)(end - p - 1));
            p = end + 1;
            continue;
        }
        const char *end = p;
        while (*end && *end != ' ') end++;
        std::string word(p, (size_t)(end - p));
        p = end;
        if (isdigit((unsigned char)word[0])) {
            out.push_back((char)atoi(word.c_str()));
            continue;
        }
        bool found = false;
        for (const TokenName &t : kTokens) {
            if (word == t.name) {
                out.push_back((char)t.value);
                found = true;
                break;
            }
        }
        if (!found) out += "<unknown token " + word + ">";
    }
    return out;
}

std::string tokens_of(const std::string &bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        if (c == 255)
            out += "IAC";
        else if (c >= 32 && c < 127)
            out += std::string("'") + (char)c + "'";
        else
            out += std::to_string(c);
    }
    return out;
}
