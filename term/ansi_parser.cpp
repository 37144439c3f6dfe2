// The ANSI / VT100 / TTY byte interpreter: the parser states, the C0 control table, ESC sequences,
// the collection of CSI parameters and the swallowing of control strings and ANSI music.
// term_feed is also the entry of the PETSCII interpreter.
#include <cstring>

#include "term/charset.h"
#include "term/interp.h"

void ansi_execute_control(Terminal *t, uint8_t b) {
    switch (b) {
    case 0x00: // NUL
    case 0x7F: // DEL
    case 0x1B: // ESC, only reaches here in TTY
        break;
    case 0x07: // BEL
        count_bell(t);
        break;
    case 0x08: // BS: a pending wrap is undone first
        if (t->wrap_pending)
            t->wrap_pending = 0;
        else if (t->cursor_column > 0)
            t->cursor_column--;
        break;
    case 0x09: { // HT: fixed stops every 8 columns
        int column = (t->cursor_column / 8 + 1) * 8;
        t->cursor_column = column < t->columns - 1 ? column : t->columns - 1;
        t->wrap_pending = 0;
        break;
    }
    case 0x0A: // LF
    case 0x0B: // VT
        term_line_feed(t);
        break;
    case 0x0C: // FF: BBS hosts use it to clear the screen; the cleared page goes to the scrollback
        if (emulation_traits(t->emulation).page_to_scrollback) {
            term_scrollback_push_screen(t);
            term_clear_screen(t);
        } else {
            term_line_feed(t);
        }
        break;
    case 0x0D: // CR
        t->cursor_column = 0;
        t->wrap_pending = 0;
        break;
    case 0x0E: // SO: G1 active
        if (emulation_traits(t->emulation).shift_out) t->shift_out = 1;
        break;
    case 0x0F: // SI: G0 active
        if (emulation_traits(t->emulation).shift_out) t->shift_out = 0;
        break;
    default: // the PC's symbols for the other control bytes, while the host's text may be CP437
        if (emulation_traits(t->emulation).control_symbols && t->text_encoding != TEXT_UTF8)
            term_put_glyph(t, cp437_to_unicode[b]);
        break;
    }
}

// Ground state: text and controls, until an ESC changes the state or the bytes end.
static const uint8_t *ground_bytes(Terminal *t, const uint8_t *p, const uint8_t *end) {
    while (p < end) {
        uint8_t b = *p;
        if (b >= 0x20 && b != 0x7F) {
            bool cp437 = text_reads_cp437(t);
            if (b >= 0x80 && (!cp437 || t->utf8_held)) {
                if (!cp437 && !t->utf8_held && text_encoding_of(t) == TEXT_UTF8) {
                    const uint8_t *q = ansi_put_utf8_text(t, p, end);
                    if (q != p) {
                        p = q;
                        continue;
                    }
                }
                utf8_decode_byte(t, b);
                p++;
                continue;
            }
            if (t->utf8_held) term_resolve_pending(t);
            p = ansi_put_text(t, p, end, cp437);
            continue;
        }
        p++;
        if (t->utf8_held) term_resolve_pending(t);
        if (b == 0x1B && emulation_traits(t->emulation).escapes) {
            t->parser_state = PARSE_ESCAPE;
            return p;
        }
        ansi_execute_control(t, b);
    }
    return p;
}

static void escape_byte(Terminal *t, uint8_t b) {
    t->parser_state = PARSE_GROUND;
    switch (b) {
    case '[': // CSI
        memset(t->params, 0, sizeof t->params);
        t->param_count = 0;
        t->private_marker = 0;
        t->intermediate = 0;
        t->parser_state = PARSE_CSI;
        break;
    case '#': // DEC line attributes and tests: the next byte is dropped
    case '%': // character-set coding system: dropped likewise
    case '(': // G0 designation
    case ')': // G1 designation
        t->intermediate = b;
        t->parser_state = PARSE_DESIGNATE;
        break;
    case '7': term_save_cursor(t); break;    // DECSC
    case '8': term_restore_cursor(t); break; // DECRC
    case 'D': term_line_feed(t); break;      // IND
    case 'E':                                // NEL
        t->cursor_column = 0;
        term_line_feed(t);
        break;
    case 'M': // RI, reverse index
        t->wrap_pending = 0;
        if (t->cursor_row == t->region_top)
            term_scroll_down(t, t->cursor_row, t->region_bottom, 1);
        else if (t->cursor_row > 0)
            t->cursor_row--;
        break;
    case 'P': // DCS
    case 'X': // SOS
    case ']': // OSC
    case '^': // PM
    case '_': // APC
        t->parser_state = PARSE_STRING;
        break;
    case 'c': // RIS
        term_soft_reset(t);
        term_clear_screen(t);
        break;
    case 0x1B: t->parser_state = PARSE_ESCAPE; break;
    default: break; // unknown sequences and control characters are dropped
    }
}

