// Erasing, inserting and deleting cells and lines, scrolling and the scroll region.
#include "tests/term/screen_text.h"

namespace {

// Five full rows on a 5-row screen; the cursor ends on row 4, column 10.
const std::string kFill = "0123456789\r\nabcdefghij\r\nABCDEFGHIJ\r\nklmnopqrst\r\nKLMNOPQRST";

// clang-format off
const ScreenCase kEraseCases[] = {
    {"el to the end", EMU_ANSI, 5, kFill + "\x1b[1;4H\x1b[K", "012\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 3},
    {"el to the cursor", EMU_ANSI, 5, kFill + "\x1b[1;4H\x1b[1K", "    456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 3},
    {"ed to the end", EMU_ANSI, 5, kFill + "\x1b[2;4H\x1b[J", "0123456789\nabc", 1, 3},
    {"ed all homes in ansi", EMU_UTF8, 5, kFill + "\x1b[2;4H\x1b[3J", "", 0, 0},
    {"ed all stays in vt100", EMU_VT100, 5, kFill + "\x1b[2;4H\x1b[2J", "", 1, 3},
    {"ff clears in ansi", EMU_CP437, 5, kFill + "\x0c", "", 0, 0},
    {"ff is a line feed in vt100", EMU_VT100, 5, kFill + "\x0c", "abcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 4, 10},
    {"ech ich dch", EMU_ANSI, 5, kFill + "\x1b[1;2H\x1b[2X\x1b[1;7H\x1b[2@\x1b[1;3H\x1b[P", "0 345  6789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 2},
    {"il inside the region", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[3;1H\x1b[L", "0123456789\nabcdefghij\n\nABCDEFGHIJ\nKLMNOPQRST", 2, 0},
    {"dl huge count", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[2;1H\x1b[99M", "0123456789\n\n\n\nKLMNOPQRST", 1, 0},
    {"su sd", EMU_ANSI, 5, kFill + "\x1b[2S\x1b[T", "\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 4, 10},
    {"ri at the region top", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[2;1H\x1bM", "0123456789\n\nabcdefghij\nABCDEFGHIJ\nKLMNOPQRST", 1, 0},
    {"ris", EMU_ANSI, 5, kFill + "\x1b[2;3r\x1b" "c\n\n\n\nx", "\n\n\n\nx", 4, 1},
};
// clang-format on

TEST(Erase, LeavesScreenAndCursor) {
    expect_screens(kEraseCases);
}

TEST(Rep, TwoThousandGlyphsAtMost) {
    TestScreen s(EMU_ANSI, 25);
    screen_feed(s.t, "!\x1b[99999b"); // 2001 glyphs: a full screen and one more after a scroll
    EXPECT_EQ(screen_row_text(s.t, 24), "!");
    EXPECT_EQ(screen_row_text(s.t, 23), std::string(80, '!'));
}

TEST(Erase, BlanksTakeTheCurrentBackground) {
    TestScreen s(EMU_ANSI, 5);
    screen_feed(s.t, kFill + "\x1b[5;44m\x1b[2;3H\x1b[K\x1b[3;1H\x1b[2@\x1b[4;1H\x1b[L");
    for (auto [row, column] : {std::pair{1, 2}, {1, 79}, {2, 1}, {3, 0}, {3, 79}}) {
        EXPECT_EQ(s.cell(row, column).bg, 1) << row << "," << column;
        EXPECT_EQ(s.cell(row, column).flags, 0) << "blanks never blink";
    }
    EXPECT_EQ(s.cell(1, 1).bg, 0);
}

TEST(Region, InvalidRegionKeepsTheOldOneAndHomes) {
    TestScreen s(EMU_ANSI, 24);
    screen_feed(s.t, "\x1b[5;10r");
    auto region = [&] { return std::pair{s->region_top, s->region_bottom}; };
    for (const char *bad : {"\x1b[10;5r", "\x1b[7;7r"}) {
        screen_feed(s.t, std::string("\x1b[3;3H") + bad);
        EXPECT_EQ(region(), std::pair(4, 9)) << testing::PrintToString(bad);
        EXPECT_EQ(std::pair(s->cursor_row, s->cursor_column), std::pair(0, 0)) << testing::PrintToString(bad);
    }
    screen_feed(s.t, "\x1b[2;99r"); // a bottom past the screen is the last row
    EXPECT_EQ(region(), std::pair(1, 23));
}

} // namespace
