// A scripted host for the Zmodem fuzz targets: the input in chunks through the telnet layer, a
// clock that moves only when the link waits, and the connection gone once the input is used up.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/emulation.h"
#include "net/telnet.h"
#include "zmodem/framing.h"

inline const uint8_t *g_zmodem_input;
inline size_t g_zmodem_left;
inline size_t g_zmodem_chunk;
inline uint32_t g_zmodem_now;

inline void zmodem_source_start(const uint8_t *data, size_t size, size_t chunk) {
    g_zmodem_input = data;
    g_zmodem_left = size;
    g_zmodem_chunk = chunk ? chunk : 1;
    g_telnet_hooks.receive = [](uint8_t *buffer, int max) {
        if (g_zmodem_left == 0) return -1;
        size_t n = g_zmodem_left < g_zmodem_chunk ? g_zmodem_left : g_zmodem_chunk;
        if (n > (size_t)max) n = (size_t)max;
        for (size_t i = 0; i < n; i++) buffer[i] = g_zmodem_input[i];
        g_zmodem_input += n;
        g_zmodem_left -= n;
        return (int)n;
    };
    g_telnet_hooks.send = [](const uint8_t *, int length) { return length; };
    g_telnet_hooks.wait = [](int timeout_ms, uint32_t *key) {
        *key = 0;
        g_zmodem_now += (uint32_t)timeout_ms;
        return 0;
    };
    g_telnet_hooks.now_ms = [] { return g_zmodem_now; };
    telnet_reset(EMU_ANSI, 80, 24, 0);
    zmodem_link_start();
}
