// The one-row status bar: help key, emulation, online time, what is connected, capture and a
// 12-hour clock.
#pragma once

struct ConnectionState;
struct DisplayFrame;
struct Settings;
struct Terminal;

struct StatusBarState {
    int minute_shown; // minute of the clock drawn last, -1 before the first drawing
    int capture_open; // set by the capture log while it writes
};

extern StatusBarState g_status_bar;

// Draws the bar into row 0 of frame when the frame has a status row: the emulation and charset label
// of the terminal, the call of connection, the colours of settings; remembers the minute drawn.
void status_bar_draw(DisplayFrame *frame, const Terminal *t, const ConnectionState *connection,
                     const Settings *settings);
// 1 when the local clock's minute differs from the one drawn last.
int status_bar_clock_stale();
// For dialogs waiting for keys: redraws the program's bar (g_frame, g_terminal, g_connection and
// g_settings) when its minute is stale; 1 when it did.
int status_bar_refresh_clock();
// The clock text "[h:mm Am]" for an hour 0-23 and a minute.
void status_bar_clock_text(int hour, int minute, char *out, int size);
