#include "app/compose.h"

#include "app/connection.h"
#include "app/status_bar.h"
#include "display/c64_font.h"
#include "display/console.h"
#include "display/frame.h"
#include "display/present.h"
#include "display/window.h"
#include "settings/settings.h"
#include "term/charset.h"
#include "term/palette.h"
#include "base/emulation.h"
#include "term/terminal.h"

ComposeState g_compose;

enum Layout { LAYOUT_PLAIN, LAYOUT_CENTRED, LAYOUT_DOUBLE };

static const uint16_t kC64Black = PALETTE_C64 + 0, kC64DarkGrey = PALETTE_C64 + 11;

static DisplayCell blank(uint16_t fg, uint16_t bg) {
    return DisplayCell{' ', fg, bg, 0, {0, 0, 0}};
}

// A PETSCII cell for the bitmap: the character code stays for the C64 font (bit 8 picks the
// lower-case set); ASCII text is shown through the lower-case set.
static DisplayCell c64_cell(const Terminal *t, const Cell &cell) {
    uint32_t code = cell.code & 0xFF, lower = t->petscii_lower ? 0x100 : 0;
    if (t->ascii_text && code < 128) code = c64_petscii_from_ascii((uint8_t)code), lower = 0x100;
    if (g_compose.blink_hidden && g_settings.show_blink && (cell.flags & CELL_BLINK)) code = ' ';
    uint8_t flags = (uint8_t)((cell.flags & ~CELL_PETSCII) | DCELL_C64);
    return DisplayCell{code | lower, cell.fg, cell.bg, flags, {0, 0, 0}};
}

static DisplayCell convert_cell(const Terminal *t, const Cell &cell, bool full_unicode) {
    if ((cell.flags & CELL_PETSCII) && window_is_open()) return c64_cell(t, cell);
    DisplayCell out{term_cell_glyph(t, cell, full_unicode),
                    cell.fg,
                    cell.bg,
                    (uint8_t)(cell.flags & ~CELL_PETSCII),
                    {0, 0, 0}};
    if (g_compose.blink_hidden && g_settings.show_blink && (cell.flags & CELL_BLINK)) out.glyph = ' ';
    return out;
}

static void convert_row(const Terminal *t, const Cell *cells, DisplayCell *out, Layout layout, bool full) {
    int columns = t->columns < TERM_MAX_COLUMNS ? t->columns : TERM_MAX_COLUMNS;
    if (layout == LAYOUT_DOUBLE) {
        for (int c = 0; c < 40 && c < columns; c++) {
            DisplayCell cell = convert_cell(t, cells[c], full);
            if (cell.flags & DCELL_C64) { // one glyph at double width over both frame cells
                out[2 * c] = cell;
                out[2 * c].flags |= DCELL_C64_DOUBLE;
                out[2 * c + 1] = cell;
                out[2 * c + 1].flags = DCELL_RIGHT_HALF;
                continue;
            }
            uint32_t left, right;
            petscii_double_split(cell.glyph, full, &left, &right);
            out[2 * c] = cell;
            out[2 * c + 1] = cell;
            out[2 * c].glyph = left;
            out[2 * c + 1].glyph = right;
        }
        for (int c = 2 * columns; c < FRAME_COLUMNS; c++) out[c] = blank(7, 0);
        return;
    }
    int first = layout == LAYOUT_CENTRED ? 20 : 0;
    uint16_t side_bg = layout == LAYOUT_CENTRED ? kC64DarkGrey : 0;
    if (layout == LAYOUT_PLAIN && window_is_open() && emulation_is_petscii(t->emulation)) side_bg = kC64Black;
    for (int c = 0; c < FRAME_COLUMNS; c++) {
        int source = c - first;
        out[c] = source >= 0 && source < columns ? convert_cell(t, cells[source], full) : blank(7, side_bg);
    }
}

static void blank_row(const Terminal *t, DisplayCell *out, Layout layout) {
    bool bitmap = window_is_open() && emulation_is_petscii(t->emulation);
    DisplayCell cell = layout == LAYOUT_DOUBLE    ? blank(kC64Black, kC64Black)
                       : layout == LAYOUT_CENTRED ? blank(7, kC64DarkGrey)
                                                  : blank(7, bitmap ? kC64Black : 0);
    for (int c = 0; c < FRAME_COLUMNS; c++) out[c] = cell;
    if (layout == LAYOUT_DOUBLE && bitmap) // C64 spaces at double width
        for (int c = 0; c < FRAME_COLUMNS; c += 2) {
            out[c].flags = DCELL_C64 | DCELL_C64_DOUBLE;
            out[c + 1].flags = DCELL_RIGHT_HALF;
        }
}

static Layout layout_of(const Terminal *t) {
    if (!emulation_is_petscii(t->emulation) || t->columns != 40) return LAYOUT_PLAIN;
    return g_settings.petscii40_display == PETSCII40_CENTERED ? LAYOUT_CENTRED : LAYOUT_DOUBLE;
}

void compose_row(const Cell *cells, int frame_row) {
    if (frame_row < 0 || frame_row >= FRAME_MAX_ROWS) return;
    const Terminal *t = &g_terminal;
    convert_row(t, cells, g_frame.cells[frame_row], layout_of(t),
                g_presenter.glyph_mode == GLYPH_MODE_UNICODE);
}

void compose_frame() {
    Terminal *t = &g_terminal;
    DisplayFrame *f = &g_frame;
    int status_row = f->status_rows;
    int screen_rows = f->rows - status_row;
    bool full = g_presenter.glyph_mode == GLYPH_MODE_UNICODE;
    Layout layout = layout_of(t);
    for (int i = 0; i < screen_rows && status_row + i < FRAME_MAX_ROWS; i++) {
        DisplayCell *out = f->cells[status_row + i];
        if (i < t->rows)
            convert_row(t, term_row(t, i), out, layout, full);
        else
            blank_row(t, out, layout);
    }
    status_bar_draw(f, t, &g_connection, &g_settings);

    f->cursor_row = t->cursor_row + status_row;
    f->cursor_column = layout == LAYOUT_CENTRED  ? t->cursor_column + 20
                       : layout == LAYOUT_DOUBLE ? t->cursor_column * 2
                                                 : t->cursor_column;
    f->cursor_visible = t->cursor_visible;
    t->screen_changed = 0;
}

void compose_and_present() {
    compose_frame();
    present_frame();
}

void app_set_window_title(const char *text) {
    console_set_title(text);
    window_set_title(text);
}
