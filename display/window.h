// The graphics window: the frame drawn as a bitmap (C64 glyphs for PETSCII, the rasteriser's blocks
// and box lines, a text font for the rest) in a window of its own. It opens for PETSCII when the
// setting asks for it and for full screen (Alt-Enter) in any emulation; its keys go into the one key
// queue. Without a window system (built without SDL2, or no display) it never opens.
#pragma once
#include <cstdint>

#include "display/frame.h"

// 1 while frames are drawn into a bitmap: the window is open, or a tool renders off screen.
int window_is_open();
void window_set_offscreen(int on);
// The window system can be used (built in and a display is there).
int window_available();

// Wanted for PETSCII (display-mode switch) and the zoom (0 the console's size, 1-4); opens, closes
// or resizes the window to match.
void window_set(int wanted, int zoom);
// Alt-Enter: full screen on or off; full screen opens the window in any emulation.
void window_toggle_fullscreen();
int window_is_fullscreen();
// The title, as CP437 text (the window shows what the console's title shows).
void window_set_title(const char *cp437_text);
// Closes the window for good (console restore).
void window_destroy();
// Draws the frame into the window's bitmap and shows it; 0 when the window is not open.
int window_present(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                   int cursor_visible);
// Takes the window's pending events (keys into the key queue, repaints, the cursor blink); 1 while
// the window is open. The event wait calls it.
int window_pump();

// ---------------------------------------------------------------- rules, kept apart for tests

struct WindowRect {
    int x, y, width, height;
};

// Client size for a zoom: 0 takes the console's size in pixels when known (else 1x); 2-4 take the
// largest factor from the zoom down that fits the work area, else 1x. Cells are 8 x 16.
void window_zoom_size(int zoom, int columns, int rows, int work_width, int work_height, int console_width,
                      int console_height, int *width, int *height);
// Where the bitmap goes in the client area: fitted keeping its shape, snapped to a whole multiple
// of its size when that fills at least 92% of the fitted width; centred, the rest black bars.
WindowRect window_fit(int bitmap_width, int bitmap_height, int client_width, int client_height);
// Cell size in full screen on a monitor, so that the frame fills it with cells twice as high as wide.
void window_fullscreen_cells(int monitor_width, int monitor_height, int columns, int rows, int *cell_width,
                             int *cell_height);

// A key pressed in the window: a navigation key (KEY_UP..KEY_DELETE), F-key (KEY_F1..KEY_F12),
// Enter 13, Tab 9, Backspace 8, Esc 27, or the key's unshifted character (letters in lower case);
// 0 for keys that make no code of their own.
struct WindowKey {
    uint32_t key;
    int shift, ctrl, alt;
    int repeat; // an automatic repeat of a held key
};
// The key codes a key press makes (at most one); typed characters come as text (below).
int window_key_code(const WindowKey &key, uint32_t *code);
// 1 when a typed character is queued as itself: not DEL, controls or surrogate halves, and not
// typed with Alt (Alt letters and digits came as key presses).
int window_text_code(uint32_t character, int alt, int ctrl);
