// The screen model: wide glyphs at the edge, the scrollback ring, emulation switches. Wrapping and
// attribute derivation are covered through the interpreters.
#include "tests/term/screen_text.h"

namespace {

const std::string kWideAt78 = std::string(78, ' ') + "中\nx";

// clang-format off
const ScreenCase kWideCases[] = {
    {"fills 78 and 79, waits to wrap", EMU_UTF8, 24, "\x1b[1;79H中x", kWideAt78.c_str(), 1, 1},
    {"does not fit at 79: next row", EMU_UTF8, 24, "\x1b[1;80H中", "\n中", 1, 2},
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
    EXPECT_EQ(cells_text(s.t, term_scrollback_line(s.t, 0)), "line3");
    EXPECT_EQ(cells_text(s.t, term_scrollback_line(s.t, 2)), "line5");

    TestScreen ansi(EMU_ANSI, 24, 50), vt100(EMU_VT100, 24, 50);
    screen_feed(ansi.t, "top\x1b[11;41H\x1b[44m \x1b[2J"); // down to the last row with content
    EXPECT_EQ(ansi->scrollback_count, 11) << "a coloured space is content";
    screen_feed(vt100.t, "top\x1b[2J");
    EXPECT_EQ(vt100->scrollback_count, 0);
}

TEST(SetEmulation, KeepsTheScreenOnlyWhileTheInterpreterAndWidthStay) {
    for (auto [from, to] :
         {std::pair{EMU_ANSI, EMU_VT100}, {EMU_PETSCII40, EMU_ANSI}, {EMU_PETSCII40, EMU_PETSCII80}}) {
        SCOPED_TRACE(testing::Message() << emulation_file_words[from] << " to " << emulation_file_words[to]);
        bool keeps = to == EMU_VT100;
        TestScreen s(from, 25, 10);
        term_put_glyph(s.t, 'x');
        term_scroll_up(s.t, 0, s->rows - 1, 1); // one line in the scrollback
        term_put_glyph(s.t, 'y');
        s->text_encoding = TEXT_UTF8;
        term_set_emulation(s.t, to, 25);
        EXPECT_EQ(s->scrollback_count, keeps ? 1 : 0);
        EXPECT_EQ(s.cell(0, 1).code == 'y', keeps);
        EXPECT_EQ(s->text_encoding, keeps || emulation_is_petscii(to) ? TEXT_UTF8 : TEXT_UNDECIDED)
            << "a new ANSI screen decides its text afresh";
    }
}

TEST(SetEmulation, ShrinkingRowsScrollsTheCursorRowIntoView) {
    TestScreen s(EMU_ANSI, 25, 10);
    screen_feed(s.t, "top\x1b[25;1Hbottom");
    term_set_emulation(s.t, EMU_ANSI, 24);
    EXPECT_EQ(std::pair(s->cursor_row, s->region_bottom), std::pair(23, 23));
    EXPECT_EQ(cells_text(s.t, term_row(s.t, 23)), "bottom");
    EXPECT_EQ(cells_text(s.t, term_scrollback_line(s.t, 0)), "top");
}

} // namespace
