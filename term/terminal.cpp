#include "term/terminal.h"

#include <cstdlib>
#include <cstring>

#include "term/charset.h"
#include "term/palette.h"

Terminal g_terminal;

void term_build_tables() {
    palette_build();
    cp437_build_index();
}

static inline Cell blank_cell(const Terminal *t) {
    return Cell{32, t->current_fg, t->current_bg, 0};
}

static void blank_row(Terminal *t, int row) {
    // Four cells at a time: 48 bytes move as three vector stores, where one 12-byte cell takes two.
    Cell pattern[4];
    memset((void *)pattern, 0, sizeof pattern);
    for (Cell &cell : pattern) cell = blank_cell(t);
    Cell *cells = term_row(t, row);
    static_assert(TERM_MAX_COLUMNS % 4 == 0);
    for (int c = 0; c < TERM_MAX_COLUMNS; c += 4) memcpy((void *)(cells + c), pattern, sizeof pattern);
}

static void clear_detection(Terminal *t) {
    t->utf8_held = 0;
    t->utf8_score = 0;
    t->cp437_evidence = 0;
    t->text_encoding = TEXT_UNDECIDED;
}

void term_create(Terminal *t, int emulation, int rows, int scrollback_lines) {
    int ice = t->ice_colors;
    TermReplySink sink = t->reply_sink;
    memset((void *)t, 0, sizeof *t);
    t->ice_colors = ice;
    t->reply_sink = sink;
    for (int r = 0; r < TERM_MAX_ROWS; r++) t->row_slot[r] = (uint8_t)r;

    t->emulation = emulation;
    t->columns = emulation_columns(emulation);
    t->rows = rows < 1 ? 1 : rows > TERM_MAX_ROWS ? TERM_MAX_ROWS : rows;
    if (scrollback_lines > 0) {
        t->scrollback = (Cell *)calloc((size_t)scrollback_lines * TERM_MAX_COLUMNS, sizeof(Cell));
        if (t->scrollback) t->scrollback_capacity = scrollback_lines;
    }
    term_soft_reset(t);
    // Rows beyond those in use are blanked too, so a later switch to more rows shows blanks, not zeros.
    for (int r = 0; r < TERM_MAX_ROWS; r++) blank_row(t, r);
    term_clear_screen(t);
    clear_detection(t);
}

void term_release(Terminal *t) {
    free(t->scrollback);
    t->scrollback = nullptr;
    t->scrollback_count = 0;
    t->scrollback_head = 0;
}

void term_reset_call(Terminal *t) {
    t->text_mode = PETSCII_TEXT_AUTO;
    term_soft_reset(t);
    term_clear_screen(t);
    clear_detection(t);
}

void term_soft_reset(Terminal *t) {
    t->cursor_column = 0;
    t->cursor_row = 0;
    t->wrap_pending = 0;
    t->auto_wrap = 1;
    t->cursor_visible = 1;
    t->cursor_keys_mode = 0;

    t->region_top = 0;
    t->region_bottom = t->rows - 1;
    t->parser_state = 0;
    t->param_count = 0;
    t->private_marker = 0;
    t->intermediate = 0;
    t->saved.column = 0;
    t->saved.row = 0;

    t->petscii_lower = 0;
    t->petscii_reverse = 0;
    t->g0_graphics = 0;
    t->g1_graphics = 0;
    t->shift_out = 0;
    t->music_pending = 0;
    t->petscii_colour = emulation_traits(t->emulation).petscii_colour;

    t->ascii_text = t->text_mode == PETSCII_TEXT_ASCII;
    t->crlf_count = 0;
    t->lower_count = 0;
    t->byte_count = 0;
    t->after_cr = 0;
    t->ascii_escape = ASCII_ESCAPE_NONE;

    term_reset_rendition(t);
    term_update_attr(t);

    t->saved.fg = 7;
    t->saved.bg = 0;
    t->saved.bold = t->saved.blink = t->saved.reverse = 0;
    t->saved.ext_fg = t->saved.ext_bg = -1;
}

