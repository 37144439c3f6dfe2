// The presenter: reduces glyphs to what the terminal can show, then writes only what changed since
// the last frame, as escape sequences in 24-bit colour (VT renderer) or in the 16 standard colours
// (16-colour renderer), with one write per frame.
#pragma once
#include <cstdint>

#include "display/frame.h"

enum {
    GLYPH_MODE_CP437 = 0, // every glyph shown as a CP437 character
    GLYPH_MODE_BMP = 1,   // code points above U+FFFF folded into the BMP
    GLYPH_MODE_UNICODE = 2,
};

enum {
    // Worst case: every cell of 26 rows with its own 24-bit colour escape (36 bytes) and a 4-byte glyph.
    PRESENT_BUFFER_SIZE = FRAME_MAX_ROWS * FRAME_COLUMNS * 40 + 1024,
};

struct Presenter {
    DisplayCell previous[FRAME_MAX_ROWS][FRAME_COLUMNS]; // the last frame written
    int previous_valid;
    int truecolour;      // 1: VT renderer; 0: 16-colour renderer
    int glyph_mode;      // GLYPH_MODE_*
    int visible_columns; // the terminal's size: the frame is cut at its edges
    int visible_rows;
    uint8_t colour_map[272]; // palette index to a console colour 0-15 (16-colour renderer)
    int colours_petscii;     // the mode the colours were last set up for
    int colours_ready;
    uint8_t out[PRESENT_BUFFER_SIZE];
    int fill;
    int placeholder_shown; // the console's line while the graphics window shows the frame
};

extern Presenter g_presenter;

// Reduces the glyphs of g_frame for the glyph mode, then shows it.
void present_frame();
// The presenter core: the console renderer in use, then the frame becomes the previous frame.
void show_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                int cursor_visible);
void vt_write_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                    int cursor_visible);
void legacy_write_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                        int cursor_visible);
// The next present rewrites every row.
void display_invalidate();
// Rebuilds the palette-to-console-colour map for PETSCII or not (the terminal's own colour table is
// never reprogrammed, so every index maps to its standard-16 approximation).
void set_console_colours(int petscii);
// Takes the character widths of the terminal from the named locale ("" for the user's, from the
// environment) without changing the program's own locale; 0 when there is no such locale.
int present_set_width_locale(const char *name);
// Rewrites the glyphs of the rows in use for a glyph mode (what present_frame does first).
void frame_reduce_glyphs(DisplayFrame *frame, int glyph_mode);

// Where rendered bytes go: the terminal (standard output) unless a test or tool sets a sink.
typedef void (*ConsoleWriter)(const uint8_t *bytes, int length);
void console_set_writer(ConsoleWriter writer);
void console_write(const uint8_t *bytes, int length);
void console_write_text(const char *text);
