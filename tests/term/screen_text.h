// Test helper for the interpreters: a terminal to feed, its screen as text lines, its whole state as
// text, and the replies it sent. Every feed through screen_feed is also checked for the split-feed
// property: the same bytes fed whole, one byte at a time and in random pieces give the same state.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "term/charset.h"
#include "term/terminal.h"

// Replies the terminal sent, in order.
inline std::vector<std::string> g_test_replies;

inline void test_reply_sink(const uint8_t *bytes, int length) {
    g_test_replies.emplace_back((const char *)bytes, (size_t)length);
}

// A terminal with owned storage (a Terminal is too big for the stack of some test runners).
struct TestScreen {
    Terminal *t;
    explicit TestScreen(int emulation, int rows = 24, int scrollback = 0, int ice = 0) {
        static bool tables_built = false;
        if (!tables_built) term_build_tables(), tables_built = true;
        t = new Terminal{};
        t->ice_colors = ice;
        t->reply_sink = test_reply_sink;
        term_create(t, emulation, rows, scrollback);
        g_test_replies.clear();
    }
    ~TestScreen() {
        term_release(t);
        delete t;
    }
    TestScreen(const TestScreen &) = delete;
    TestScreen &operator=(const TestScreen &) = delete;
    Terminal *operator->() { return t; }
    const Cell &cell(int row, int column) const { return term_row(t, row)[column]; }
};

// The glyph a cell shows (PETSCII cells by the composition rule, full Unicode); 0 for the right half
// of a wide glyph.
inline uint32_t screen_glyph(const Terminal *t, const Cell &cell) {
    if (!(cell.flags & CELL_PETSCII)) return cell.code;
    if (t->ascii_text && cell.code < 128) return cell.code >= 32 ? cell.code : ' ';
    return petscii_to_unicode(cell.code, t->petscii_lower, 1);
}

