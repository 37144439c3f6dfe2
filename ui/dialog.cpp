// Panels, the yes/no and message boxes, and the key wait every dialog uses.
#include <cstring>

#include "display/frame.h"
#include "display/present.h"
#include "base/clock.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "ui/toolkit.h"

UiHooks g_ui_hooks;
int g_ui_field_dark;

enum { PANEL_LINE_MAX = 199 };

void redraw_background() {
    if (g_ui_hooks.redraw_background) g_ui_hooks.redraw_background();
}

int ui_count_lines(const char *text) {
    int lines = 1;
    for (; *text; text++) lines += *text == '\n';
    return lines;
}

int ui_centre_row(int height) {
    int s = g_frame.status_rows;
    int row = (g_frame.rows - height - s) / 2 + s;
    return row > 0 ? row : 0;
}

UiRect ui_panel(const char *title, const char *text, int extra_rows) {
    redraw_background();
    int width = (int)strlen(title) + 6;
    for (int k = 0, i = 0; text[i]; i++) {
        if (text[i] == '\n') {
            k = 0;
            continue;
        }
        if (k + 7 > width) width = k + 7;
        k++;
    }
    if (width < 31) width = 30;
    if (width > 76) width = 76;
    int lines = ui_count_lines(text);
    int height = extra_rows + lines + 4;
    int column = (80 - width) / 2;
    int row = ui_centre_row(height);
    ui_box(column, row, width, height, 11, 1, 1, title);
    ui_shadow(column, row, width, height);

    // One line at a time, cut to the inside of the box. Whatever a line holds beyond 199
    // characters could never be shown and is skipped, so it cannot push later lines onto the border.
    const char *p = text;
    for (int index = 0; index < lines; index++) {
        char line[PANEL_LINE_MAX + 1];
        int n = 0;
        while (*p && *p != '\n') {
            if (n < PANEL_LINE_MAX) line[n++] = *p;
            p++;
        }
        if (*p == '\n') p++;
        int keep = width - 4;
        line[n < keep ? n : keep] = 0;
        ui_text(column + 2, row + 2 + index, 15, 1, line);
    }
    return UiRect{column, row, width, height};
}

int ui_yes_no(const char *title, const char *question) {
    UiRect box = ui_panel(title, question, 1);
    ui_markup(box.column + (box.width - 13) / 2, box.row + box.height - 2, 7, 14, 1, "(~Y~es / ~N~o)");
    g_frame.cursor_visible = 0;
    present_frame();
    for (;;) {
        uint32_t key = ui_wait_key();
        if (key == 'Y' || key == 'y' || key == KEY_ENTER) return 1;
        if (key == 'N' || key == 'n' || key == KEY_ESC) return 0;
    }
}

int ui_message_delay_ms(int lines) {
    if (lines < 3) return 3000;
    int delay = 700 * lines + 1600;
    return delay < 7000 ? delay : 7000;
}

void ui_message(const char *title, const char *text) {
    ui_panel(title, text, 0);
    g_frame.cursor_visible = 0;
    present_frame();
    ui_pause(ui_message_delay_ms(ui_count_lines(text)));
    redraw_background();
    present_frame();
}

uint32_t ui_wait_key() {
    for (;;) {
        uint32_t key;
        if (event_wait_for_key(500, &key) == EVENT_KEY) {
            if (key != KEY_RESIZE) return key;
            present_frame(); // the resize cleared the screen: show the dialog again, whole
            continue;
        }
        if (g_ui_hooks.refresh_clock && g_ui_hooks.refresh_clock()) present_frame();
    }
}

void ui_pause(int ms) {
    uint32_t start = clock_ms();
    for (;;) {
        int remaining = ms - (int)(clock_ms() - start);
        if (remaining <= 0) return;
        uint32_t key;
        if (event_wait_for_key(remaining < 250 ? remaining : 250, &key) != EVENT_KEY) continue;
        if (key != KEY_RESIZE) return;
        present_frame();
    }
}
