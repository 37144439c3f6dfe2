#include "app/transfer_window.h"

#include <cstring>

#include "base/clock.h"
#include "base/text.h"
#include "display/frame.h"
#include "display/present.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "ui/toolkit.h"

TransferWindow g_transfer_window = {1, 0, ""};

enum { TEXT_COLUMN = 13, TEXT_WIDTH = 54 };
enum : char { CP437_FULL_BLOCK = '\xDB', CP437_LIGHT_SHADE = '\xB0' };

int transfer_bar_cells(int32_t position, int32_t size) {
    if (size <= 0 || position <= 0) return 0;
    const double bar = TRANSFER_BAR_CELLS;
    double cells = (double)position * bar / size;
    return cells >= bar ? TRANSFER_BAR_CELLS : (int)cells;
}

long transfer_rate(const TransferStatus *status, uint32_t now_ms) {
    uint32_t seconds = (now_ms - status->start_ms) / 1000u;
    if (seconds == 0) return 0;
    return (long)(status->position - status->start_position) / (long)seconds;
}

void transfer_window_reset() {
    g_transfer_window.forced = 1;
    g_transfer_window.drawn_text[0] = 0;
}

static void draw_bar(int row, const TransferStatus *s) {
    if (row >= g_frame.rows) return;
    char full[TEXT_WIDTH + 1], shade[TEXT_WIDTH + 1];
    int n = transfer_bar_cells(s->position, s->size);
    for (int i = 0; i < TEXT_WIDTH; i++) full[i] = CP437_FULL_BLOCK, shade[i] = CP437_LIGHT_SHADE;
    full[n] = 0;
    shade[TEXT_WIDTH - n] = 0;
    int column = ui_text(TEXT_COLUMN, row, 14, 1, full);
    ui_text(column, row, 8, 1, shade);
}

void transfer_window_draw(const TransferStatus *s) {
    TransferWindow &w = g_transfer_window;
    uint32_t now = clock_ms();
    if (!w.forced && now - w.drawn_ms < (uint32_t)TRANSFER_REDRAW_MS && strcmp(w.drawn_text, s->text) == 0)
        return;
    w.forced = 0;
    w.drawn_ms = now;
    text_copy(w.drawn_text, s->text, sizeof w.drawn_text);

    int top = ui_centre_row(TRANSFER_WINDOW_HEIGHT);
    const int left = TRANSFER_WINDOW_COLUMN, width = TRANSFER_WINDOW_WIDTH, height = TRANSFER_WINDOW_HEIGHT;
    ui_box(left, top, width, height, 11, 1, 1, s->upload ? "Zmodem Upload" : "Zmodem Download");
    ui_shadow(left, top, width, height);
    char line[TEXT_WIDTH + 1];
    text_format(line, sizeof line, "File     : %s", s->file_name[0] ? s->file_name : "-");
    ui_field(TEXT_COLUMN, top + 2, 15, 1, line, TEXT_WIDTH);
    if (s->size < 0)
        text_format(line, sizeof line, "Size     : unknown");
    else
        text_format(line, sizeof line, "Size     : %ld bytes", (long)s->size);
    ui_field(TEXT_COLUMN, top + 3, 15, 1, line, TEXT_WIDTH);
    text_format(line, sizeof line, "Transfer : %ld bytes   %ld cps", (long)s->position,
                transfer_rate(s, now));
    ui_field(TEXT_COLUMN, top + 4, 15, 1, line, TEXT_WIDTH);
    text_format(line, sizeof line, "Errors   : %d     Files: %d", (int)s->errors, (int)s->files);
    ui_field(TEXT_COLUMN, top + 5, 15, 1, line, TEXT_WIDTH);
    draw_bar(top + 7, s);
    ui_field(TEXT_COLUMN, top + 8, 14, 1, s->text, TEXT_WIDTH);
    ui_markup(53, top + 10, 15, 14, 1, " ~Esc~ abort ");
    g_frame.cursor_visible = 0;
    present_frame();
}

int transfer_abort_check() {
    uint32_t key;
    if (event_wait_for_key(0, &key) != EVENT_KEY) return 0;
    if (key == KEY_RESIZE) { // the screen was cleared: show the terminal and the window again
        redraw_background();
        transfer_window_reset();
        return 0;
    }
    return key == KEY_ESC ? transfer_confirm_abort() : 0;
}

int transfer_confirm_abort() {
    int yes = ui_yes_no("Zmodem", "Abort the file transfer?");
    redraw_background(); // the window comes back over the terminal, not over the question
    transfer_window_reset();
    return yes;
}

void transfer_window_install() {
    g_transfer_hooks.draw = transfer_window_draw;
    g_transfer_hooks.abort_requested = transfer_abort_check;
    g_transfer_hooks.confirm_abort = transfer_confirm_abort;
}
