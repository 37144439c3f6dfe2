#include "term/terminal.h"

// Placeholder until the byte interpreters land: printable ASCII and CR / LF only.
void term_feed(Terminal *t, const uint8_t *bytes, int length) {
    for (int i = 0; i < length; i++) {
        uint8_t b = bytes[i];
        if (b == '\r') t->cursor_column = 0, t->wrap_pending = 0;
        else if (b == '\n') term_line_feed(t);
        else if (b >= 0x20 && b < 0x7F) term_put_glyph(t, b);
    }
}

void term_resolve_pending(Terminal *t) { t->utf8_held = 0; }
