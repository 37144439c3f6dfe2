#include "display/raster.h"

#include <algorithm>
#include <cstring>

#include "term/charset.h"
#include "term/palette.h"

namespace {

// ---------------------------------------------------------------- box lines

struct BoxGlyph {
    uint16_t code;
    uint8_t left, right, up, down; // 0 none, 1 single, 2 double
};

constexpr BoxGlyph kBoxGlyphs[] = {
    {0x2500, 1, 1, 0, 0}, // ─
    {0x2502, 0, 0, 1, 1}, // │
    {0x250C, 0, 1, 0, 1}, // ┌
    {0x2510, 1, 0, 0, 1}, // ┐
    {0x2514, 0, 1, 1, 0}, // └
    {0x2518, 1, 0, 1, 0}, // ┘
    {0x251C, 0, 1, 1, 1}, // ├
    {0x2524, 1, 0, 1, 1}, // ┤
    {0x252C, 1, 1, 0, 1}, // ┬
    {0x2534, 1, 1, 1, 0}, // ┴
    {0x253C, 1, 1, 1, 1}, // ┼
    {0x2550, 2, 2, 0, 0}, // ═
    {0x2551, 0, 0, 2, 2}, // ║
    {0x2552, 0, 2, 0, 1}, // ╒
    {0x2553, 0, 1, 0, 2}, // ╓
    {0x2554, 0, 2, 0, 2}, // ╔
    {0x2555, 2, 0, 0, 1}, // ╕
    {0x2556, 1, 0, 0, 2}, // ╖
    {0x2557, 2, 0, 0, 2}, // ╗
    {0x2558, 0, 2, 1, 0}, // ╘
    {0x2559, 0, 1, 2, 0}, // ╙
    {0x255A, 0, 2, 2, 0}, // ╚
    {0x255B, 2, 0, 1, 0}, // ╛
    {0x255C, 1, 0, 2, 0}, // ╜
    {0x255D, 2, 0, 2, 0}, // ╝
    {0x255E, 0, 2, 1, 1}, // ╞
    {0x255F, 0, 1, 2, 2}, // ╟
    {0x2560, 0, 2, 2, 2}, // ╠
    {0x2561, 2, 0, 1, 1}, // ╡
    {0x2562, 1, 0, 2, 2}, // ╢
    {0x2563, 2, 0, 2, 2}, // ╣
    {0x2564, 2, 2, 0, 1}, // ╤
    {0x2565, 1, 1, 0, 2}, // ╥
    {0x2566, 2, 2, 0, 2}, // ╦
    {0x2567, 2, 2, 1, 0}, // ╧
    {0x2568, 1, 1, 2, 0}, // ╨
    {0x2569, 2, 2, 2, 0}, // ╩
    {0x256A, 2, 2, 1, 1}, // ╪
    {0x256B, 1, 1, 2, 2}, // ╫
    {0x256C, 2, 2, 2, 2}, // ╬
    {0x256D, 0, 1, 0, 1}, // ╭ drawn as a square corner
    {0x256E, 1, 0, 0, 1}, // ╮
    {0x256F, 1, 0, 1, 0}, // ╯
    {0x2570, 0, 1, 1, 0}, // ╰
};

constexpr uint32_t kBoxFirst = 0x2500, kBoxLast = 0x2570;

// Glyph to 1 + its index in kBoxGlyphs (0: not a box line).
struct BoxIndex {
    uint8_t slot[kBoxLast - kBoxFirst + 1];
};
constexpr BoxIndex build_box_index() {
    BoxIndex index{};
    for (int i = 0; i < (int)(sizeof kBoxGlyphs / sizeof kBoxGlyphs[0]); i++)
        index.slot[kBoxGlyphs[i].code - kBoxFirst] = (uint8_t)(i + 1);
    return index;
}
constexpr BoxIndex kBoxIndex = build_box_index();

const BoxGlyph *box_glyph(uint32_t glyph) {
    if (glyph < kBoxFirst || glyph > kBoxLast) return nullptr;
    int slot = kBoxIndex.slot[glyph - kBoxFirst];
    return slot ? &kBoxGlyphs[slot - 1] : nullptr;
}

// Quadrants U+2596-U+259F: 1 upper left, 2 upper right, 4 lower left, 8 lower right.
constexpr uint8_t kQuadrants[10] = {4, 8, 1, 13, 9, 7, 11, 2, 6, 14};

// ---------------------------------------------------------------- per-size tables

struct Scales {
    int width, height;
    uint8_t bit_single[RASTER_MAX_CELL_WIDTH];     // font bit mask of each pixel column
    uint8_t bit_double[2 * RASTER_MAX_CELL_WIDTH]; // the same across a doubled glyph
    uint8_t font_row[RASTER_MAX_CELL_HEIGHT];      // font row of each pixel row
    uint8_t grid_x[RASTER_MAX_CELL_WIDTH];         // shade pattern column on an 8 x 16 grid
    uint8_t grid_y[RASTER_MAX_CELL_HEIGHT];
};

Scales scales;

void prepare_scales(int w, int h) {
    if (scales.width == w && scales.height == h) return;
    scales.width = w;
    scales.height = h;
    for (int x = 0; x < w; x++) {
        scales.bit_single[x] = (uint8_t)(0x80 >> (x * 8 / w));
        scales.grid_x[x] = (uint8_t)(x * 8 / w);
    }
    for (int x = 0; x < 2 * w; x++) scales.bit_double[x] = (uint8_t)(0x80 >> (x * 8 / (2 * w)));
    for (int y = 0; y < h; y++) {
        scales.font_row[y] = (uint8_t)(y * 8 / h);
        scales.grid_y[y] = (uint8_t)(y * 16 / h);
    }
}

// ---------------------------------------------------------------- drawing into one cell

struct Cell {
    uint32_t *origin; // top-left pixel
    int pitch;
    int w, h;
};

void fill(const Cell &cell, int x0, int y0, int x1, int y1, uint32_t colour) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, cell.w), y1 = std::min(y1, cell.h);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; y++) std::fill_n(cell.origin + (size_t)y * cell.pitch + x0, x1 - x0, colour);
}

