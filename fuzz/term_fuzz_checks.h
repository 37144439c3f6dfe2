// Checks shared by the terminal fuzz targets: the terminal's invariants after every feed, and the
// shape of every reply (ESC [ followed by digits, ';', '?' and the final byte: never the host's bytes).
#pragma once
#include <cstddef>
#include <cstdint>

#include "term/terminal.h"

inline void fuzz_check_reply(const uint8_t *bytes, int length) {
    if (length < 3 || length > 63 || bytes[0] != 0x1B || bytes[1] != '[') __builtin_trap();
    for (int i = 2; i < length - 1; i++)
        if (!((bytes[i] >= '0' && bytes[i] <= '9') || bytes[i] == ';' || bytes[i] == '?')) __builtin_trap();
    uint8_t final_byte = bytes[length - 1];
    if (final_byte != 'c' && final_byte != 'n' && final_byte != 'R') __builtin_trap();
}

// The fuzzers' terminal, with the character tables built and replies checked.
inline Terminal *fuzz_terminal() {
    static Terminal terminal;
    static bool built = (term_build_tables(), true);
    (void)built;
    terminal.reply_sink = fuzz_check_reply;
    return &terminal;
}

inline void fuzz_check_terminal(const Terminal *t) {
    if (t->cursor_row < 0 || t->cursor_row >= t->rows) __builtin_trap();
    if (t->cursor_column < 0 || t->cursor_column >= t->columns) __builtin_trap();
    if (t->region_top < 0 || t->region_top > t->region_bottom || t->region_bottom >= t->rows)
        __builtin_trap();
    if (t->parser_state < 0 || t->parser_state > 6) __builtin_trap();
    if (t->param_count < 0 || t->param_count > TERM_MAX_PARAMS) __builtin_trap();
    for (int i = 0; i < TERM_MAX_PARAMS; i++)
        if (t->params[i] < 0 || t->params[i] > 999999) __builtin_trap();
    if (t->utf8_held < 0 || t->utf8_held > 3) __builtin_trap();
    bool seen[TERM_MAX_ROWS] = {};
    for (int r = 0; r < TERM_MAX_ROWS; r++) {
        if (t->row_slot[r] >= TERM_MAX_ROWS || seen[t->row_slot[r]]) __builtin_trap();
        seen[t->row_slot[r]] = true;
    }
}

// Feeds data in pieces of chunk bytes, settling a stalled UTF-8 sequence after each piece when asked,
// and checks the invariants after every piece; then releases the terminal.
inline void fuzz_feed_and_check(Terminal *t, const uint8_t *data, size_t size, size_t chunk, bool settle) {
    for (size_t at = 0; at < size; at += chunk) {
        size_t piece = size - at < chunk ? size - at : chunk;
        term_feed(t, data + at, (int)piece);
        if (settle) term_resolve_pending(t);
        fuzz_check_terminal(t);
    }
    term_release(t);
}
