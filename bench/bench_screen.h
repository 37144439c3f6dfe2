// Set-up shared by the screen benchmarks: an offline ANSI terminal of 24 rows under the status bar,
// the presenter writing into a byte counter, and the choice of renderer.
#pragma once
#include <cstdint>

#include "app/connection.h"
#include "display/console.h"
#include "display/present.h"
#include "settings/settings.h"
#include "term/terminal.h"

inline long g_bench_bytes; // bytes the presenter wrote

inline void bench_count_bytes(const uint8_t *, int length) {
    g_bench_bytes += length;
}

inline void bench_screen_start() {
    term_build_tables();
    settings_set_defaults(&g_settings);
    g_connection.emulation = EMU_ANSI;
    display_mode_switch(EMU_ANSI, 1);
    term_create(&g_terminal, EMU_ANSI, 24, 0);
    console_set_writer(bench_count_bytes);
    g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    present_set_width_locale("C.UTF-8"); // glyph widths checked as on a UTF-8 terminal
}

// 24-bit escapes (1) or the 16-colour renderer (0), starting from a blank screen.
inline void bench_use_renderer(int truecolour) {
    g_presenter.truecolour = truecolour;
    g_presenter.colours_ready = 0;
    set_console_colours(0);
    display_invalidate();
}