// An 8 x 8 glyph over width w (w or 2w), nearest-neighbour; rows that repeat a font row are copied.
void draw_glyph8(const Cell &cell, int w, const uint8_t rows[8], const uint8_t *bits, uint32_t fg,
                 uint32_t bg, bool transparent) {
    for (int y = 0; y < cell.h; y++) {
        uint32_t *line = cell.origin + (size_t)y * cell.pitch;
        int font_row = scales.font_row[y];
        if (!transparent && y > 0 && scales.font_row[y - 1] == font_row) {
            memcpy(line, line - cell.pitch, (size_t)w * sizeof *line);
            continue;
        }
        uint8_t pattern = rows[font_row];
        if (transparent) {
            if (pattern)
                for (int x = 0; x < w; x++)
                    if (pattern & bits[x]) line[x] = fg;
        } else {
            for (int x = 0; x < w; x++) line[x] = (pattern & bits[x]) ? fg : bg;
        }
    }
}

bool shade_set(uint32_t glyph, int gx, int gy) {
    int x4 = gx % 4, y4 = gy % 4;
    if (glyph == 0x2591) return (x4 == 0 && y4 == 0) || (x4 == 2 && y4 == 2);
    if (glyph == 0x2592) return (gx + gy) % 2 == 0;
    return !((x4 == 1 && y4 == 1) || (x4 == 3 && y4 == 3));
}

void draw_shade(const Cell &cell, uint32_t glyph, uint32_t fg) {
    for (int y = 0; y < cell.h; y++) {
        uint32_t *line = cell.origin + (size_t)y * cell.pitch;
        for (int x = 0; x < cell.w; x++)
            if (shade_set(glyph, scales.grid_x[x], scales.grid_y[y])) line[x] = fg;
    }
}

