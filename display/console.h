// The console host on a Linux terminal: the alternate screen, raw key input, the window title,
// the choice of renderer and host kind, the display-mode switch, and putting everything back on
// every way out (normal exit, a second restore, SIGTERM, SIGHUP, SIGQUIT).
#pragma once

#include "base/screen_rows.h"

enum {
    HOST_LEGACY = 0,  // the kernel's virtual console: a font close to CP437
    HOST_VT = 1,      // a terminal emulator
    HOST_WINDOWS = 2, // a shell inside Windows Terminal
};

// Takes over the terminal on standard input and output; 0 when they are not a terminal.
int console_open(int renderer_setting);
// Puts the terminal back as it was; does nothing when nothing is open.
void console_restore();
int console_is_vt();
int console_host_kind();
// The size the frame is drawn for; the terminal itself is never resized (a larger one stays blank
// beyond the frame, a smaller one cuts it). A change clears the screen and redraws whole.
void set_console_size(int columns, int rows);
// Lays the frame out for an emulation and the status-bar setting (see screen_rows) on the rows the
// terminal has: applies size and colours, sets g_frame.rows and g_frame.status_rows, and returns the
// rows.
ScreenRows display_mode_switch(int emulation, int status_bar_setting);
// 1 when the terminal's present size calls for another layout than the frame has (after a resize).
int display_mode_changed(int emulation, int status_bar_setting);
// Sets the terminal's window title; control characters in the text are shown as spaces.
void console_set_title(const char *cp437_text);
// The terminal changed size: read its size again, clear it, and redraw whole at the next present.
void console_on_resize();
// The beep.
void console_beep();
// The terminal's size in pixels, when it tells (0 x 0 otherwise).
void console_pixel_size(int *width, int *height);

// Decisions from the environment (TERM, WT_SESSION), kept apart for tests.
int console_host_kind_for(const char *term, const char *wt_session);
int console_truecolour_for(int renderer_setting, const char *term);
// The title escape for a CP437 text into out (at least 4 * 255 + 8 bytes); returns its length.
int console_title_escape(const char *cp437_text, char *out, int size);
