// Dispatch of complete CSI sequences: cursor movement, erasing, insertion and deletion, scrolling,
// the scroll region, DEC private modes and the status replies (ECMA-48 8.3, DEC STD 070).
#include <cstring>

#include "term/interp.h"
#include "base/text.h"

static void send_reply(Terminal *t, const char *text, int length) {
    if (t->reply_sink) t->reply_sink((const uint8_t *)text, length);
}

static void send_position_report(Terminal *t, int row, int column) {
    char reply[64];
    int length = text_format(reply, sizeof reply, "\x1b[%d;%dR", row, column);
    send_reply(t, reply, length);
}

// DECSET / DECRST: CSI ? Pn h / l.
static void set_private_modes(Terminal *t, bool on) {
    for (int i = 0; i < t->param_count; i++) {
        switch (t->params[i]) {
        case 1: t->cursor_keys_mode = on; break; // DECCKM
        case 7:                                  // DECAWM
            t->auto_wrap = on;
            if (!on) t->wrap_pending = 0;
            break;
        case 25: // DECTCEM
            t->cursor_visible = on;
            t->screen_changed = 1;
            break;
        default: break;
        }
    }
}

// ICH: the cells from the cursor move right by n; those pushed past the edge are lost.
static void insert_blanks(Terminal *t, int n) {
    int column = t->cursor_column, room = t->columns - column;
    if (n > room) n = room;
    Cell *cells = term_row(t, t->cursor_row);
    memmove((void *)(cells + column + n), cells + column, sizeof(Cell) * (size_t)(room - n));
    term_clear_cells(t, t->cursor_row, column, column + n);
}

// DCH: the cells right of the n deleted ones move left; the last n columns are blanked.
static void delete_cells(Terminal *t, int n) {
    int column = t->cursor_column, room = t->columns - column;
    if (n > room) n = room;
    Cell *cells = term_row(t, t->cursor_row);
    memmove((void *)(cells + column), cells + column + n, sizeof(Cell) * (size_t)(room - n));
    term_clear_cells(t, t->cursor_row, t->columns - n, t->columns);
}

// ED, erase in display.
static void erase_display(Terminal *t, int mode) {
    int row = t->cursor_row;
    switch (mode) {
    case 0:
        term_clear_cells(t, row, t->cursor_column, t->columns);
        for (int r = row + 1; r < t->rows; r++) term_clear_cells(t, r, 0, t->columns);
        break;
    case 1:
        for (int r = 0; r < row; r++) term_clear_cells(t, r, 0, t->columns);
        term_clear_cells(t, row, 0, t->cursor_column + 1);
        break;
    case 2:
    case 3:
        if (emulation_traits(t->emulation).page_to_scrollback) {
            term_scrollback_push_screen(t); // BBS art clears with ED 2: keep the old page
            term_clear_screen(t);
        } else {
            for (int r = 0; r < t->rows; r++) term_clear_cells(t, r, 0, t->columns);
        }
        break;
    default: break;
    }
    t->wrap_pending = 0;
}

// EL, erase in line.
static void erase_line(Terminal *t, int mode) {
    if (mode == 0)
        term_clear_cells(t, t->cursor_row, t->cursor_column, t->columns);
    else if (mode == 1)
        term_clear_cells(t, t->cursor_row, 0, t->cursor_column + 1);
    else
        term_clear_cells(t, t->cursor_row, 0, t->columns);
}

// DECSTBM: an invalid region leaves the old one; the cursor goes home either way.
static void set_region(Terminal *t, int n) {
    if (t->param_count == 0) {
        t->region_top = 0;
        t->region_bottom = t->rows - 1;
    } else {
        int top = n - 1;
        int bottom = (t->param_count >= 2 && t->params[1] >= 1) ? t->params[1] : t->rows;
        if (bottom > t->rows) bottom = t->rows;
        bottom -= 1;
        if (top < bottom) {
            t->region_top = top;
            t->region_bottom = bottom;
        }
    }
    t->cursor_column = 0;
    t->cursor_row = 0;
    t->wrap_pending = 0;
}

static void device_status(Terminal *t, int p1) {
    if (p1 == 5)
        send_reply(t, "\x1b[0n", 4);
    else if (p1 == 6)
        send_position_report(t, t->cursor_row + 1, t->cursor_column + 1);
    else if (p1 == 255)
        send_position_report(t, t->rows, t->columns); // screen size, as ANSI BBS doors ask
}

