// Test helpers: keys typed from a script through the event wait's fake, a fake clock that moves by
// each wait's time-out, the presenter's output captured, and frame rows read back as text.
#pragma once
#include <deque>
#include <string>

#include "display/frame.h"
#include "display/present.h"
#include "base/clock.h"
#include "input/event_wait.h"
#include "term/charset.h"
#include "base/utf8.h"

struct KeyScript {
    std::deque<uint32_t> keys;
    int idle_waits; // time-outs since the last key
    int presents;   // frames written
    bool ran_dry;   // a wait went on long after the script ended
};

inline KeyScript g_script;

inline int scripted_wait(int timeout_ms, uint32_t *key) {
    if (!g_script.keys.empty()) {
        *key = g_script.keys.front();
        g_script.keys.pop_front();
        g_script.idle_waits = 0;
        return EVENT_KEY;
    }
    clock_fake_advance((uint32_t)timeout_ms);
    // Whatever waits for a key that the script never gives gets Esc, so a test cannot hang.
    if (++g_script.idle_waits > 10000) {
        g_script.ran_dry = true;
        *key = 27;
        return EVENT_KEY;
    }
    return EVENT_TIMEOUT;
}

inline void count_present(const uint8_t *, int) {
    g_script.presents++;
}

inline void script_start(std::deque<uint32_t> keys) {
    g_script = KeyScript{std::move(keys), 0, 0, false};
    event_wait_set_fake(scripted_wait);
    console_set_writer(count_present);
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
    for (int c = first; c < first + count && c < FRAME_COLUMNS; c++) {
        uint8_t utf8[4];
        uint32_t g = g_frame.cells[row][c].glyph;
        if (g) out.append((const char *)utf8, (size_t)utf8_encode(g, utf8));
    }
    return out;
}

// Every cell of the frame a space in grey on black.
inline void frame_blank() {
    for (auto &row : g_frame.cells)
        for (auto &cell : row) cell = DisplayCell{' ', 7, 0, 0, {0, 0, 0}};
}
