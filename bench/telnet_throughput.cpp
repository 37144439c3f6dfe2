// Prints how fast the telnet layer turns host bytes into data (plain text, and text with doubled
// IACs, CR NULs and negotiations mixed in) and how fast it queues outgoing data.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "net/telnet.h"
#include "base/emulation.h"

static const std::vector<uint8_t> *g_input;
static size_t g_at;

static int bench_receive(uint8_t *buffer, int max) {
    size_t left = g_input->size() - g_at;
    if (left == 0) return -1;
    size_t n = left < (size_t)max ? left : (size_t)max;
    memcpy(buffer, g_input->data() + g_at, n);
    g_at += n;
    return (int)n;
}
static int bench_send(const uint8_t *, int length) {
    return length;
}

static double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static void run(const char *name, const std::vector<uint8_t> &input) {
    g_input = &input;
    g_at = 0;
    telnet_reset(EMU_ANSI, 80, 24, 0);
    uint8_t buffer[4096];
    size_t data = 0;
    auto start = std::chrono::steady_clock::now();
    int n;
    while ((n = telnet_read(buffer, sizeof buffer)) >= 0) data += (size_t)n;
    double s = seconds_since(start);
    printf("read %-34s %6.1f MB in %.3f s: %7.1f MB/s (%zu data bytes)\n", name, input.size() / 1e6, s,
           input.size() / 1e6 / s, data);
}

int main() {
    const size_t size = 10 * 1000 * 1000;
    g_telnet_hooks.receive = bench_receive;
    g_telnet_hooks.send = bench_send;

    std::vector<uint8_t> plain(size);
    for (size_t i = 0; i < size; i++) plain[i] = (uint8_t)(i % 80 == 79 ? '\n' : 'A' + i % 26);
    run("plain text", plain);

    std::vector<uint8_t> mixed;
    static const uint8_t kInserts[][6] = {
        {255, 255},     // a data 255
        {13, 0},        // CR NUL
        {255, 251, 1},  // WILL ECHO
        {255, 253, 31}, // DO NAWS
    };
    static const int kInsertLength[] = {2, 2, 3, 3};
    for (size_t i = 0; mixed.size() < size; i++) {
        mixed.push_back((uint8_t)('a' + i % 26));
        if (i % 16 == 0) {
            int k = (int)(i / 16 % 4);
            mixed.insert(mixed.end(), kInserts[k], kInserts[k] + kInsertLength[k]);
        }
    }
    run("text with IAC, CR NUL, negotiations", mixed);

    telnet_reset(EMU_ANSI, 80, 24, 1);
    auto start = std::chrono::steady_clock::now();
    for (size_t at = 0; at + 1024 <= mixed.size(); at += 1024) telnet_queue_data(mixed.data() + at, 1024);
    telnet_flush();
    double s = seconds_since(start);
    printf("queue data (IAC doubled)                 %6.1f MB in %.3f s: %7.1f MB/s\n", mixed.size() / 1e6, s,
           mixed.size() / 1e6 / s);
    return 0;
}
