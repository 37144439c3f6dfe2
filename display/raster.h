// The rasteriser: draws a DisplayFrame into a 32-bit pixel buffer (0x00RRGGBB) at any cell size.
// It draws every cell's background, C64 glyph cells from an 8 x 8 font (scaled, at single or double
// width), block elements, shades, quadrants, the black square and box lines, and the cursor. Other
// glyphs are left to the caller's text overlay, or drawn from the C64 font when there is none.
#pragma once
#include <cstdint>

#include "display/c64_font.h"
#include "display/frame.h"

enum {
    RASTER_MAX_CELL_WIDTH = 128,
    RASTER_MAX_CELL_HEIGHT = 256,
};

struct RasterCursor {
    int column, row;
    int visible;
    int blink_on; // the cursor shows only in the on phase
};

// Draws rows x columns cells into pixels (pitch: pixels per buffer row; the buffer holds at least
// rows * cell_height rows of columns * cell_width pixels). With text_overlay set, glyphs that need a
// text font are left as background; without it they are drawn from the font's letters and symbols.
// Returns 0 and draws nothing for sizes outside the limits.
int raster_frame(uint32_t *pixels, int pitch, const DisplayFrame *frame, int columns, int rows,
                 RasterCursor cursor, int cell_width, int cell_height, int text_overlay, const C64Font *font);

// 1 when a cell's glyph is left to the text overlay: not a C64 cell or covered half, not blank, not
// a block element, the black square or a box line.
int raster_needs_text_font(const DisplayCell *cell);

// The arms of a box-line glyph (left, right, up, down: 0 none, 1 single, 2 double); 0 when the
// glyph is not one the rasteriser draws.
int raster_box_arms(uint32_t glyph, uint8_t arms[4]);

// The pixels the cursor inverts: an underline one eighth of the cell high, or the whole glyph of a
// C64 cell (both cells of a doubled one), cut at the frame's right edge. 0 when it is outside.
int raster_cursor_area(const DisplayFrame *frame, int columns, int rows, int column, int row, int cell_width,
                       int cell_height, int *x, int *y, int *width, int *height);
// Inverts (exclusive-or with white) a rectangle of pixels.
void raster_invert(uint32_t *pixels, int pitch, int x, int y, int width, int height);
// Draws a glyph from the C64 font's letters and symbols (or its CP437 form, or "?") over a cell,
// for glyphs no text font can draw.
void raster_draw_fallback(uint32_t *pixels, int pitch, int x, int y, int cell_width, int cell_height,
                          uint32_t glyph, uint32_t colour, const C64Font *font);

// The pixel colour of a palette index.
uint32_t raster_colour(uint16_t index);
