// Time to compose and present one dialing directory screen over a full phonebook: the cursor
// moving one row (what most keys cost), a page down, and the whole screen drawn anew (opening the
// directory), with both renderers. Output goes to a counting sink.
#include <chrono>
#include <cstdio>

#include "app/compose.h"
#include "bench/bench_screen.h"
#include "phonebook/directory.h"
#include "phonebook/directory_view.h"
#include "base/text.h"
#include "ui/toolkit.h"

static void fill_phonebook(Phonebook *pb) {
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        PhonebookEntry *e = &pb->entries[i];
        text_format(e->name, sizeof e->name, "Board number %d with a longer name than shown", i + 1);
        text_format(e->address, sizeof e->address, "bbs%d.example.org %d", i + 1, 2300 + i % 100);
        text_copy(e->last_call, "03/04/26", sizeof e->last_call);
        e->emulation = i % 7 == 5 ? 5 : -1;
    }
}

// Microseconds per screen, moving the cursor by step rows before each one.
static double time_screens(const DirectoryContext *context, int step, bool invalidate, long *bytes) {
    const int kScreens = 20000;
    g_directory.cursor = 0;
    g_bench_bytes = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kScreens; i++) {
        directory_view_move(&g_directory,
                            g_directory.cursor + step >= g_directory.row_count ? -PHONEBOOK_SLOTS : step);
        directory_view_scroll(&g_directory, 18);
        if (invalidate) display_invalidate();
        directory_draw(context);
        present_frame();
    }
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    *bytes = g_bench_bytes / kScreens;
    return us / kScreens;
}

static void run(const char *name, int truecolour, const DirectoryContext *context) {
    bench_use_renderer(truecolour);
    long row_bytes, page_bytes, full_bytes;
    double row_us = time_screens(context, 1, false, &row_bytes);
    double page_us = time_screens(context, 18, false, &page_bytes);
    double full_us = time_screens(context, 1, true, &full_bytes);
    printf("%-9s directory compose + present: Down %.1f us (%ld bytes), PgDn %.1f us (%ld bytes), "
           "whole screen %.1f us (%ld bytes)\n",
           name, row_us, row_bytes, page_us, page_bytes, full_us, full_bytes);
}

int main() {
    bench_screen_start();
    g_ui_hooks.compose_terminal = compose_frame; // the status bar above the directory
    Phonebook *pb = phonebook_create();
    fill_phonebook(pb);
    int current = -1;
    DirectoryContext context{pb, &g_settings, "", &current};
    directory_view_rebuild(&g_directory, pb);
    run("24-bit", 1, &context);
    run("16-colour", 0, &context);
    phonebook_destroy(pb);
    term_release(&g_terminal);
    return 0;
}
