// Bytes the presenter writes per frame (idle, full-screen change, a typical scroll) and the time
// to compose and present one frame, with both renderers. Output goes to a counting sink.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "app/compose.h"
#include "bench/bench_screen.h"

static long present_bytes() {
    g_bench_bytes = 0;
    compose_and_present();
    return g_bench_bytes;
}

// Fills the screen with coloured text, as an ANSI art screen would.
static void fill_screen(Terminal *t, uint32_t salt) {
    for (int r = 0; r < t->rows; r++) {
        Cell *row = term_row(t, r);
        for (int c = 0; c < t->columns; c++)
            row[c] = Cell{(uint32_t)('A' + (r * 7 + c + salt) % 26), (uint16_t)((c / 4 + salt) % 16),
                          (uint16_t)((r + salt) % 8), 0};
    }
    t->screen_changed = 1;
}

// One new line of text at the bottom, the rest moving up one row.
static void scroll_one_line(Terminal *t, uint32_t salt) {
    term_scroll_up(t, 0, t->rows - 1, 1);
    Cell *row = term_row(t, t->rows - 1);
    for (int c = 0; c < 60; c++) row[c] = Cell{(uint32_t)('a' + (c + salt) % 26), 7, 0, 0};
}

static void run(const char *name, int truecolour) {
    bench_use_renderer(truecolour);
    fill_screen(&g_terminal, 0);
    present_bytes();
    long idle = present_bytes();
    fill_screen(&g_terminal, 5);
    long full = present_bytes();
    long scroll_total = 0;
    const int kScrolls = 100;
    for (int i = 0; i < kScrolls; i++) {
        scroll_one_line(&g_terminal, (uint32_t)i);
        scroll_total += present_bytes();
    }

    // Microseconds per frame of change(i) followed by compose and present.
    auto time_frames = [](void (*change)(uint32_t)) {
        const int kFrames = 20000;
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFrames; i++) {
            change((uint32_t)i);
            compose_and_present();
        }
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() /
               kFrames;
    };
    double scroll_us = time_frames([](uint32_t i) { scroll_one_line(&g_terminal, i); });
    double full_us = time_frames([](uint32_t i) { fill_screen(&g_terminal, i); });
    double idle_us = time_frames([](uint32_t) {});

    printf("%-9s bytes/frame: idle %ld, full-screen change %ld, scroll by one line %ld\n", name, idle, full,
           scroll_total / kScrolls);
    printf("%-9s compose + present: idle %.1f us, scroll %.1f us, full-screen change %.1f us\n", name,
           idle_us, scroll_us, full_us);
}

int main() {
    bench_screen_start();
    run("24-bit", 1);
    run("16-colour", 0);
    term_release(&g_terminal);
    return 0;
}