void term_set_text_mode(Terminal *t, int mode) {
    t->text_mode = mode == PETSCII_TEXT_ASCII || mode == PETSCII_TEXT_PETSCII ? (PetsciiTextMode)mode
                                                                              : PETSCII_TEXT_AUTO;
    t->ascii_text = t->text_mode == PETSCII_TEXT_ASCII;
    t->crlf_count = 0;
    t->lower_count = 0;
    t->screen_changed = 1;
}

int term_take_bells(Terminal *t) {
    int bells = t->bell_count;
    t->bell_count = 0;
    return bells;
}

void term_reset_rendition(Terminal *t) {
    t->fg = 7;
    t->bg = 0;
    t->bold = t->blink = t->reverse = t->concealed = 0;
    t->bright_fg = t->bright_bg = 0;
    t->ext_fg = t->ext_bg = -1;
}

void term_clear_screen(Terminal *t) {
    term_update_attr(t);
    for (int r = 0; r < t->rows && r < TERM_MAX_ROWS; r++) blank_row(t, r);
    t->cursor_column = 0;
    t->cursor_row = 0;
    t->wrap_pending = 0;
    t->screen_changed = 1;
}

void term_update_attr(Terminal *t) {
    int fg, bg;
    if (emulation_is_petscii(t->emulation)) {
        fg = PALETTE_C64 + (t->petscii_colour & 15);
        bg = PALETTE_C64;
        if (t->petscii_reverse) {
            int swap = fg;
            fg = bg;
            bg = swap;
        }
        t->current_flags = CELL_PETSCII;
    } else {
        if (t->ext_fg >= 0)
            fg = t->ext_fg;
        else
            fg = kAnsiToPc[t->fg & 7] + ((t->bold || t->bright_fg) ? 8 : 0);
        if (t->ext_bg >= 0)
            bg = t->ext_bg;
        else
            bg = kAnsiToPc[t->bg & 7] + ((t->bright_bg || (t->blink && t->ice_colors)) ? 8 : 0);
        t->current_flags = (t->blink && !t->ice_colors) ? CELL_BLINK : 0;
        if (t->reverse) {
            int swap = fg;
            fg = bg;
            bg = swap;
        }
        if (t->concealed) fg = bg;
    }
    t->current_fg = (uint16_t)fg;
    t->current_bg = (uint16_t)bg;
}

void term_clear_cells(Terminal *t, int row, int first, int end) {
    if (row < 0 || row >= t->rows) return;
    if (first < 0) first = 0;
    if (end > t->columns) end = t->columns;
    Cell blank = blank_cell(t);
    Cell *cells = term_row(t, row);
    for (int c = first; c < end; c++) cells[c] = blank;
    t->screen_changed = 1;
}

// Rotates row_slot[top..bottom] by k rows (k > 0 up, k < 0 down); |k| is below the region height.
static void rotate_rows(Terminal *t, int top, int bottom, int k) {
    uint8_t slots[TERM_MAX_ROWS];
    int height = bottom - top + 1;
    if (k < 0) k += height; // down by k is up by height - k
    uint8_t *rows = t->row_slot + top;
    memcpy(slots, rows + k, (size_t)(height - k));
    memcpy(slots + height - k, rows, (size_t)k);
    memcpy(rows, slots, (size_t)height);
}

// How many rows a scroll of count moves in top..bottom, at most the region's height; 0 when it does
// nothing (a reversed range still marks the screen changed).
static int scroll_rows(Terminal *t, int top, int bottom, int count) {
    if (count < 1) return 0;
    if (bottom < top) {
        t->screen_changed = 1;
        return 0;
    }
    if (top < 0 || bottom >= t->rows) return 0;
    t->screen_changed = 1;
    int height = bottom - top + 1;
    return count < height ? count : height;
}

