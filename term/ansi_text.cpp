// Ground-state text of the ANSI interpreter, written a run at a time: printable ASCII and CP437
// bytes, DEC Special Graphics, and strict UTF-8. Each writer leaves exactly what term_put_glyph would
// leave glyph by glyph; it only skips the per-glyph checks while glyphs land inside one row.
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

static inline bool is_continuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// The code point of the well-formed sequence or printable ASCII byte at p, and its length; 0 for
// anything else (controls, malformed or unfinished sequences), which the byte-wise path then takes.
static inline int decode_strict(const uint8_t *p, const uint8_t *end, uint32_t *code) {
    uint8_t b = p[0];
    long left = end - p;
    if (b >= 0x20 && b < 0x7F) {
        *code = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        if (left < 2 || !is_continuation(p[1])) return 0;
        *code = (uint32_t)(b & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        if (left < 3 || !is_continuation(p[1]) || !is_continuation(p[2])) return 0;
        uint32_t c = (uint32_t)(b & 0x0F) << 12 | (uint32_t)(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return 0;
        *code = c;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (left < 4 || !is_continuation(p[1]) || !is_continuation(p[2]) || !is_continuation(p[3])) return 0;
        uint32_t c = (uint32_t)(b & 0x07) << 18 | (uint32_t)(p[1] & 0x3F) << 12 |
                     (uint32_t)(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        if (c < 0x10000 || c > 0x10FFFF) return 0;
        *code = c;
        return 4;
    }
    return 0;
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
        int length = decode_strict(p, end, &code);
        if (length == 0) break;
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