// Single and double box lines at any cell size: strokes t pixels thick, double strokes d either side
// of the centre. Where two double lines meet, inner strokes meet inner strokes and outer strokes
// outer ones; a single line crossing a double one stops at its near stroke, and a single line that
// joins a double one (or the reverse) reaches across to it, so that no stroke is left hanging.
void draw_box(const Cell &cell, const BoxGlyph &box, uint32_t fg) {
    int w = cell.w, h = cell.h;
    int t = w < 8 ? 1 : w / 8;
    int x0 = (w - t) / 2, y0 = (h - t) / 2;
    int d = t + (t + 1) / 2;
    if (t + 2 * d > w - 2) d = x0 - 1;
    if (d < t) d = t;
    int across = std::max(box.up, box.down), along = std::max(box.left, box.right);

    // Single arms: how far short of the centre (e > 0) or past it (e < 0) they end.
    auto single_end = [d](int a, int b) { return std::max(a, b) < 2 ? 0 : (a && b) ? d : -d; };
    int e = single_end(box.up, box.down);
    if (box.left == 1) fill(cell, 0, y0, x0 + t - e, y0 + t, fg);
    if (box.right == 1) fill(cell, x0 + e, y0, w, y0 + t, fg);
    e = single_end(box.left, box.right);
    if (box.up == 1) fill(cell, x0, 0, x0 + t, y0 + t - e, fg);
    if (box.down == 1) fill(cell, x0, y0 + e, x0 + t, h, fg);

    // How far a double stroke reaches toward the far side, past the centre: to the near stroke of a
    // double arm it pairs with, to a single line, or else across the whole perpendicular line.
    auto reach = [d](int paired, int perpendicular) {
        if (paired == 2) return -d;
        if (paired == 1 || perpendicular == 1) return 0;
        return d;
    };
    // Double horizontal arms: the upper stroke pairs with the up arm, the lower with the down arm.
    for (int side = 0; side < 2; side++) {
        if ((side == 0 ? box.left : box.right) != 2) continue;
        for (int stroke = 0; stroke < 2; stroke++) {
            int y = stroke == 0 ? y0 - d : y0 + d;
            int r = reach(stroke == 0 ? box.up : box.down, across);
            if (side == 0)
                fill(cell, 0, y, x0 + t + r, y + t, fg);
            else
                fill(cell, x0 - r, y, w, y + t, fg);
        }
    }
    // Double vertical arms: the left stroke pairs with the left arm, the right with the right arm.
    for (int side = 0; side < 2; side++) {
        if ((side == 0 ? box.up : box.down) != 2) continue;
        for (int stroke = 0; stroke < 2; stroke++) {
            int x = stroke == 0 ? x0 - d : x0 + d;
            int r = reach(stroke == 0 ? box.left : box.right, along);
            if (side == 0)
                fill(cell, x, 0, x + t, y0 + t + r, fg);
            else
                fill(cell, x, y0 - r, x + t, h, fg);
        }
    }
}

