#include "app/status_bar.h"

#include <cstring>

#include "app/connection.h"
#include "display/frame.h"
#include "base/clock.h"
#include "settings/settings.h"
#include "term/charset.h"
#include "base/emulation.h"
#include "term/terminal.h"
#include "base/text.h"

StatusBarState g_status_bar = {-1, 0};

// Writes CP437 text into the status row; nothing beyond column 79. Returns the column after it.
static int put_text(DisplayCell *row, int column, const char *text, int fg, int bg) {
    for (; *text; text++, column++)
        if (column >= 0 && column < FRAME_COLUMNS)
            row[column] =
                DisplayCell{cp437_to_unicode[(uint8_t)*text], (uint16_t)fg, (uint16_t)bg, 0, {0, 0, 0}};
    return column;
}

void status_bar_clock_text(int hour, int minute, char *out, int size) {
    int dial = hour % 12 == 0 ? 12 : hour % 12;
    text_format(out, size, "[%d:%02d %s]", dial, minute, hour < 12 ? "Am" : "Pm");
}

void status_bar_draw(DisplayFrame *frame, const Terminal *t, const ConnectionState *connection,
                     const Settings *settings) {
    LocalTime now;
    clock_local(&now);
    // The minute is kept with the bar off too, so that the screen is still redrawn once a minute.
    g_status_bar.minute_shown = now.minute;
    if (!frame->status_rows) return;
    DisplayCell *row = frame->cells[0];
    int bg = ((settings->status_bg % 8) + 8) % 8;
    int help = settings->status_help_colour & 15, text = settings->status_text_colour & 15;
    int clock_colour = settings->status_clock_colour & 15;
    for (int c = 0; c < FRAME_COLUMNS; c++)
        row[c] = DisplayCell{' ', (uint16_t)text, (uint16_t)bg, 0, {0, 0, 0}};

    int column = put_text(row, 0, "Alt-Z - Help!", help, bg);
    int emulation = t->emulation >= 0 && t->emulation < EMU_COUNT ? t->emulation : 0;
    const char *label = term_charset_label(t);
    char name[32];
    if (*label && emulation_traits(emulation).text_encoding == TEXT_UNDECIDED)
        text_format(name, sizeof name, "%s/%s", emulation_short_names[emulation], label);
    else
        text_format(name, sizeof name, "%s", emulation_short_names[emulation]);
    column = put_text(row, column + 3, name, text, bg);

    char online[32];
    if (connection->connected) {
        unsigned seconds = (clock_ms() - connection->connect_ms) / 1000;
        text_format(online, sizeof online, "Online %02u:%02u", seconds / 3600, seconds / 60 % 60);
    } else {
        text_copy(online, "Offline", sizeof online);
    }
    int end = put_text(row, column + 3, online, text, bg);

    int room = (g_status_bar.capture_open ? 59 : 64) - end;
    if (room > 0) {
        char what[300];
        if (!connection->connected)
            text_copy(what, "Pelorin NG 1.0", sizeof what);
        else if (connection->entry_name[0])
            text_copy(what, connection->entry_name, sizeof what);
        else if (connection->port == 23)
            text_copy(what, connection->host, sizeof what);
        else
            text_format(what, sizeof what, "%s:%d", connection->host, connection->port);
        if ((int)strlen(what) > room) what[room] = 0;
        put_text(row, end + 3, what, text, bg);
    }

    char clock_text[32];
    status_bar_clock_text(now.hour, now.minute, clock_text, sizeof clock_text);
    int clock_start = FRAME_COLUMNS - (int)strlen(clock_text);
    put_text(row, clock_start, clock_text, clock_colour, bg);
    if (g_status_bar.capture_open) put_text(row, clock_start - 5, "LOG", help, bg);
}

int status_bar_clock_stale() {
    LocalTime now;
    clock_local(&now);
    return now.minute != g_status_bar.minute_shown;
}

int status_bar_refresh_clock() {
    if (!status_bar_clock_stale()) return 0;
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
    return g_frame.status_rows;
}
