// Host bytes through the telnet layer in chunks, with the data echoed back as keys and a little of
// it pushed back and read again by the timed byte read.
#include <cstddef>
#include <cstdint>

#include "net/telnet.h"

static const uint8_t *g_input;
static size_t g_left;
static size_t g_chunk;

static int fuzz_receive(uint8_t *buffer, int max) {
    if (g_left == 0) return -1;
    size_t n = g_left < g_chunk ? g_left : g_chunk;
    if (n > (size_t)max) n = (size_t)max;
    for (size_t i = 0; i < n; i++) buffer[i] = g_input[i];
    g_input += n;
    g_left -= n;
    return (int)n;
}
static int fuzz_send(const uint8_t *, int length) {
    return length;
}
static int fuzz_wait(int, uint32_t *key) {
    *key = 0;
    return 0;
}
static uint32_t fuzz_now() {
    static uint32_t now;
    return now += 10;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    g_telnet_hooks = {fuzz_receive, fuzz_send, fuzz_wait, fuzz_now};
    telnet_reset(data[0] % 7, 80, 24, data[0] & 8);
    g_input = data + 1;
    g_left = size - 1;
    g_chunk = 1 + (size_t)(data[0] >> 4) * 700;
    uint8_t buffer[5000];
    int n;
    while ((n = telnet_read(buffer, sizeof buffer)) >= 0) {
        telnet_send_keys(buffer, n);
        if (n > 2) {
            telnet_push_back(buffer, 2);
            telnet_read_byte(5);
        }
    }
    return 0;
}