// Block elements U+2580-U+259F and the black square; false for any other glyph.
bool draw_block(const Cell &cell, uint32_t g, uint32_t fg) {
    int w = cell.w, h = cell.h;
    if (g == 0x25A0) {
        fill(cell, w / 5, h / 3, w - w / 5, h - h / 4, fg);
        return true;
    }
    if (g < 0x2580 || g > 0x259F) return false;
    if (g == 0x2580)
        fill(cell, 0, 0, w, h / 2, fg);
    else if (g == 0x2584)
        fill(cell, 0, h / 2, w, h, fg);
    else if (g == 0x2588)
        fill(cell, 0, 0, w, h, fg);
    else if (g == 0x258C)
        fill(cell, 0, 0, w / 2, h, fg);
    else if (g == 0x2590)
        fill(cell, w / 2, 0, w, h, fg);
    else if (g <= 0x2587)
        fill(cell, 0, h - (int)(g - 0x2580) * h / 8, w, h, fg);
    else if (g <= 0x258F)
        fill(cell, 0, 0, (int)(0x2590 - g) * w / 8, h, fg);
    else if (g == 0x2594)
        fill(cell, 0, 0, w, (h + 7) / 8, fg);
    else if (g == 0x2595)
        fill(cell, w - (w + 7) / 8, 0, w, h, fg);
    else if (g >= 0x2596) {
        int q = kQuadrants[g - 0x2596];
        if (q & 1) fill(cell, 0, 0, w / 2, h / 2, fg);
        if (q & 2) fill(cell, w / 2, 0, w, h / 2, fg);
        if (q & 4) fill(cell, 0, h / 2, w / 2, h, fg);
        if (q & 8) fill(cell, w / 2, h / 2, w, h, fg);
    } else {
        draw_shade(cell, g, fg);
    }
    return true;
}

// ---------------------------------------------------------------- letters without a text font

struct Fallback {
    uint32_t unicode;
    uint8_t set, screen_code;
};

// Every glyph of both C64 sets, sorted by the character it shows, so that a cell that would need a
// text font can still be drawn from the C64 font.
struct FallbackTable {
    Fallback entries[2 * 128];
    int count;
};

FallbackTable fallback_table;

void build_fallback_table() {
    if (fallback_table.count) return;
    FallbackTable &t = fallback_table;
    for (int set = 1; set >= 0; set--) // the lower-case set first: it has both cases of the letters
        for (int p = 32; p < 192; p++) {
            if (p >= 128 && p < 160) continue;
            uint32_t u = petscii_to_unicode((uint32_t)p, set, 1);
            if (u == ' ') continue;
            t.entries[t.count++] = Fallback{u, (uint8_t)set, c64_screen_code((uint8_t)p)};
        }
    std::stable_sort(t.entries, t.entries + t.count,
                     [](const Fallback &a, const Fallback &b) { return a.unicode < b.unicode; });
}

const Fallback *find_fallback(uint32_t u) {
    const Fallback *end = fallback_table.entries + fallback_table.count;
    const Fallback *f = std::lower_bound((const Fallback *)fallback_table.entries, end, u,
                                         [](const Fallback &a, uint32_t v) { return a.unicode < v; });
    return f != end && f->unicode == u ? f : nullptr;
}

void draw_fallback(const Cell &cell, uint32_t glyph, uint32_t fg, const C64Font *font) {
    const Fallback *f = find_fallback(glyph);
    if (!f) f = find_fallback(cp437_to_unicode[unicode_to_cp437(glyph)]);
    if (!f) f = find_fallback('?');
    if (f) draw_glyph8(cell, cell.w, font->glyphs[f->set][f->screen_code], scales.bit_single, fg, 0, true);
}

} // namespace

uint32_t raster_colour(uint16_t index) {
    const Rgb &c = g_palette[index % PALETTE_SIZE];
    return (uint32_t)c.r << 16 | (uint32_t)c.g << 8 | c.b;
}

int raster_box_arms(uint32_t glyph, uint8_t arms[4]) {
    const BoxGlyph *box = box_glyph(glyph);
    if (!box) return 0;
    arms[0] = box->left, arms[1] = box->right, arms[2] = box->up, arms[3] = box->down;
    return 1;
}

int raster_needs_text_font(const DisplayCell *cell) {
    if (cell->flags & DCELL_KEEP_GLYPH) return 0;
    uint32_t g = cell->glyph;
    if (g < 33 || g == 0x25A0 || (g >= 0x2580 && g <= 0x259F)) return 0;
    return box_glyph(g) == nullptr;
}

