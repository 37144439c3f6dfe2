// Erasing, inserting and deleting cells and lines, scrolling and the scroll region.
#include "tests/term/screen_text.h"

namespace {

// Five full rows on a 5-row screen; the cursor ends on row 4, column 10.
const std::string kFill = "0123456789\r\nabcdefghij\r\nABCDEFGHIJ\r\nklmnopqrst\r\nKLMNOPQRST";

// clang-format off
const ScreenCase kEraseCases[] = {
    {"el to the end and to the cursor", EMU_ANSI, 5, kFill + "\x1b[1;4H\x1b[K\x1b[2;4H\x1b[1K", "012\n    efghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 1, 3},
    {"ed to the end", EMU_ANSI, 5, kFill + "\x1b[2;4H\x1b[J", "0123456789\nabc", 1, 3},
    {"ed all homes in ansi", EMU_UTF8, 5, kFill + "\x1b[2;4H\x1b[3J", "", 0, 0},
    {"ff clears in ansi", EMU_CP437, 5, kFill + "\x0c", "", 0, 0},
    {"ed all stays and ff is a line feed in vt100", EMU_VT100, 5, kFill + "\x1b[2;4H\x1b[2J\x0c", "", 2, 3},
    {"ech ich dch rep", EMU_ANSI, 5, kFill + "\x1b[1;2H\x1b[2X\x1b[1;7H\x1b[2@\x1b[1;3H\x1b[P\x1b[5;1H!\x1b[2b", "0 345  6789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\n!!!NOPQRST", 4, 3},
    {"il and dl inside the region", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[3;1H\x1b[L\x1b[4;1H\x1b[M", "0123456789\nabcdefghij\n\n\nKLMNOPQRST", 3, 0},
    {"invalid region keeps the old one and homes", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[3;3H\x1b[4;4rx\x1b[3;1H\x1b[L", "x123456789\nabcdefghij\n\nABCDEFGHIJ\nKLMNOPQRST", 2, 0},
    {"su sd", EMU_ANSI, 5, kFill + "\x1b[2S\x1b[T", "\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 4, 10},
    {"ri at the region top", EMU_ANSI, 5, kFill + "\x1b[2;4r\x1b[2;1H\x1bM", "0123456789\n\nabcdefghij\nABCDEFGHIJ\nKLMNOPQRST", 1, 0},
};
// clang-format on

TEST(Erase, LeavesScreenAndCursor) {
    expect_screens(kEraseCases);
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

} // namespace
