// Ground-state text of the ANSI interpreter, written a run at a time: printable ASCII and CP437
// bytes, DEC Special Graphics, and strict UTF-8. Each writer leaves exactly what term_put_glyph would
// leave glyph by glyph; it only skips the per-glyph checks while glyphs land inside one row.
#include "base/utf8.h"
#include "term/charset.h"
#include "term/interp.h"

static bool graphics_active(const Terminal *t) {
    return t->shift_out ? t->g1_graphics : t->g0_graphics;
}

// One cell wide and not of zero width; the common ranges are decided without the full tables.
static inline bool is_narrow(uint32_t c) {
    if (c < 0x300) return true;
    if (c < 0x1100) return c > 0x36F;
    if (c >= 0x2100 && c < 0x2E80) return true; // letterlike symbols to box drawing and arrows
    return !term_is_zero_width(c) && !term_is_wide(c);
}

// Printable ASCII, or every byte but the C0 controls and DEL while reading CP437.
static inline bool is_text_byte(uint8_t b, bool cp437) {
    return cp437 ? b >= 0x20 && b != 0x7F : (uint8_t)(b - 0x20) < 0x5F;
}

// Through the CP437 table, which is the identity for ASCII and has no wide or zero-width glyph.
const uint8_t *ansi_put_text(Terminal *t, const uint8_t *p, const uint8_t *end, bool cp437) {
    if (graphics_active(t)) {
        for (; p < end && is_text_byte(*p, cp437); p++) {
            uint8_t b = *p;
            term_put_glyph(t, b >= 0x5F && b <= 0x7E ? dec_special_graphics[b - 0x5F] : cp437_to_unicode[b]);
        }
        return p;
    }
    const int last = t->columns - 1;
    const uint16_t fg = t->current_fg, bg = t->current_bg;
    const uint8_t flags = t->current_flags;
    while (p < end) {
        if (t->wrap_pending || t->cursor_column >= last) {
            if (!is_text_byte(*p, cp437)) break;
            term_put_glyph(t, cp437_to_unicode[*p++]);
            continue;
        }
        // The rest of the row, up to and including the last column.
        Cell *cell = term_row(t, t->cursor_row) + t->cursor_column;
        long room = last - t->cursor_column + 1;
        const uint8_t *stop = end - p < room ? end : p + room;
        const uint8_t *q = p;
        for (; q < stop && is_text_byte(*q, cp437); q++, cell++)
            *cell = Cell{cp437_to_unicode[*q], fg, bg, flags};
        if (q == p) break;
        t->last_glyph = cell[-1].code;
        t->screen_changed = 1;
        t->cursor_column += (int)(q - p);
        if (t->cursor_column > last) {
            t->cursor_column = last;
            if (t->auto_wrap) t->wrap_pending = 1;
        }
        bool more = q == stop;
        p = q;
        if (!more) break;
    }
    return p;
}

const uint8_t *ansi_put_utf8_text(Terminal *t, const uint8_t *p, const uint8_t *end) {
    if (graphics_active(t)) return p; // ASCII needs the graphics mapping: byte-wise path
    const uint16_t fg = t->current_fg, bg = t->current_bg;
    const uint8_t flags = t->current_flags;
    const int last = t->columns - 1;
    // The cursor is kept in locals while glyphs land inside the row; stored back before any call.
    Cell *row = term_row(t, t->cursor_row);
    int column = t->cursor_column;
    bool in_row = !t->wrap_pending;
    uint32_t written = 0; // the last code written in place, 0 for none
    while (p < end) {
        uint32_t code;
        int length = 1;
        if ((uint8_t)(*p - 0x20) < 0x5F) // printable ASCII
            code = *p;
        else if (*p < 0x80 || (length = utf8_decode(p, end - p, &code)) <= 0)
            break; // controls, and what is not (yet) a whole character, go byte by byte
        p += length;
        if (in_row && column < last && is_narrow(code)) {
            row[column++] = Cell{code, fg, bg, flags};
            written = code;
            continue;
        }
        t->cursor_column = column;
        if (written) t->last_glyph = written, t->screen_changed = 1, written = 0;
        term_put_glyph(t, code);
        row = term_row(t, t->cursor_row);
        column = t->cursor_column;
        in_row = !t->wrap_pending;
    }
    t->cursor_column = column;
    if (written) t->last_glyph = written, t->screen_changed = 1;
    return p;
}
