// The screen model: wide glyphs at the edge, the scrollback ring, emulation switches. Wrapping and
// attribute derivation are covered through the interpreters.
#include "tests/term/screen_text.h"

namespace {

std::string scrollback_text(const Terminal *t, int index) {
    std::string s;
    for (int c = 0; c < t->columns; c++) s += (char)term_scrollback_line(t, index)[c].code;
    return s.erase(s.find_last_not_of(' ') + 1);
}

const std::string kWideAt78 = std::string(78, ' ') + "中\nx", kWideAt79 = std::string(79, ' ') + "中";

// clang-format off
const ScreenCase kWideCases[] = {
    {"fills 78 and 79, waits to wrap", EMU_UTF8, 24, "\x1b[1;79H中x", kWideAt78.c_str(), 1, 1},
    {"does not fit at 79: next row", EMU_UTF8, 24, "\x1b[1;80H中", "\n中", 1, 2},
    {"auto-wrap off: 79 alone", EMU_UTF8, 24, "\x1b[?7l\x1b[1;80H中", kWideAt79.c_str(), 0, 79},
};
// clang-format on

TEST(WideGlyph, AtColumns78And79) {
    expect_screens(kWideCases);
}

// Only a scroll of the whole screen and an ANSI clear feed the ring, which keeps the newest lines.
TEST(Scrollback, FullScreenScrollsAndAnsiClearsFeedTheRingInOrder) {
    TestScreen s(EMU_ANSI, 5, 3);
    for (int i = 1; i <= 9; i++) screen_feed(s.t, "line" + std::to_string(i) + "\r\n"); // 1-5 scroll off
    screen_feed(s.t, "\x1b[2;4r\x1b[4H\n\n\x1b[r");                                     // a region scroll
    ASSERT_EQ(s->scrollback_count, 3);
    EXPECT_EQ(scrollback_text(s.t, 0), "line3");
    EXPECT_EQ(scrollback_text(s.t, 2), "line5");
    EXPECT_EQ(term_scrollback_line(s.t, 3), nullptr);

    TestScreen ansi(EMU_ANSI, 24, 50), vt100(EMU_VT100, 24, 50);
    screen_feed(ansi.t, "top\x1b[11;41H\x1b[44m \x1b[2J"); // down to the last row with content
    EXPECT_EQ(ansi->scrollback_count, 11) << "a coloured space is content";
    screen_feed(vt100.t, "top\x1b[2J");
    EXPECT_EQ(vt100->scrollback_count, 0);
}

TEST(SetEmulation, KeepsTheScreenOnlyWhileTheInterpreterAndWidthStay) {
    const struct {
        int from, to;
        bool keeps_screen;
    } kCases[] = {
        {EMU_ANSI, EMU_VT100, true},
        {EMU_ANSI, EMU_PETSCII40, false},
        {EMU_PETSCII40, EMU_PETSCII80, false},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << emulation_file_words[c.from] << " to " << emulation_file_words[c.to]);
        TestScreen s(c.from, 25, 10);
        term_put_glyph(s.t, 'x');
        term_scroll_up(s.t, 0, s->rows - 1, 1); // one line in the scrollback
        term_put_glyph(s.t, 'y');
        s->text_encoding = TEXT_UTF8;
        term_set_emulation(s.t, c.to, 25);
        EXPECT_EQ(s->columns, emulation_columns(c.to));
        EXPECT_EQ(s->scrollback_count, c.keeps_screen ? 1 : 0);
        EXPECT_EQ(s.cell(0, 1).code == 'y', c.keeps_screen);
        if (!emulation_is_petscii(c.to)) {
            EXPECT_EQ(s->text_encoding, c.keeps_screen ? TEXT_UTF8 : TEXT_UNDECIDED);
        }
    }
}

TEST(SetEmulation, ShrinkingRowsScrollsTheCursorRowIntoView) {
    TestScreen s(EMU_ANSI, 25, 10);
    screen_feed(s.t, "top\x1b[25;1Hbottom");
    term_set_emulation(s.t, EMU_ANSI, 24);
    EXPECT_EQ(s->cursor_row, 23);
    EXPECT_EQ(s->region_bottom, 23);
    EXPECT_EQ(screen_row_text(s.t, 23), "bottom");
    EXPECT_EQ(scrollback_text(s.t, 0), "top");
    term_set_emulation(s.t, EMU_ANSI, 25); // growing back shows a blank row, not stale zero cells
    EXPECT_EQ(s.cell(24, 0).code, 32u);
}

} // namespace
