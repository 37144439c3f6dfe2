// The PETSCII interpreter, after the C64 / C128 screen editor: colour codes, reverse, the character-set
// switch, cursor keys, home, clear, insert and delete. Printable bytes are stored as folded PETSCII
// codes and mapped to glyphs only when the screen is composed. Many hosts reached in PETSCII send
// plain ASCII menus, so in auto-detect mode the byte stream decides between PETSCII and ASCII handling.
#include "term/interp.h"

enum { TEXT_MODE_AUTO = 0, TEXT_MODE_ASCII = 1, TEXT_MODE_PETSCII = 2 };

// C64 colour number of a colour control code, or -1.
static int colour_of(uint8_t b) {
    switch (b) {
    case 0x05: return 1;  // white
    case 0x1C: return 2;  // red
    case 0x1E: return 5;  // green
    case 0x1F: return 6;  // blue
    case 0x81: return 8;  // orange
    case 0x90: return 0;  // black
    case 0x95: return 9;  // brown
    case 0x96: return 10; // light red
    case 0x97: return 11; // dark grey
    case 0x98: return 12; // grey
    case 0x99: return 13; // light green
    case 0x9A: return 14; // light blue
    case 0x9B: return 15; // light grey
    case 0x9C: return 4;  // purple
    case 0x9E: return 7;  // yellow
    case 0x9F: return 3;  // cyan
    default: return -1;
    }
}

// Bytes that only PETSCII text contains: colour codes, screen-editor controls and 0xA0 up.
static bool is_petscii_sign(uint8_t b) {
    if (b >= 0xA0 || colour_of(b) >= 0) return true;
    switch (b) {
    case 0x0E:
    case 0x11:
    case 0x12:
    case 0x13:
    case 0x14:
    case 0x1D:
    case 0x8D:
    case 0x8E:
    case 0x91:
    case 0x92:
    case 0x93:
    case 0x94:
    case 0x9D: return true;
    default: return false;
    }
}

static void set_ascii_text(Terminal *t, int on) {
    if (t->ascii_text == on) return;
    t->ascii_text = on;
    t->screen_changed = 1; // cells already on the screen change their look
}

// ASCII is taken on after two CR LF pairs, eight small letters and 32 bytes without a PETSCII sign.
static void detect_text_mode(Terminal *t, uint8_t b) {
    if (is_petscii_sign(b)) {
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
    if (t->ascii_escape_state == 1) {
        t->ascii_escape_state = b == '[' ? 2 : 0;
        return;
    }
    if (t->ascii_escape_state == 2) {
        if (b >= 0x40 && b <= 0x7E) t->ascii_escape_state = 0;
        return;
    }
    switch (b) {
    case 0x07:
        if (t->bell_count < TERM_COUNTER_CAP) t->bell_count++;
        break;
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
    case 0x1B: t->ascii_escape_state = 1; break;
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

// The duplicate code ranges fold onto the ones the character tables cover.
static uint32_t fold_printable(uint8_t b) {
    if (b == 0xFF) return 0x7E;
    if (b >= 0xE0) return b - 0x40u;
    if (b >= 0xC0) return b - 0x60u;
    return b;
}

static void petscii_byte(Terminal *t, uint8_t b) {
    int colour = colour_of(b);
    if (colour >= 0) {
        t->petscii_colour = colour;
        term_update_attr(t);
        return;
    }
    const int last = t->columns - 1;
    switch (b) {
    case 0x07:
        if (t->bell_count < TERM_COUNTER_CAP) t->bell_count++;
        break;
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
        if ((b >= 0x20 && b <= 0x7F) || b >= 0xA0) term_put_glyph(t, fold_printable(b));
        break; // other control codes, 0x08-0x0A among them, are dropped
    }
}

void petscii_feed(Terminal *t, const uint8_t *bytes, int length) {
    for (int i = 0; i < length; i++) {
        uint8_t b = bytes[i];
        if (t->text_mode == TEXT_MODE_AUTO) detect_text_mode(t, b);
        if (t->ascii_text)
            ascii_byte(t, b);
        else
            petscii_byte(t, b);
    }
}