// One row as UTF-8 text without trailing spaces; wide right halves are skipped.
inline std::string screen_row_text(const Terminal *t, int row) {
    std::string text;
    const Cell *cells = term_row(t, row);
    for (int c = 0; c < t->columns; c++) {
        uint32_t glyph = screen_glyph(t, cells[c]);
        if (glyph == 0) continue;
        uint8_t utf8[4];
        text.append((const char *)utf8, (size_t)utf8_encode(glyph, utf8));
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The rows in use joined by '\n', without the empty rows at the bottom.
inline std::string screen_text(const Terminal *t) {
    std::vector<std::string> rows;
    for (int r = 0; r < t->rows; r++) rows.push_back(screen_row_text(t, r));
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    std::string text;
    for (size_t i = 0; i < rows.size(); i++) text += (i ? "\n" : "") + rows[i];
    return text;
}

// Every field of the terminal (grid, scrollback, cursor, modes, colours, parser and detection
// state) as text, for comparing two terminals with a readable difference. The screen-changed flag is
// left out: it is a redraw hint, and a cursor that moves and comes back within one feed does not set it.
inline std::string screen_dump(const Terminal *t) {
    std::string s;
    char line[256];
    auto add = [&](const char *name, long value) {
        snprintf(line, sizeof line, "%s=%ld\n", name, value);
        s += line;
    };
    auto add_cells = [&](const char *name, int index, const Cell *cells) {
        snprintf(line, sizeof line, "%s %d:", name, index);
        s += line;
        for (int c = 0; c < TERM_MAX_COLUMNS; c++) {
            snprintf(line, sizeof line, " %X/%u/%u/%u", cells[c].code, cells[c].fg, cells[c].bg,
                     cells[c].flags);
            s += line;
        }
        s += "\n";
    };
    for (int r = 0; r < TERM_MAX_ROWS; r++) add_cells("row", r, term_row(t, r));
    for (int i = 0; i < t->scrollback_count; i++) add_cells("scrollback", i, term_scrollback_line(t, i));
    add("columns", t->columns), add("rows", t->rows), add("cursor_column", t->cursor_column);
    add("cursor_row", t->cursor_row), add("wrap_pending", t->wrap_pending), add("auto_wrap", t->auto_wrap);
    add("cursor_visible", t->cursor_visible), add("cursor_keys_mode", t->cursor_keys_mode);
    add("region_top", t->region_top), add("region_bottom", t->region_bottom), add("emulation", t->emulation);
    add("fg", t->fg), add("bg", t->bg), add("bold", t->bold), add("blink", t->blink),
        add("reverse", t->reverse);
    add("concealed", t->concealed), add("bright_fg", t->bright_fg), add("bright_bg", t->bright_bg);
    add("ext_fg", t->ext_fg), add("ext_bg", t->ext_bg), add("ice_colors", t->ice_colors);
    add("current_fg", t->current_fg), add("current_bg", t->current_bg),
        add("current_flags", t->current_flags);
    const SavedCursor &v = t->saved;
    snprintf(line, sizeof line, "saved=%d %d %d %d %d %d %d %d %d\n", v.column, v.row, v.fg, v.bg, v.bold,
             v.blink, v.reverse, v.ext_fg, v.ext_bg);
    s += line;
    add("parser_state", t->parser_state), add("param_count", t->param_count);
    for (int i = 0; i < TERM_MAX_PARAMS; i++) add("param", t->params[i]);
    add("private_marker", t->private_marker), add("intermediate", t->intermediate);
    add("last_glyph", t->last_glyph), add("g0_graphics", t->g0_graphics), add("g1_graphics", t->g1_graphics);
    add("shift_out", t->shift_out), add("music_pending", t->music_pending), add("utf8_held", t->utf8_held);
    for (int i = 0; i < t->utf8_held && i < 4; i++) add("utf8_byte", t->utf8_bytes[i]);
    add("utf8_length", t->utf8_held ? t->utf8_length : 0), add("utf8_score", t->utf8_score);
    add("cp437_evidence", t->cp437_evidence), add("text_encoding", t->text_encoding);
    add("petscii_lower", t->petscii_lower), add("petscii_reverse", t->petscii_reverse);
    add("petscii_colour", t->petscii_colour), add("ascii_text", t->ascii_text),
        add("text_mode", t->text_mode);
    add("crlf_count", t->crlf_count), add("lower_count", t->lower_count), add("byte_count", t->byte_count);
    add("after_cr", t->after_cr), add("ascii_escape_state", t->ascii_escape_state);
    add("scrollback_count", t->scrollback_count);
    add("bell_count", t->bell_count);
    return s;
}

// A copy of a terminal with a scrollback ring of its own.
struct TerminalCopy {
    Terminal t;
    std::vector<Cell> ring;
    explicit TerminalCopy(const Terminal *from) : t(*from) {
        if (from->scrollback) {
            ring.assign(from->scrollback,
                        from->scrollback + (size_t)from->scrollback_capacity * TERM_MAX_COLUMNS);
            t.scrollback = ring.data();
        }
    }
};

// Feeds bytes in pieces of random sizes (1 to 64), or one at a time when chunk is 1.
inline void screen_feed_pieces(Terminal *t, std::string_view bytes, unsigned seed, int chunk) {
    std::mt19937 random(seed);
    size_t at = 0;
    while (at < bytes.size()) {
        size_t size = chunk > 0 ? (size_t)chunk : 1 + random() % 64;
        if (size > bytes.size() - at) size = bytes.size() - at;
        term_feed(t, (const uint8_t *)bytes.data() + at, (int)size);
        at += size;
    }
}

// Feeds bytes whole; the same bytes fed one at a time and in random pieces into copies of the
// terminal must leave the same state and send the same replies.
inline void screen_feed(Terminal *t, std::string_view bytes) {
    static std::unique_ptr<TerminalCopy> by_byte, by_piece; // big: kept off the stack
    by_byte = std::make_unique<TerminalCopy>(t);
    by_piece = std::make_unique<TerminalCopy>(t);
    std::vector<std::string> before = g_test_replies;

    g_test_replies.clear();
    term_feed(t, (const uint8_t *)bytes.data(), (int)bytes.size());
    std::vector<std::string> whole = g_test_replies;

    g_test_replies.clear();
    screen_feed_pieces(&by_byte->t, bytes, 0, 1);
    EXPECT_EQ(screen_dump(t), screen_dump(&by_byte->t)) << "fed one byte at a time";
    EXPECT_EQ(whole, g_test_replies) << "fed one byte at a time";

    unsigned seed = (unsigned)std::hash<std::string_view>{}(bytes);
    g_test_replies.clear();
    screen_feed_pieces(&by_piece->t, bytes, seed, 0);
    EXPECT_EQ(screen_dump(t), screen_dump(&by_piece->t)) << "fed in random pieces, seed " << seed;
    EXPECT_EQ(whole, g_test_replies) << "fed in random pieces, seed " << seed;

    g_test_replies = before;
    g_test_replies.insert(g_test_replies.end(), whole.begin(), whole.end());
}

// Test names for table-driven suites, from the cases' name fields.
struct CaseName {
    template <class Info> std::string operator()(const Info &info) const {
        std::string name = info.param.name;
        for (char &ch : name)
            if (!isalnum((unsigned char)ch)) ch = '_';
        return name;
    }
};

// Code points as "U+XXXX" words, for expectations on cells.
inline std::string screen_codes(const Terminal *t, int row, int first, int end) {
    std::string s;
    char word[16];
    for (int c = first; c < end; c++) {
        snprintf(word, sizeof word, "%sU+%04X", s.empty() ? "" : " ", term_row(t, row)[c].code);
        s += word;
    }
    return s;
}
