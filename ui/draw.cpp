// Drawing primitives of the toolkit.
#include <cstring>

#include "display/frame.h"
#include "term/charset.h"
#include "ui/toolkit.h"

// The frame's cell at column, row; nullptr outside the frame.
static DisplayCell *frame_cell(int column, int row) {
    if (column < 0 || column >= FRAME_COLUMNS || row < 0 || row >= g_frame.rows || row >= FRAME_MAX_ROWS)
        return nullptr;
    return &g_frame.cells[row][column];
}

static void put_cell(int column, int row, uint32_t glyph, int fg, int bg) {
    if (DisplayCell *cell = frame_cell(column, row))
        *cell = DisplayCell{glyph, (uint16_t)fg, (uint16_t)bg, 0, {0, 0, 0}};
}

static uint32_t cp437_glyph(char byte) {
    return cp437_to_unicode[(uint8_t)byte];
}

void ui_fill(int column, int row, int width, int height, int fg, int bg) {
    for (int r = row; r < row + height; r++)
        for (int c = column; c < column + width; c++) put_cell(c, r, ' ', fg, bg);
}

int ui_text(int column, int row, int fg, int bg, const char *text) {
    for (; *text; text++, column++) put_cell(column, row, cp437_glyph(*text), fg, bg);
    return column;
}

void ui_field(int column, int row, int fg, int bg, const char *text, int width) {
    bool ended = false;
    for (int i = 0; i < width; i++) {
        if (!ended && text[i] == 0) ended = true;
        put_cell(column + i, row, ended ? ' ' : cp437_glyph(text[i]), fg, bg);
    }
}

int ui_markup(int column, int row, int fg, int highlight_fg, int bg, const char *text) {
    bool highlight = false;
    for (; *text; text++) {
        if (*text == '~') {
            highlight = !highlight;
            continue;
        }
        put_cell(column++, row, cp437_glyph(*text), highlight ? highlight_fg : fg, bg);
    }
    return column;
}

void ui_box(int column, int row, int width, int height, int frame_fg, int bg, int double_line,
            const char *title) {
    // Corners (top-left, top-right, bottom-left, bottom-right), horizontal, vertical.
    static const uint32_t kSingle[6] = {0x250C, 0x2510, 0x2514, 0x2518, 0x2500, 0x2502};
    static const uint32_t kDouble[6] = {0x2554, 0x2557, 0x255A, 0x255D, 0x2550, 0x2551};
    const uint32_t *g = double_line ? kDouble : kSingle;
    int right = column + width - 1, bottom = row + height - 1;
    ui_fill(column + 1, row + 1, width - 2, height - 2, 15, bg);
    put_cell(column, row, g[0], frame_fg, bg);
    put_cell(right, row, g[1], frame_fg, bg);
    put_cell(column, bottom, g[2], frame_fg, bg);
    put_cell(right, bottom, g[3], frame_fg, bg);
    if (width >= 3)
        for (int c = column + 1; c < right; c++) {
            put_cell(c, row, g[4], frame_fg, bg);
            put_cell(c, bottom, g[4], frame_fg, bg);
        }
    if (height >= 3)
        for (int r = row + 1; r < bottom; r++) {
            put_cell(column, r, g[5], frame_fg, bg);
            put_cell(right, r, g[5], frame_fg, bg);
        }
    if (title && *title) {
        int start = column + (width - ((int)strlen(title) + 2)) / 2;
        put_cell(start, row, ' ', frame_fg, bg);
        int end = ui_text(start + 1, row, 14, bg, title);
        put_cell(end, row, ' ', frame_fg, bg);
    }
}

static void shade(int column, int row) {
    if (DisplayCell *cell = frame_cell(column, row)) cell->fg = 8, cell->bg = 0;
}

void ui_shadow(int column, int row, int width, int height) {
    for (int r = row + 1; r <= row + height; r++) {
        shade(column + width, r);
        shade(column + width + 1, r);
    }
    for (int c = column + 2; c <= column + width + 1; c++) shade(c, row + height);
}
