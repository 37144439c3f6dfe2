// Renders a run of changing frames the way the program presents them and writes the bytes to
// standard output, so that an independent terminal emulator can replay them. The text and some
// colours of the last frame go to the file named by the first argument, one line each:
//   TEXT <row> <the row's glyphs as UTF-8>
//   COLOUR <row> <column> <foreground rrggbb> <background rrggbb>
// A second argument "16" selects the 16-colour renderer (colours are then not listed).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/frame.h"
#include "display/present.h"
#include "term/charset.h"
#include "term/palette.h"
#include "term/terminal.h"
#include "ui/toolkit.h"
#include "base/utf8.h"

static uint32_t seed = 12345;
static uint32_t next_random(uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % n;
}

// Glyphs a host or a dialog may leave in the frame, narrow and wide.
static const uint32_t kNarrow[] = {'A',    'z',    '0',    '#',    0xE9,   0x2554,
                                   0x2550, 0x2588, 0x2591, 0x263A, 0x20AC, 0x3C0};
static const uint32_t kWide[] = {0x4E00, 0x4E8C, 0xAC00, 0x1F600, 0xFF21};

static void put(int row, int column, uint32_t glyph) {
    DisplayCell &cell = g_frame.cells[row][column];
    cell.glyph = glyph;
    cell.fg = (uint16_t)next_random(PALETTE_SIZE);
    cell.bg = (uint16_t)next_random(PALETTE_SIZE);
    cell.flags = 0;
}

// Keeps the frame the way the terminal keeps its grid: a wide glyph always has its empty right
// half, and a right half always belongs to a wide glyph.
static void put_random(int row, int column) {
    DisplayCell *cells = g_frame.cells[row];
    if (column > 0 && cells[column].glyph == 0) column--; // act on the whole wide glyph
    bool was_wide = cells[column].glyph != 0 && term_is_wide(cells[column].glyph);
    if (next_random(4) == 0 && column + 1 < FRAME_COLUMNS) {
        if (column + 2 < FRAME_COLUMNS && cells[column + 1].glyph != 0 &&
            term_is_wide(cells[column + 1].glyph))
            put(row, column + 2, ' ');
        put(row, column, kWide[next_random(sizeof kWide / sizeof *kWide)]);
        put(row, column + 1, 0);
        cells[column + 1].fg = cells[column].fg, cells[column + 1].bg = cells[column].bg;
        return;
    }
    put(row, column, kNarrow[next_random(sizeof kNarrow / sizeof *kNarrow)]);
    if (was_wide && column + 1 < FRAME_COLUMNS) put(row, column + 1, ' ');
}

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: render_sample EXPECTED_FILE [16]\n");
        return 2;
    }
    bool sixteen = argc > 2 && strcmp(argv[2], "16") == 0;
    term_build_tables();
    g_presenter.truecolour = sixteen ? 0 : 1;
    g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    set_console_colours(0);
    g_frame.rows = 25;
    for (int r = 0; r < FRAME_MAX_ROWS; r++)
        for (int c = 0; c < FRAME_COLUMNS; c++) put(r, c, ' ');
    for (int r = 0; r < g_frame.rows; r++)
        for (int c = 0; c < FRAME_COLUMNS; c++) put_random(r, c);
    present_frame();
    for (int frame = 0; frame < 60; frame++) {
        int changes = frame % 10 == 0 ? 400 : (int)next_random(30) + 1;
        for (int i = 0; i < changes; i++) put_random((int)next_random(25), (int)next_random(FRAME_COLUMNS));
        if (frame == 30) ui_box(10, 5, 41, 7, 11, 1, 1, "Box"); // over whatever wide glyphs lie there
        if (frame == 31)
            for (int r = 5; r < 12; r++) // the box goes away: the terminal's cells come back
                for (int c = 9; c < 52; c++) put_random(r, c);
        g_frame.cursor_row = (int)next_random(25);
        g_frame.cursor_column = (int)next_random(FRAME_COLUMNS);
        g_frame.cursor_visible = 1;
        present_frame();
    }

    FILE *out = fopen(argv[1], "w");
    if (!out) return 1;
    for (int r = 0; r < g_frame.rows; r++) {
        fprintf(out, "TEXT %d ", r);
        bool covered = false; // the cell is the right half of a wide glyph written just before
        for (int c = 0; c < FRAME_COLUMNS; c++) {
            uint32_t g = g_frame.cells[r][c].glyph;
            if (g == 0 && covered) {
                covered = false;
                continue;
            }
            if (g == 0 || (term_is_wide(g) && !(c + 1 < FRAME_COLUMNS && g_frame.cells[r][c + 1].glyph == 0)))
                g = ' ';
            if (sixteen && g > 0xFFFF) g = cp437_to_unicode[unicode_to_cp437(g)];
            covered = term_is_wide(g);
            uint8_t utf8[4];
            fwrite(utf8, 1, (size_t)utf8_encode(g, utf8), out);
        }
        fputc('\n', out);
    }
    for (int i = 0; i < 40 && !sixteen; i++) {
        int r = (int)next_random(25), c = (int)next_random(FRAME_COLUMNS);
        const DisplayCell &cell = g_frame.cells[r][c];
        if (cell.glyph == 0) continue;
        Rgb f = g_palette[cell.fg % PALETTE_SIZE], b = g_palette[cell.bg % PALETTE_SIZE];
        fprintf(out, "COLOUR %d %d %02x%02x%02x %02x%02x%02x\n", r, c, f.r, f.g, f.b, b.r, b.g, b.b);
    }
    fprintf(out, "CURSOR %d %d\n", g_frame.cursor_row, g_frame.cursor_column);
    fclose(out);
    return 0;
}