int raster_cursor_area(const DisplayFrame *frame, int columns, int rows, int column, int row, int cell_width,
                       int cell_height, int *x, int *y, int *width, int *height) {
    if (column < 0 || column >= columns || row < 0 || row >= rows) return 0;
    const DisplayCell &dc = frame->cells[row][column];
    bool c64 = dc.flags & DCELL_C64;
    int w = (c64 && (dc.flags & DCELL_C64_DOUBLE)) ? 2 * cell_width : cell_width;
    int top = c64 ? 0 : cell_height - (cell_height + 7) / 8;
    *x = column * cell_width;
    *y = row * cell_height + top;
    *width = std::min(w, (columns - column) * cell_width);
    *height = cell_height - top;
    return 1;
}

void raster_invert(uint32_t *pixels, int pitch, int x, int y, int width, int height) {
    for (int row = y; row < y + height; row++)
        for (int col = x; col < x + width; col++) pixels[(size_t)row * pitch + col] ^= 0xFFFFFF;
}

void raster_draw_fallback(uint32_t *pixels, int pitch, int x, int y, int cell_width, int cell_height,
                          uint32_t glyph, uint32_t colour, const C64Font *font) {
    if (cell_width < 1 || cell_height < 1 || cell_width > RASTER_MAX_CELL_WIDTH ||
        cell_height > RASTER_MAX_CELL_HEIGHT)
        return;
    prepare_scales(cell_width, cell_height);
    build_fallback_table();
    draw_fallback(Cell{pixels + (size_t)y * pitch + x, pitch, cell_width, cell_height}, glyph, colour, font);
}

int raster_frame(uint32_t *pixels, int pitch, const DisplayFrame *frame, int columns, int rows,
                 RasterCursor cursor, int cell_width, int cell_height, int text_overlay,
                 const C64Font *font) {
    int w = cell_width, h = cell_height;
    if (w < 1 || h < 1 || w > RASTER_MAX_CELL_WIDTH || h > RASTER_MAX_CELL_HEIGHT) return 0;
    if (columns < 1 || columns > FRAME_COLUMNS || rows < 1 || rows > FRAME_MAX_ROWS) return 0;
    if (pitch < columns * w) return 0;
    prepare_scales(w, h);
    if (!text_overlay) build_fallback_table();
    int frame_width = columns * w;

    for (int r = 0; r < rows; r++) {
        const DisplayCell *row = frame->cells[r];
        for (int c = 0; c < columns; c++) {
            const DisplayCell &dc = row[c];
            // The left neighbour drew a doubled C64 glyph over this cell too.
            if (c > 0 && (dc.flags & DCELL_RIGHT_HALF) && (row[c - 1].flags & DCELL_C64_DOUBLE)) continue;
            Cell cell{pixels + (size_t)r * h * pitch + (size_t)c * w, pitch, w, h};
            uint32_t fg = raster_colour(dc.fg), bg = raster_colour(dc.bg);
            if ((dc.flags & DCELL_C64) && !(dc.flags & DCELL_RIGHT_HALF)) {
                int set = (dc.glyph >> 8) & 1;
                const uint8_t *glyph = font->glyphs[set][c64_screen_code((uint8_t)dc.glyph)];
                bool doubled = dc.flags & DCELL_C64_DOUBLE;
                int width = std::min(doubled ? 2 * w : w, frame_width - c * w);
                draw_glyph8(cell, width, glyph, doubled ? scales.bit_double : scales.bit_single, fg, bg,
                            false);
                continue;
            }
            fill(cell, 0, 0, w, h, bg);
            if (dc.flags & DCELL_RIGHT_HALF) continue;
            if (const BoxGlyph *box = box_glyph(dc.glyph))
                draw_box(cell, *box, fg);
            else if (!draw_block(cell, dc.glyph, fg) && !text_overlay && dc.glyph >= 33)
                draw_fallback(cell, dc.glyph, fg, font);
        }
    }

    int x, y, width, height;
    if (cursor.visible && cursor.blink_on &&
        raster_cursor_area(frame, columns, rows, cursor.column, cursor.row, w, h, &x, &y, &width, &height))
        raster_invert(pixels, pitch, x, y, width, height);
    return 1;
}