// The sequences without private marker or intermediate. n is the count (absent or 0 means 1).
static void dispatch_final(Terminal *t, uint8_t final_byte) {
    const int p1 = t->params[0]; // 0 when absent: the parameters were zeroed at ESC [
    const int n = (t->param_count >= 1 && p1 >= 2) ? p1 : 1;
    const int row = t->cursor_row;
    switch (final_byte) {
    case '@': insert_blanks(t, n); break; // ICH
    case 'A':                             // CUU: stops at the region top when starting inside it
        t->cursor_row = row - n;
        if (row >= t->region_top && t->cursor_row < t->region_top) t->cursor_row = t->region_top;
        t->wrap_pending = 0;
        break;
    case 'B': // CUD: stops at the region bottom when starting inside it
        t->cursor_row = row + n;
        if (row <= t->region_bottom && t->cursor_row > t->region_bottom) t->cursor_row = t->region_bottom;
        t->wrap_pending = 0;
        break;
    case 'C': // CUF
    case 'a': // HPR
        t->cursor_column += n;
        t->wrap_pending = 0;
        break;
    case 'D': // CUB
        t->cursor_column -= n;
        t->wrap_pending = 0;
        break;
    case 'E': // CNL
        t->cursor_row = row + n;
        t->cursor_column = 0;
        t->wrap_pending = 0;
        break;
    case 'F': // CPL
        t->cursor_row = row - n;
        t->cursor_column = 0;
        t->wrap_pending = 0;
        break;
    case 'G': // CHA
    case '`': // HPA
        t->cursor_column = n - 1;
        t->wrap_pending = 0;
        break;
    case 'H': // CUP, always relative to the screen
    case 'f': // HVP
        if (t->param_count == 0) {
            t->cursor_row = 0;
            t->cursor_column = 0;
        } else {
            t->cursor_row = n - 1;
            t->cursor_column = (t->param_count >= 2 && t->params[1] >= 2 ? t->params[1] : 1) - 1;
        }
        t->wrap_pending = 0;
        break;
    case 'I': // CHT: n tab stops forward, computed at once so a huge n costs nothing
        t->cursor_column = (t->cursor_column / 8 + n) * 8;
        break;
    case 'J': erase_display(t, p1); break; // ED
    case 'K': erase_line(t, p1); break;    // EL
    case 'L':                              // IL
        if (row >= t->region_top && row <= t->region_bottom) term_scroll_down(t, row, t->region_bottom, n);
        break;
    case 'M': // DL
        if (row >= t->region_top && row <= t->region_bottom) term_scroll_up(t, row, t->region_bottom, n);
        break;
    case 'N': // ANSI music introducers
    case '|': t->music_pending = 1; break;
    case 'P': delete_cells(t, n); break;                                               // DCH
    case 'S': term_scroll_up(t, t->region_top, t->region_bottom, n); break;            // SU
    case 'T': term_scroll_down(t, t->region_top, t->region_bottom, n); break;          // SD
    case 'X': term_clear_cells(t, row, t->cursor_column, t->cursor_column + n); break; // ECH
    case 'Z': // CBT: n tab stops back, stopping at column 0
        for (int i = 0; i < n && t->cursor_column > 0; i++) t->cursor_column = (t->cursor_column - 1) / 8 * 8;
        t->wrap_pending = 0; // else the next glyph would wrap from a column the cursor has left
        break;
    case 'b': { // REP, capped so that a huge count stays cheap
        uint32_t glyph = t->last_glyph ? t->last_glyph : ' ';
        for (int i = 0; i < n && i < 2000; i++) term_put_glyph(t, glyph);
        break;
    }
    case 'c': // DA
        if (p1 == 0) send_reply(t, "\x1b[?1;0c", 7);
        break;
    case 'd': // VPA
        t->cursor_row = n - 1;
        t->wrap_pending = 0;
        break;
    case 'm': ansi_apply_sgr(t); break;      // SGR
    case 'n': device_status(t, p1); break;   // DSR
    case 'r': set_region(t, n); break;       // DECSTBM
    case 's': term_save_cursor(t); break;    // SCOSC
    case 'u': term_restore_cursor(t); break; // SCORC
    default: break;
    }
}

void ansi_dispatch_csi(Terminal *t, uint8_t final_byte) {
    if (t->private_marker == '?' && (final_byte == 'h' || final_byte == 'l')) {
        set_private_modes(t, final_byte == 'h');
    } else if (!t->private_marker && !t->intermediate) {
        dispatch_final(t, final_byte);
        if (final_byte != 'b') term_clamp_cursor(t);
    }
    if (t->music_pending) {
        t->music_pending = 0;
        t->parser_state = PARSE_MUSIC;
    }
}
