// Test helpers: keys typed from a script through the event wait's fake, a fake clock that moves by
// each wait's time-out, the presenter's frames counted, and frame rows read back as text.
#pragma once
#include <deque>
#include <string>

#include "base/clock.h"
#include "base/utf8.h"
#include "display/present.h"
#include "input/event_wait.h"

inline struct KeyScript {
    std::deque<uint32_t> keys;
    int idle_waits, presents; // time-outs since the last key, frames written
    bool ran_dry;             // a wait went on long after the script ended
} g_script;

inline int scripted_wait(int timeout_ms, uint32_t *key) {
    if (g_script.keys.empty()) {
        clock_fake_advance((uint32_t)timeout_ms);
        // Whatever waits for a key that the script never gives gets Esc, so a test cannot hang.
        if (++g_script.idle_waits <= 10000) return EVENT_TIMEOUT;
        g_script.ran_dry = true;
        g_script.keys.push_back(27);
    }
    *key = g_script.keys.front();
    g_script.keys.pop_front();
    g_script.idle_waits = 0;
    return EVENT_KEY;
}

inline void script_start(std::deque<uint32_t> keys) {
    g_script = KeyScript{std::move(keys), 0, 0, false};
    event_wait_set_fake(scripted_wait);
    console_set_writer([](const uint8_t *, int) { g_script.presents++; });
    clock_fake_enable(100000, nullptr);
}

inline void script_stop() {
    event_wait_set_fake(nullptr);
    console_set_writer(nullptr);
    clock_fake_disable();
}

// The glyphs of one frame row from column first, count cells long, as UTF-8 (right halves skipped).
inline std::string frame_text(int row, int first = 0, int count = FRAME_COLUMNS) {
    std::string out;
    uint8_t u8[4];
    for (int c = first; c < first + count && c < FRAME_COLUMNS; c++)
        if (uint32_t g = g_frame.cells[row][c].glyph) out.append((char *)u8, (size_t)utf8_encode(g, u8));
    return out;
}

inline void frame_blank() { // every cell a space in grey on black
    for (auto &row : g_frame.cells)
        for (auto &cell : row) cell = DisplayCell{' ', 7, 0, 0, {0, 0, 0}};
}
