// Test helper for the interpreters: a terminal to feed, its screen as text, the replies it sent, and
// the table-driven screen check.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "term/terminal.h"

inline std::vector<std::string> g_test_replies; // replies sent, in order

inline void test_reply_sink(const uint8_t *bytes, int length) {
    g_test_replies.emplace_back((const char *)bytes, (size_t)length);
}

// A terminal on the heap (it is large), created as the program creates it.
struct TestScreen {
    Terminal *t = new Terminal{};
    explicit TestScreen(int emulation, int rows = 24, int scrollback = 0, int ice = 0) {
        term_build_tables();
        t->ice_colors = ice;
        t->reply_sink = test_reply_sink;
        term_create(t, emulation, rows, scrollback);
        g_test_replies.clear();
    }
    ~TestScreen() { term_release(t), delete t; }
    Terminal *operator->() { return t; }
    const Cell &cell(int row, int column) const { return term_row(t, row)[column]; }
};

// Cells of a row or a scrollback line as UTF-8 glyphs as the composer shows them, wide right halves
// skipped, without trailing spaces.
inline std::string cells_text(const Terminal *t, const Cell *cells) {
    std::string text;
    for (int c = 0; c < t->columns; c++) {
        uint8_t utf8[4];
        if (uint32_t glyph = term_cell_glyph(t, cells[c], 1))
            text.append((const char *)utf8, (size_t)utf8_encode(glyph, utf8));
    }
    return text.erase(text.find_last_not_of(' ') + 1);
}

// The rows in use joined by '\n', without the empty rows at the bottom.
inline std::string screen_text(const Terminal *t) {
    std::string text;
    for (int r = 0; r < t->rows; r++) text += cells_text(t, term_row(t, r)) + "\n";
    return text.erase(text.find_last_not_of('\n') + 1);
}

inline void screen_feed(Terminal *t, std::string_view bytes) {
    term_feed(t, (const uint8_t *)bytes.data(), (int)bytes.size());
}

// A table row: bytes fed to a fresh terminal, and the screen and cursor they must leave.
struct ScreenCase {
    const char *name;
    int emulation, rows;
    std::string input;
    const char *text; // screen_text
    int row, column;  // the cursor
};

template <size_t N> void expect_screens(const ScreenCase (&cases)[N]) {
    for (const ScreenCase &c : cases) {
        SCOPED_TRACE(c.name);
        TestScreen s(c.emulation, c.rows);
        screen_feed(s.t, c.input);
        EXPECT_EQ(screen_text(s.t), c.text);
        EXPECT_EQ(std::pair(s->cursor_row, s->cursor_column), std::pair(c.row, c.column));
    }
}
