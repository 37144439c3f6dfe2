// A scripted host for the fuzz targets that read through the telnet layer: the input in chunks, a
// clock that moves only when a reader waits, and the connection gone once the input is used up.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/emulation.h"
#include "net/telnet.h"

inline const uint8_t *g_host_input;
inline size_t g_host_left;
inline size_t g_host_chunk;
inline uint32_t g_host_now;

inline void host_source_start(const uint8_t *data, size_t size, size_t chunk) {
    g_host_input = data;
    g_host_left = size;
    g_host_chunk = chunk ? chunk : 1;
    g_telnet_hooks.receive = [](uint8_t *buffer, int max) {
        if (g_host_left == 0) return -1;
        size_t n = g_host_left < g_host_chunk ? g_host_left : g_host_chunk;
        if (n > (size_t)max) n = (size_t)max;
        for (size_t i = 0; i < n; i++) buffer[i] = g_host_input[i];
        g_host_input += n;
        g_host_left -= n;
        return (int)n;
    };
    g_telnet_hooks.send = [](const uint8_t *, int length) { return length; };
    g_telnet_hooks.wait = [](int timeout_ms, uint32_t *key) {
        *key = 0;
        g_host_now += (uint32_t)timeout_ms;
        return 0;
    };
    g_telnet_hooks.now_ms = [] { return g_host_now; };
}
