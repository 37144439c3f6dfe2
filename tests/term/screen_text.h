// Test helper for the interpreters: a terminal to feed, its screen and its whole state as text, the
// replies it sent, and the table-driven screen test. Every feed through screen_feed also checks that
// the bytes fed byte by byte and in random pieces leave the same state and replies.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <random>
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
        static bool built = (term_build_tables(), true);
        (void)built;
        t->ice_colors = ice;
        t->reply_sink = test_reply_sink;
        term_create(t, emulation, rows, scrollback);
        g_test_replies.clear();
    }
    ~TestScreen() { term_release(t), delete t; }
    TestScreen(const TestScreen &) = delete;
    TestScreen &operator=(const TestScreen &) = delete;
    Terminal *operator->() { return t; }
    const Cell &cell(int row, int column) const { return term_row(t, row)[column]; }
};

// Cells first to end-1 of a row as UTF-8 glyphs as the composer shows them, wide right halves
// skipped; or, with codes, as "U+XXXX" words of the stored codes.
inline std::string screen_cells(const Terminal *t, int row, int first, int end, bool codes = false) {
    std::string s;
    for (int c = first; c < end; c++) {
        const Cell &cell = term_row(t, row)[c];
        if (codes) {
            char word[16];
            snprintf(word, sizeof word, "%sU+%04X", c > first ? " " : "", cell.code);
            s += word;
        } else if (uint32_t glyph = term_cell_glyph(t, cell, 1)) {
            uint8_t utf8[4];
            s.append((const char *)utf8, (size_t)utf8_encode(glyph, utf8));
        }
    }
    return s;
}

// One row without trailing spaces.
inline std::string screen_row_text(const Terminal *t, int row) {
    std::string text = screen_cells(t, row, 0, t->columns);
    return text.erase(text.find_last_not_of(' ') + 1);
}

// The rows in use joined by '\n', without the empty rows at the bottom.
inline std::string screen_text(const Terminal *t) {
    std::string text;
    for (int r = 0; r < t->rows; r++) text += screen_row_text(t, r) + "\n";
    return text.erase(text.find_last_not_of('\n') + 1);
}

// Every field that the bytes can change, as text. Left out: the screen-changed flag (a redraw hint: a
// cursor that moves and comes back within one feed does not set it) and stale UTF-8 bytes.
inline std::string screen_dump(const Terminal *t) {
    std::string s;
    auto cells = [&](const char *name, int index, const Cell *row) { // cells other than grey-on-black spaces
        for (int c = 0; c < TERM_MAX_COLUMNS; c++)
            if (row[c].code != ' ' || row[c].fg != 7 || row[c].bg != 0 || row[c].flags != 0)
                s += std::string(name) + " " + std::to_string(index) + "," + std::to_string(c) + "=" +
                     std::to_string(row[c].code) + "/" + std::to_string(row[c].fg) + "/" +
                     std::to_string(row[c].bg) + "/" + std::to_string(row[c].flags) + "\n";
    };
    for (int r = 0; r < TERM_MAX_ROWS; r++) cells("row", r, term_row(t, r));
    for (int i = 0; i < t->scrollback_count; i++) cells("scrollback", i, term_scrollback_line(t, i));
#define DUMP(field) s += #field "=" + std::to_string(t->field) + "\n"
    DUMP(rows), DUMP(columns), DUMP(cursor_row), DUMP(cursor_column), DUMP(wrap_pending), DUMP(auto_wrap);
    DUMP(cursor_visible), DUMP(cursor_keys_mode), DUMP(region_top), DUMP(region_bottom), DUMP(emulation);
    DUMP(fg), DUMP(bg), DUMP(bold), DUMP(blink), DUMP(reverse), DUMP(concealed), DUMP(bright_fg);
    DUMP(bright_bg), DUMP(ext_fg), DUMP(ext_bg), DUMP(current_fg), DUMP(current_bg), DUMP(current_flags);
    DUMP(saved.column), DUMP(saved.row), DUMP(saved.fg), DUMP(saved.bg), DUMP(saved.bold), DUMP(saved.blink);
    DUMP(saved.reverse), DUMP(saved.ext_fg), DUMP(saved.ext_bg), DUMP(parser_state), DUMP(param_count);
    DUMP(private_marker), DUMP(intermediate), DUMP(last_glyph), DUMP(g0_graphics), DUMP(g1_graphics);
    DUMP(shift_out), DUMP(music_pending), DUMP(utf8_held), DUMP(utf8_score), DUMP(cp437_evidence);
    DUMP(text_encoding), DUMP(petscii_lower), DUMP(petscii_reverse), DUMP(petscii_colour), DUMP(ascii_text);
    DUMP(crlf_count), DUMP(lower_count), DUMP(byte_count), DUMP(after_cr), DUMP(ascii_escape);
    DUMP(scrollback_count), DUMP(bell_count);
#undef DUMP
    for (int i = 0; i < TERM_MAX_PARAMS; i++) s += "param=" + std::to_string(t->params[i]) + "\n";
    for (int i = 0; i < t->utf8_held; i++) s += "held=" + std::to_string(t->utf8_bytes[i]) + "\n";
    return s;
}

// Feeds bytes whole, after feeding them byte by byte and in random pieces to copies of the terminal
// (each with a scrollback ring of its own) that must end in the same state with the same replies.
inline void screen_feed(Terminal *t, std::string_view bytes) {
    std::mt19937 random((unsigned)bytes.size());
    std::vector<std::string> before = g_test_replies, replies[2];
    std::string dumps[2];
    for (int way = 0; way < 2; way++) {
        auto copy = std::make_unique<Terminal>(*t);
        size_t ring_cells = t->scrollback ? (size_t)t->scrollback_capacity * TERM_MAX_COLUMNS : 0;
        std::vector<Cell> ring(t->scrollback, t->scrollback + ring_cells);
        copy->scrollback = ring_cells ? ring.data() : nullptr;
        g_test_replies.clear();
        for (size_t at = 0, size; at < bytes.size(); at += size) {
            size = std::min<size_t>(way == 0 ? 1 : 1 + random() % 64, bytes.size() - at);
            term_feed(copy.get(), (const uint8_t *)bytes.data() + at, (int)size);
        }
        dumps[way] = screen_dump(copy.get()), replies[way] = g_test_replies;
    }
    g_test_replies.clear();
    term_feed(t, (const uint8_t *)bytes.data(), (int)bytes.size());
    for (int way = 0; way < 2; way++) {
        const char *how = way ? "fed in pieces of 1 to 64" : "fed byte by byte";
        EXPECT_EQ(dumps[way], screen_dump(t)) << how;
        EXPECT_EQ(replies[way], g_test_replies) << how;
    }
    before.insert(before.end(), g_test_replies.begin(), g_test_replies.end());
    g_test_replies = before;
}

// A table row: bytes fed to a fresh terminal, and the screen and cursor they must leave.
struct ScreenCase {
    const char *name;
    int emulation;
    int rows;
    std::string input;
    const char *text; // screen_text, or nullptr when only the cursor matters
    int row, column;  // the cursor
};

inline void PrintTo(const ScreenCase &c, std::ostream *os) {
    *os << c.name;
}

class ScreenTest : public testing::TestWithParam<ScreenCase> {};

// Test names from the cases' name fields.
struct CaseName {
    template <class Info> std::string operator()(const Info &info) const {
        std::string name = info.param.name;
        for (char &ch : name)
            if (!isalnum((unsigned char)ch)) ch = '_';
        return name;
    }
};
