// What the graphics window needs of the window system: one top-level window showing a 32-bit
// bitmap scaled by the window's rules, full screen on one monitor and back, key events and the close
// request turned into key codes, and a monospaced text font for the overlay. Built on SDL2 when the
// program is built with it; otherwise nothing is available. Only display/window.cpp calls these.
#pragma once
#include <cstdint>

// Built in, and a display to open windows on.
int window_system_available();
// Opens the window with a client area of this size; 0 when that failed.
int window_system_open(const char *title_utf8, int client_width, int client_height);
void window_system_close();
// Closes the window and lets the window system go (at exit).
void window_system_shutdown();
void window_system_set_title(const char *title_utf8);
void window_system_set_client_size(int width, int height);
void window_system_raise();
// The usable area of the desktop and the size of the monitor the window is on.
void window_system_work_area(int *width, int *height);
void window_system_monitor_size(int *width, int *height);
// Enters full screen (keeping the window's place and size) or leaves it; leaving returns 1 when the
// window went back to the place and size it had, 0 when there was none to go back to.
int window_system_set_fullscreen(int on);
// Shows the bitmap (kept by the caller until the next call) and paints it.
void window_system_show(const uint32_t *pixels, int width, int height);
// Handles waiting events: keys into the key queue, the close request as Alt-X, repaints.
void window_system_pump();
// Prepares the overlay's text font for a cell size; 0 when there is none.
int window_system_text_font(int cell_width, int cell_height);
// Coverage (0-255, cell width x cell height bytes) of a glyph drawn in a cell; nullptr when the font
// has no such glyph.
const uint8_t *window_system_glyph_mask(uint32_t glyph);