void term_scroll_up(Terminal *t, int top, int bottom, int count) {
    int k = scroll_rows(t, top, bottom, count);
    if (k == 0) return;
    if (top == 0 && bottom == t->rows - 1)
        for (int r = 0; r < k; r++) term_scrollback_push_row(t, r);
    if (k < bottom - top + 1) rotate_rows(t, top, bottom, k);
    for (int r = bottom - k + 1; r <= bottom; r++) blank_row(t, r);
}

void term_scroll_down(Terminal *t, int top, int bottom, int count) {
    int k = scroll_rows(t, top, bottom, count);
    if (k == 0) return;
    if (k < bottom - top + 1) rotate_rows(t, top, bottom, -k);
    for (int r = top; r < top + k; r++) blank_row(t, r);
}

void term_line_feed(Terminal *t) {
    t->wrap_pending = 0;
    if (t->cursor_row == t->region_bottom)
        term_scroll_up(t, t->region_top, t->region_bottom, 1);
    else if (t->cursor_row < t->rows - 1)
        t->cursor_row++;
}

bool term_is_zero_width(uint32_t c) {
    return (c >= 0x300 && c <= 0x36F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF;
}

bool term_is_wide(uint32_t c) {
    if (c < 0x1100) return false;
    return (c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x1F900 && c <= 0x1F9FF) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

void term_put_glyph(Terminal *t, uint32_t code) {
    bool wide = false;
    if (code >= 0x300) {
        if (term_is_zero_width(code)) return;
        wide = !emulation_is_petscii(t->emulation) && term_is_wide(code);
    }
    if (t->wrap_pending && t->auto_wrap) {
        t->cursor_column = 0;
        term_line_feed(t);
    }
    t->wrap_pending = 0;
    int last = t->columns - 1;
    if (wide && t->cursor_column == last && t->auto_wrap) {
        term_row(t, t->cursor_row)[last] = blank_cell(t);
        t->cursor_column = 0;
        term_line_feed(t);
    }
    Cell *cells = term_row(t, t->cursor_row);
    cells[t->cursor_column] = Cell{code, t->current_fg, t->current_bg, t->current_flags};
    t->last_glyph = code;
    t->screen_changed = 1;
    if (wide && t->cursor_column < last) {
        t->cursor_column++;
        cells[t->cursor_column] = Cell{0, t->current_fg, t->current_bg, t->current_flags};
    }
    if (t->cursor_column < last) {
        t->cursor_column++;
    } else if (emulation_is_petscii(t->emulation)) {
        t->cursor_column = 0; // PETSCII wraps at once
        term_line_feed(t);
    } else if (t->auto_wrap) {
        t->wrap_pending = 1;
    }
}

uint32_t term_cell_glyph(const Terminal *t, const Cell &cell, int full_unicode) {
    if (!(cell.flags & CELL_PETSCII)) return cell.code;
    if (t->ascii_text && cell.code < 128) return cell.code >= 32 ? cell.code : ' ';
    return petscii_to_unicode(cell.code, t->petscii_lower, full_unicode);
}

void term_clamp_cursor(Terminal *t) {
    if (t->cursor_column < 0) t->cursor_column = 0;
    if (t->cursor_column > t->columns - 1) t->cursor_column = t->columns - 1;
    if (t->cursor_row < 0) t->cursor_row = 0;
    if (t->cursor_row > t->rows - 1) t->cursor_row = t->rows - 1;
}

void term_save_cursor(Terminal *t) {
    t->saved = SavedCursor{t->cursor_column, t->cursor_row, t->fg,     t->bg,    t->bold,
                           t->blink,         t->reverse,    t->ext_fg, t->ext_bg};
}

void term_restore_cursor(Terminal *t) {
    t->cursor_column = t->saved.column;
    t->cursor_row = t->saved.row;
    t->wrap_pending = 0;
    if (emulation_traits(t->emulation).restores_colours) {
        t->fg = t->saved.fg;
        t->bg = t->saved.bg;
        t->bold = t->saved.bold;
        t->blink = t->saved.blink;
        t->reverse = t->saved.reverse;
        t->ext_fg = t->saved.ext_fg;
        t->ext_bg = t->saved.ext_bg;
        term_update_attr(t);
    }
    term_clamp_cursor(t);
}

void term_set_emulation(Terminal *t, int emulation, int rows) {
    if (rows < 1) rows = 1;
    if (rows > TERM_MAX_ROWS) rows = TERM_MAX_ROWS;
    int columns = emulation_columns(emulation);
    bool stays =
        emulation_is_petscii(t->emulation) == emulation_is_petscii(emulation) && columns == t->columns;
    t->emulation = emulation;
    t->columns = columns;
    if (rows != t->rows) {
        if (rows < t->rows && t->cursor_row >= rows) {
            int shift = t->cursor_row - rows + 1;
            term_scroll_up(t, 0, t->rows - 1, shift); // the top rows go to the scrollback
            t->cursor_row -= shift;
        }
        t->rows = rows;
    }
    if (t->cursor_row >= t->rows) t->cursor_row = t->rows - 1;
    if (t->cursor_column >= t->columns) t->cursor_column = t->columns - 1;
    t->region_top = 0;
    t->region_bottom = t->rows - 1;
    t->parser_state = 0;
    if (!stays) {
        t->scrollback_count = 0;
        t->scrollback_head = 0;
        term_soft_reset(t);
        term_clear_screen(t);
        // The rows below those in use too: they come back into view when the rows grow later (status
        // bar turned off), and must not show cells of the emulation left behind.
        for (int r = t->rows; r < TERM_MAX_ROWS; r++) blank_row(t, r);
    }
    int fixed = emulation_traits(emulation).text_encoding;
    if (fixed != TEXT_UNDECIDED)
        t->text_encoding = fixed;
    else if (!emulation_is_petscii(emulation) && !stays)
        t->text_encoding = TEXT_UNDECIDED;
    term_update_attr(t);
    t->screen_changed = 1;
}

void term_scrollback_push_row(Terminal *t, int row) {
    if (!t->scrollback || t->scrollback_capacity < 1) return;
    memcpy((void *)(t->scrollback + (size_t)t->scrollback_head * TERM_MAX_COLUMNS), term_row(t, row),
           sizeof(Cell) * TERM_MAX_COLUMNS);
    t->scrollback_head = (t->scrollback_head + 1) % t->scrollback_capacity;
    if (t->scrollback_count < t->scrollback_capacity) t->scrollback_count++;
}

void term_scrollback_push_screen(Terminal *t) {
    int last = -1;
    for (int r = 0; r < t->rows; r++) {
        const Cell *cells = term_row(t, r);
        for (int c = 0; c < t->columns; c++)
            if (cells[c].code != 32 || cells[c].bg != 0) {
                last = r;
                break;
            }
    }
    for (int r = 0; r <= last; r++) term_scrollback_push_row(t, r);
}

const Cell *term_scrollback_line(const Terminal *t, int index) {
    if (!t->scrollback || index < 0 || index >= t->scrollback_count) return nullptr;
    int slot =
        (index + t->scrollback_head - t->scrollback_count + t->scrollback_capacity) % t->scrollback_capacity;
    return t->scrollback + (size_t)slot * TERM_MAX_COLUMNS;
}

const char *term_charset_label(const Terminal *t) {
    const EmulationTraits &e = emulation_traits(t->emulation);
    if (e.petscii) return t->ascii_text ? "ASCII" : "";
    if (!e.shows_encoding) return "";
    static const char *const kLabels[] = {"Auto", "437", "UTF8"}; // by TextEncoding
    return kLabels[e.text_encoding != TEXT_UNDECIDED ? e.text_encoding : t->text_encoding];
}