static void designate_byte(Terminal *t, uint8_t b) {
    t->parser_state = PARSE_GROUND;
    if (t->intermediate == '(')
        t->g0_graphics = b == '0';
    else if (t->intermediate == ')')
        t->g1_graphics = b == '0';
    t->intermediate = 0;
}

// CSI parameters, private marker and intermediate, up to the final byte (ECMA-48 5.4).
static const uint8_t *csi_bytes(Terminal *t, const uint8_t *p, const uint8_t *end) {
    while (p < end) {
        uint8_t b = *p++;
        if (b >= '0' && b <= '9') {
            if (t->param_count == 0) t->param_count = 1;
            int32_t *value = &t->params[t->param_count - 1];
            if (*value <= 99999) *value = *value * 10 + (b - '0'); // values stop at 999999
        } else if (b == ';' || b == ':') {
            // The parameters were zeroed at ESC [, so a new one starts at 0; past the 16th the
            // separators are dropped and later digits run into the last parameter.
            if (t->param_count == 0)
                t->param_count = 2;
            else if (t->param_count < TERM_MAX_PARAMS)
                t->param_count++;
        } else if (b >= 0x40 && b <= 0x7E) {
            t->parser_state = PARSE_GROUND;
            ansi_dispatch_csi(t, b);
            return p;
        } else if (b >= '<' && b <= '?') {
            if (t->param_count == 0) t->private_marker = b;
        } else if (b >= 0x20 && b <= 0x2F) {
            t->intermediate = b;
        } else if (b == 0x1B) {
            t->parser_state = PARSE_ESCAPE; // the sequence is abandoned
            return p;
        } else if (b < 0x20) {
            ansi_execute_control(t, b); // the sequence goes on
        } else {
            t->parser_state = PARSE_GROUND; // 0x7F-0xFF abandon the sequence and are lost
            return p;
        }
    }
    return p;
}

// Swallows a control string or ANSI music, whose contents are never shown, up to its last byte
// (BEL for a string, SO for music), which returns to the ground state, or up to an ESC: ESC \ (ST)
// ends a string, and in music an ESC starts a new sequence.
static const uint8_t *swallow_bytes(Terminal *t, const uint8_t *p, const uint8_t *end, uint8_t last,
                                    ParserState esc_state) {
    while (p < end) {
        uint8_t b = *p++;
        if (b == 0x1B || b == last) {
            t->parser_state = b == last ? PARSE_GROUND : esc_state;
            return p;
        }
    }
    return p;
}

static void ansi_feed(Terminal *t, const uint8_t *p, const uint8_t *end) {
    while (p < end) {
        switch (t->parser_state) {
        case PARSE_GROUND: p = ground_bytes(t, p, end); break;
        case PARSE_ESCAPE: escape_byte(t, *p++); break;
        case PARSE_CSI: p = csi_bytes(t, p, end); break;
        case PARSE_DESIGNATE: designate_byte(t, *p++); break;
        case PARSE_STRING: p = swallow_bytes(t, p, end, 0x07, PARSE_STRING_ESCAPE); break;
        case PARSE_STRING_ESCAPE: t->parser_state = *p++ == '\\' ? PARSE_GROUND : PARSE_STRING; break;
        case PARSE_MUSIC: p = swallow_bytes(t, p, end, 0x0E, PARSE_ESCAPE); break;
        default: t->parser_state = PARSE_GROUND; break;
        }
    }
}

void term_feed(Terminal *t, const uint8_t *bytes, int length) {
    if (!bytes || length <= 0) return;
    int column = t->cursor_column, row = t->cursor_row;
    if (emulation_is_petscii(t->emulation))
        petscii_feed(t, bytes, length);
    else
        ansi_feed(t, bytes, bytes + length);
    // The composer draws the cursor, so a move alone must still get the screen redrawn.
    if (t->cursor_column != column || t->cursor_row != row) t->screen_changed = 1;
}
