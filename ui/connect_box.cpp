// The box shown while a call is being placed, and its outcome.
#include <cstring>

#include "display/frame.h"
#include "display/present.h"
#include "base/text.h"
#include "ui/toolkit.h"

void ui_connect_progress(const char *host, int port, unsigned elapsed_seconds, const char *result) {
    char line[200];
    text_format(line, sizeof line, "connecting to: %.50s / port: %d", host, port);
    int width = (int)strlen(line);
    if (width < 38) width = 38;
    width += 4;
    int result_width = (int)strlen(result) + 30;
    if (width < result_width) width = result_width;
    if (width > 80) width = 80;
    int column = (80 - width) / 2;
    int row = ui_centre_row(4);

    redraw_background();
    ui_box(column, row, width, 4, 3, 0, 0, "");
    ui_text(column + 2, row + 1, 15, 0, line);
    ui_text(column + 2, row + 2, 15, 0, "elapsed:");
    char seconds[16];
    text_format(seconds, sizeof seconds, "%u", elapsed_seconds);
    ui_text(column + 11, row + 2, 11, 0, seconds);
    int after = ui_text(column + 17, row + 2, 15, 0, "result:");
    int start = after + 1;
    ui_field(start, row + 2, 12, 0, result, column + width - start - 1);
    g_frame.cursor_visible = 0;
    present_frame();
}

void ui_connect_result(const char *host, int port, unsigned elapsed_seconds, const char *result) {
    ui_connect_progress(host, port, elapsed_seconds, result);
    ui_pause(ui_message_delay_ms(ui_count_lines(result)));
    if (g_ui_hooks.compose_terminal) g_ui_hooks.compose_terminal();
    present_frame();
}
