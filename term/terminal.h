// The one emulated screen: grid of cells, cursor, scroll region, colour state, interpreter state,
// text-encoding detection and the scrollback ring. Screen operations shared by both interpreters.
#pragma once
#include <cstdint>

#include "base/emulation.h"

enum {
    TERM_MAX_ROWS = 26,
    TERM_MAX_COLUMNS = 80,
    TERM_MAX_PARAMS = 16,
};

// Cell flag bits.
enum : uint8_t {
    CELL_BLINK = 1,   // glyph hidden in the off phase of the blink timer
    CELL_PETSCII = 4, // code is a PETSCII character code, mapped to a glyph only when composed
};

// How a PETSCII screen reads the host's bytes (Terminal::text_mode).
enum PetsciiTextMode : int32_t {
    PETSCII_TEXT_AUTO = 0,    // PETSCII or plain ASCII text, as the bytes show (ascii_text)
    PETSCII_TEXT_ASCII = 1,   // plain ASCII text only
    PETSCII_TEXT_PETSCII = 2, // PETSCII only
    PETSCII_TEXT_MODES = 3,
};

// ASCII text on a PETSCII screen swallows ANSI escape sequences whole (Terminal::ascii_escape).
enum AsciiEscape : int32_t {
    ASCII_ESCAPE_NONE = 0,
    ASCII_ESCAPE_ESC = 1, // ESC seen
    ASCII_ESCAPE_CSI = 2, // ESC [ seen: everything up to the final byte is dropped
};

struct Cell {
    uint32_t code; // Unicode code point, 0 for the right half of a wide glyph; PETSCII code in PETSCII
    uint16_t fg;   // palette index
    uint16_t bg;   // palette index
    uint8_t flags;
};

struct SavedCursor {
    int32_t column, row, fg, bg, bold, blink, reverse, ext_fg, ext_bg;
};

typedef void (*TermReplySink)(const uint8_t *bytes, int length);

struct Terminal {
    int32_t columns; // 80; 40 for PETSCII 40 column
    int32_t rows;    // rows in use, at most 26
    // Rows are reached through term_row(): scrolling rotates row_slot instead of moving cells,
    // so screen row r lives in grid[row_slot[r]].
    Cell grid[TERM_MAX_ROWS][TERM_MAX_COLUMNS];
    uint8_t row_slot[TERM_MAX_ROWS];
    int32_t cursor_column;
    int32_t cursor_row;
    int32_t wrap_pending;
    int32_t auto_wrap;
    int32_t cursor_visible;
    int32_t cursor_keys_mode;
    int32_t region_top;
    int32_t region_bottom; // inclusive
    int32_t emulation;
    int32_t fg; // ANSI colour 0-7, ANSI order
    int32_t bg;
    int32_t bold;
    int32_t blink;
    int32_t reverse;
    int32_t concealed;
    int32_t bright_fg; // SGR 90-97
    int32_t bright_bg; // SGR 100-107
    int32_t ext_fg;    // palette index from SGR 38, or -1
    int32_t ext_bg;    // palette index from SGR 48, or -1
    int32_t ice_colors;
    uint16_t current_fg; // derived by term_update_attr
    uint16_t current_bg;
    uint8_t current_flags;
    SavedCursor saved;
    int32_t parser_state;
    int32_t params[TERM_MAX_PARAMS];
    int32_t param_count;
    uint8_t private_marker;
    uint8_t intermediate;
    uint32_t last_glyph;
    int32_t g0_graphics;
    int32_t g1_graphics;
    int32_t shift_out;
    int32_t music_pending;
    uint8_t utf8_bytes[4];
    int32_t utf8_held; // bytes of an unfinished UTF-8 character in utf8_bytes
    int32_t utf8_score;
    int32_t cp437_evidence;
    int32_t text_encoding; // TEXT_UNDECIDED, TEXT_CP437, TEXT_UTF8
    int32_t petscii_lower;
    int32_t petscii_reverse;
    int32_t petscii_colour;    // C64 colour 0-15
    int32_t ascii_text;        // PETSCII: the bytes are read as plain ASCII text
    PetsciiTextMode text_mode; // set with term_set_text_mode
    int32_t crlf_count;        // ASCII detection: CR LF pairs, small letters and bytes since a PETSCII sign
    int32_t lower_count;
    int32_t byte_count;
    int32_t after_cr;
    AsciiEscape ascii_escape;
    Cell *scrollback; // capacity x 80 cells, or nullptr
    int32_t scrollback_capacity;
    int32_t scrollback_count;
    int32_t scrollback_head;
    TermReplySink reply_sink; // may be null: replies are dropped
    int32_t screen_changed;
    int32_t bell_count;
};

// The program's one terminal.
extern Terminal g_terminal;

inline Cell *term_row(Terminal *t, int row) {
    return t->grid[t->row_slot[row]];
}
inline const Cell *term_row(const Terminal *t, int row) {
    return t->grid[t->row_slot[row]];
}

void term_build_tables();
void term_create(Terminal *t, int emulation, int rows, int scrollback_lines);
void term_release(Terminal *t);
// A new call: the screen cleared, the text-encoding decision and the PETSCII text mode back to automatic.
void term_reset_call(Terminal *t);
void term_soft_reset(Terminal *t);
// Sets the PETSCII text mode; ASCII detection starts over (the byte count stays).
void term_set_text_mode(Terminal *t, int mode);
// The bells rung since the last call; the count starts again from 0.
int term_take_bells(Terminal *t);
// Grey on black with no attributes (SGR 0); the caller derives the current colours.
void term_reset_rendition(Terminal *t);
void term_clear_screen(Terminal *t);
void term_set_emulation(Terminal *t, int emulation, int rows);
void term_update_attr(Terminal *t);
void term_clear_cells(Terminal *t, int row, int first, int end);
void term_scroll_up(Terminal *t, int top, int bottom, int count);
void term_scroll_down(Terminal *t, int top, int bottom, int count);
void term_line_feed(Terminal *t);
void term_put_glyph(Terminal *t, uint32_t code);
void term_clamp_cursor(Terminal *t);
void term_save_cursor(Terminal *t);
void term_restore_cursor(Terminal *t);
void term_scrollback_push_row(Terminal *t, int row);
void term_scrollback_push_screen(Terminal *t);
// Index 0 is the oldest stored line; nullptr when there is no such line.
const Cell *term_scrollback_line(const Terminal *t, int index);

// The byte interpreters: ANSI / VT100 / TTY, or PETSCII for the two PETSCII emulations.
void term_feed(Terminal *t, const uint8_t *bytes, int length);
// Settles a UTF-8 sequence whose remaining bytes have not come.
void term_resolve_pending(Terminal *t);

// The glyph a cell shows: its code, or for a PETSCII cell the glyph of its code in the character set in
// use (while the PETSCII screen shows ASCII text, codes below 128 as themselves, controls blank).
// Without full_unicode the glyphs keep to those a console font has.
uint32_t term_cell_glyph(const Terminal *t, const Cell &cell, int full_unicode);

// Glyph width classes (wide applies outside PETSCII only).
bool term_is_zero_width(uint32_t code);
bool term_is_wide(uint32_t code);
// The status bar's character-set label: "437", "UTF8", "Auto", "ASCII" or "".
const char *term_charset_label(const Terminal *t);
