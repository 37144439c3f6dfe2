// The PETSCII interpreter, after the C64 / C128 screen editor: colour codes, reverse, the character-set
// switch, cursor keys, home, clear, insert and delete. Printable bytes are stored as folded PETSCII
// codes and mapped to glyphs only when the screen is composed. Many hosts reached in PETSCII send
// plain ASCII menus, so in auto-detect mode the byte stream decides between PETSCII and ASCII handling.
#include <array>

#include "term/charset.h"
#include "term/interp.h"

// The colour control codes of the C64 keyboard (CTRL and C= with the digit keys).
struct ColourCode {
    uint8_t byte;
    uint8_t colour; // C64 colour number
};
static constexpr ColourCode kColourCodes[16] = {
    {0x90, 0},  // black
    {0x05, 1},  // white
    {0x1C, 2},  // red
    {0x9F, 3},  // cyan
    {0x9C, 4},  // purple
    {0x1E, 5},  // green
    {0x1F, 6},  // blue
    {0x9E, 7},  // yellow
    {0x81, 8},  // orange
    {0x95, 9},  // brown
    {0x96, 10}, // light red
    {0x97, 11}, // dark grey
    {0x98, 12}, // grey
    {0x99, 13}, // light green
    {0x9A, 14}, // light blue
    {0x9B, 15}, // light grey
};

// Screen-editor controls that plain ASCII text never contains.
static constexpr uint8_t kSignControls[] = {
    0x0E, // lower / upper case set
    0x11, // cursor down
    0x12, // reverse on
    0x13, // home
    0x14, // delete
    0x1D, // cursor right
    0x8D, // shifted return
    0x8E, // upper case / graphics set
    0x91, // cursor up
    0x92, // reverse off
    0x93, // clear
    0x94, // insert
    0x9D, // cursor left
};

enum : int8_t { NO_COLOUR = -1 };

// Per byte: the colour of a colour code, or NO_COLOUR.
static constexpr auto kColourOf = [] {
    std::array<int8_t, 256> table{};
    table.fill(NO_COLOUR);
    for (const ColourCode &code : kColourCodes) table[code.byte] = (int8_t)code.colour;
    return table;
}();

// Per byte: whether only PETSCII text contains it (colour codes, the controls above, 0xA0 up).
static constexpr auto kIsSign = [] {
    std::array<bool, 256> table{};
    for (int b = 0xA0; b < 256; b++) table[b] = true;
    for (const ColourCode &code : kColourCodes) table[code.byte] = true;
    for (uint8_t b : kSignControls) table[b] = true;
    return table;
}();

static void set_ascii_text(Terminal *t, int on) {
    if (t->ascii_text == on) return;
    t->ascii_text = on;
    t->screen_changed = 1; // cells already on the screen change their look
}

// ASCII is taken on after two CR LF pairs, eight small letters and 32 bytes without a PETSCII sign.
static void detect_text_mode(Terminal *t, uint8_t b) {
    if (kIsSign[b]) {
        t->crlf_count = t->lower_count = t->byte_count = 0;
        set_ascii_text(t, 0);
    } else {
        if (t->byte_count <= 99999) t->byte_count++;
        if (b >= 'a' && b <= 'z') {
            if (t->lower_count < TERM_COUNTER_CAP) t->lower_count++;
        } else if (b == '\n' && t->after_cr) {
            if (t->crlf_count < TERM_COUNTER_CAP) t->crlf_count++;
        }
        if (!t->ascii_text && t->crlf_count >= 2 && t->lower_count >= 8 && t->byte_count >= 32)
            set_ascii_text(t, 1);
    }
    t->after_cr = b == '\r';
}

static void next_tab_stop(Terminal *t) {
    int column = (t->cursor_column / 8 + 1) * 8;
    t->cursor_column = column < t->columns - 1 ? column : t->columns - 1;
}

// Plain ASCII text; ANSI escape sequences are swallowed whole.
static void ascii_byte(Terminal *t, uint8_t b) {
    if (t->ascii_escape == ASCII_ESCAPE_ESC) {
        t->ascii_escape = b == '[' ? ASCII_ESCAPE_CSI : ASCII_ESCAPE_NONE;
        return;
    }
    if (t->ascii_escape == ASCII_ESCAPE_CSI) {
        if (b >= 0x40 && b <= 0x7E) t->ascii_escape = ASCII_ESCAPE_NONE;
        return;
    }
    switch (b) {
    case 0x07: count_bell(t); break;
    case 0x08:
    case 0x7F:
        if (t->cursor_column > 0) {
            t->cursor_column--;
            term_row(t, t->cursor_row)[t->cursor_column].code = ' ';
            t->screen_changed = 1;
        }
        break;
    case 0x09: next_tab_stop(t); break;
    case 0x0A: term_line_feed(t); break;
    case 0x0C: term_clear_screen(t); break;
    case 0x0D: t->cursor_column = 0; break;
    case 0x1B: t->ascii_escape = ASCII_ESCAPE_ESC; break;
    default:
        if (b >= 0x20 && b <= 0x7E) term_put_glyph(t, b);
        break;
    }
}

// DEL key of the screen editor: the rest of the row closes up; the vacated cell keeps its colours.
static void delete_left(Terminal *t) {
    int last = t->columns - 1;
    if (t->cursor_column > 0) {
        t->cursor_column--;
        Cell *cells = term_row(t, t->cursor_row);
        for (int c = t->cursor_column; c < last; c++) cells[c] = cells[c + 1];
        cells[last].code = ' ';
    } else if (t->cursor_row > 0) {
        t->cursor_row--;
        t->cursor_column = last;
        term_row(t, t->cursor_row)[last].code = ' ';
    }
    t->screen_changed = 1;
}

// INST key: the row opens a cell at the cursor; the last cell's content is lost.
static void insert_space(Terminal *t) {
    Cell *cells = term_row(t, t->cursor_row);
    for (int c = t->columns - 1; c > t->cursor_column; c--) cells[c] = cells[c - 1];
    cells[t->cursor_column].code = ' ';
    t->screen_changed = 1;
}

static void set_reverse(Terminal *t, int on) {
    t->petscii_reverse = on;
    term_update_attr(t);
}

// term_put_glyph, written in place while the glyph is not the last of its row.
static inline void put_code(Terminal *t, uint32_t code) {
    if (t->wrap_pending || t->cursor_column >= t->columns - 1) {
        term_put_glyph(t, code);
        return;
    }
    term_row(t, t->cursor_row)[t->cursor_column++] =
        Cell{code, t->current_fg, t->current_bg, t->current_flags};
    t->last_glyph = code;
    t->screen_changed = 1;
}

static void petscii_byte(Terminal *t, uint8_t b) {
    int colour = kColourOf[b];
    if (colour != NO_COLOUR) {
        t->petscii_colour = colour;
        term_update_attr(t);
        return;
    }
    const int last = t->columns - 1;
    switch (b) {
    case 0x07: count_bell(t); break;
    case 0x0D: // RETURN and shifted RETURN; both end reverse, as on the C64
    case 0x8D:
        t->cursor_column = 0;
        term_line_feed(t);
        set_reverse(t, 0);
        break;
    case 0x0E: // lower / upper case set
        t->petscii_lower = 1;
        t->screen_changed = 1;
        break;
    case 0x8E: // upper case / graphics set
        t->petscii_lower = 0;
        t->screen_changed = 1;
        break;
    case 0x11: term_line_feed(t); break; // cursor down, scrolling at the bottom
    case 0x91:                           // cursor up
        if (t->cursor_row > 0) t->cursor_row--;
        break;
    case 0x1D: // cursor right, wrapping to the next row
        if (t->cursor_column < last) {
            t->cursor_column++;
        } else {
            t->cursor_column = 0;
            term_line_feed(t);
        }
        break;
    case 0x9D: // cursor left, wrapping to the end of the row above
        if (t->cursor_column > 0) {
            t->cursor_column--;
        } else if (t->cursor_row > 0) {
            t->cursor_row--;
            t->cursor_column = last;
        }
        break;
    case 0x12: set_reverse(t, 1); break; // RVS ON
    case 0x92: set_reverse(t, 0); break; // RVS OFF
    case 0x13:                           // HOME
        t->cursor_row = 0;
        t->cursor_column = 0;
        break;
    case 0x93: // CLR
        set_reverse(t, 0);
        term_clear_screen(t);
        break;
    case 0x14: delete_left(t); break;  // DEL
    case 0x94: insert_space(t); break; // INST
    default:
        if ((b >= 0x20 && b <= 0x7F) || b >= 0xA0) put_code(t, petscii_fold(b));
        break; // other control codes, 0x08-0x0A among them, are dropped
    }
}

void petscii_feed(Terminal *t, const uint8_t *bytes, int length) {
    for (int i = 0; i < length; i++) {
        uint8_t b = bytes[i];
        if (t->text_mode == PETSCII_TEXT_AUTO) detect_text_mode(t, b);
        if (t->ascii_text)
            ascii_byte(t, b);
        else
            petscii_byte(t, b);
    }
}
