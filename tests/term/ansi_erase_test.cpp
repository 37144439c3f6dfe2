// Erasing, inserting and deleting cells and lines, scrolling and the scroll region.
#include "tests/term/screen_text.h"

namespace {

// Five full rows; the cursor ends on row 4, column 10.
const char kFill[] = "0123456789\r\nabcdefghij\r\nABCDEFGHIJ\r\nklmnopqrst\r\nKLMNOPQRST";
const char kFillText[] = "0123456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST";

struct EditCase {
    const char *name;
    int emulation;
    const char *input; // fed after kFill on a 5-row screen
    const char *text;
    int row, column;
};

const EditCase kEditCases[] = {
    {"el to the end", EMU_ANSI, "\x1b[1;4H\x1b[K", "012\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0,
     3},
    {"el to the cursor", EMU_ANSI, "\x1b[1;4H\x1b[1K",
     "    456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 3},
    {"el whole row", EMU_ANSI, "\x1b[1;4H\x1b[2K", "\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 3},
    {"el other value whole row", EMU_ANSI, "\x1b[1;4H\x1b[7K",
     "\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 3},
    {"ed to the end", EMU_ANSI, "\x1b[2;4H\x1b[J", "0123456789\nabc", 1, 3},
    {"ed to the cursor", EMU_ANSI, "\x1b[2;4H\x1b[1J", "\n    efghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 1,
     3},
    {"ed all homes in ansi", EMU_ANSI, "\x1b[2;4H\x1b[2J", "", 0, 0},
    {"ed 3 as ed 2", EMU_UTF8, "\x1b[2;4H\x1b[3J", "", 0, 0},
    {"ed all keeps the cursor in vt100", EMU_VT100, "\x1b[2;4H\x1b[2J", "", 1, 3},
    {"tty shows the sequence", EMU_TTY, "\x1b[2J",
     "0123456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST[2J", 4, 13},
    {"ed other value nothing", EMU_ANSI, "\x1b[2;4H\x1b[4J", kFillText, 1, 3},
    {"ech", EMU_ANSI, "\x1b[1;3H\x1b[3X", "01   56789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 2},
    {"ech huge count", EMU_ANSI, "\x1b[1;3H\x1b[999999X",
     "01\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 2},
    {"ich", EMU_ANSI, "\x1b[1;3H\x1b[2@", "01  23456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0,
     2},
    {"ich huge count", EMU_ANSI, "\x1b[1;3H\x1b[999999999@",
     "01\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 2},
    {"dch", EMU_ANSI, "\x1b[1;3H\x1b[2P", "01456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 0, 2},
    {"dch huge count", EMU_ANSI, "\x1b[1;3H\x1b[99999P", "01\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST",
     0, 2},
    {"il", EMU_ANSI, "\x1b[2;1H\x1b[2L", "0123456789\n\n\nabcdefghij\nABCDEFGHIJ", 1, 0},
    {"il inside the region", EMU_ANSI, "\x1b[2;4r\x1b[3;1H\x1b[L",
     "0123456789\nabcdefghij\n\nABCDEFGHIJ\nKLMNOPQRST", 2, 0},
    {"il outside the region ignored", EMU_ANSI, "\x1b[3;4r\x1b[1;1H\x1b[L", kFillText, 0, 0},
    {"dl", EMU_ANSI, "\x1b[2;1H\x1b[2M", "0123456789\nklmnopqrst\nKLMNOPQRST", 1, 0},
    {"dl huge count inside the region", EMU_ANSI, "\x1b[2;4r\x1b[2;1H\x1b[99M",
     "0123456789\n\n\n\nKLMNOPQRST", 1, 0},
    {"dl outside the region ignored", EMU_ANSI, "\x1b[2;4r\x1b[5;1H\x1b[M", kFillText, 4, 0},
    {"su", EMU_ANSI, "\x1b[2S", "ABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 4, 10},
    {"su inside the region", EMU_ANSI, "\x1b[2;3r\x1b[S", "0123456789\nABCDEFGHIJ\n\nklmnopqrst\nKLMNOPQRST",
     0, 0},
    {"sd", EMU_ANSI, "\x1b[T", "\n0123456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst", 4, 10},
    {"sd huge count", EMU_ANSI, "\x1b[999999T", "", 4, 10},
    {"ri at the region top", EMU_ANSI, "\x1b[2;4r\x1b[2;1H\x1bM",
     "0123456789\n\nabcdefghij\nABCDEFGHIJ\nKLMNOPQRST", 1, 0},
    {"lf at the region bottom", EMU_ANSI, "\x1b[2;4r\x1b[4;1H\n",
     "0123456789\nABCDEFGHIJ\nklmnopqrst\n\nKLMNOPQRST", 3, 0},
    {"lf below the region on the last row", EMU_ANSI, "\x1b[1;2r\x1b[5;1H\nX",
     "0123456789\nabcdefghij\nABCDEFGHIJ\nklmnopqrst\nXLMNOPQRST", 4, 1},
    {"ff clears in ansi", EMU_CP437, "\x0c", "", 0, 0},
    {"ff is a line feed in vt100", EMU_VT100, "\x0c", "abcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST", 4,
     10},
    {"rep", EMU_ANSI, "\r\n\x1b[3b", "abcdefghij\nABCDEFGHIJ\nklmnopqrst\nKLMNOPQRST\nTTT", 4, 3},
    {"ris", EMU_ANSI,
     "\x1b[2;3r\x1b[1;31m\x1b"
     "c",
     "", 0, 0},
};

void PrintTo(const EditCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class EditTest : public testing::TestWithParam<EditCase> {};

TEST_P(EditTest, LeavesTheScreenExpected) {
    const EditCase &c = GetParam();
    TestScreen s(c.emulation, 5);
    screen_feed(s.t, kFill);
    screen_feed(s.t, c.input);
    EXPECT_EQ(screen_text(s.t), c.text);
    EXPECT_EQ(s->cursor_row, c.row);
    EXPECT_EQ(s->cursor_column, c.column);
}

INSTANTIATE_TEST_SUITE_P(Ansi, EditTest, testing::ValuesIn(kEditCases), CaseName());

TEST(Rep, TwoThousandGlyphsAtMost) {
    TestScreen s(EMU_ANSI, 25);
    screen_feed(s.t, "!\x1b[99999b"); // 2001 glyphs: a full screen and one more after a scroll
    int count = 0;
    for (int r = 0; r < 25; r++)
        for (int c = 0; c < 80; c++) count += s.cell(r, c).code == '!';
    EXPECT_EQ(count, 24 * 80 + 1);
    EXPECT_EQ(s->cursor_row, 24);
    EXPECT_EQ(s->cursor_column, 1);
}

TEST(Rep, WithoutAGlyphWritesSpaces) {
    TestScreen s(EMU_ANSI, 5);
    s->last_glyph = 0;
    screen_feed(s.t, "\x1b[44m\x1b[3b");
    EXPECT_EQ(s->cursor_column, 3);
    EXPECT_EQ(s.cell(0, 2).code, (uint32_t)' ');
    EXPECT_EQ(s.cell(0, 2).bg, 1);
}

TEST(Erase, BlanksTakeTheCurrentBackground) {
    TestScreen s(EMU_ANSI, 5);
    screen_feed(s.t, std::string(kFill) + "\x1b[1;31;44m\x1b[2;3H\x1b[K\x1b[3;1H\x1b[2@\x1b[4;1H\x1b[L");
    for (auto [row, column] : {std::pair{1, 2}, {1, 79}, {2, 0}, {2, 1}, {3, 0}, {3, 79}}) {
        EXPECT_EQ(s.cell(row, column).bg, 1) << row << "," << column;
        EXPECT_EQ(s.cell(row, column).flags, 0) << row << "," << column;
    }
    EXPECT_EQ(s.cell(1, 1).bg, 0); // left of the erase
}

TEST(Region, InvalidRegionKeepsTheOldOneAndHomes) {
    TestScreen s(EMU_ANSI, 24);
    screen_feed(s.t, "\x1b[5;10r");
    EXPECT_EQ(s->region_top, 4);
    EXPECT_EQ(s->region_bottom, 9);
    for (const char *bad : {"\x1b[10;5r", "\x1b[7;7r", "\x1b[30r", "\x1b[24;99r"}) {
        screen_feed(s.t, std::string("\x1b[3;3H") + bad);
        EXPECT_EQ(s->region_top, 4) << testing::PrintToString(bad);
        EXPECT_EQ(s->region_bottom, 9) << testing::PrintToString(bad);
        EXPECT_EQ(s->cursor_row + s->cursor_column, 0) << testing::PrintToString(bad);
    }
    screen_feed(s.t, "\x1b[2;99r"); // the bottom is cut to the screen
    EXPECT_EQ(s->region_top, 1);
    EXPECT_EQ(s->region_bottom, 23);
    screen_feed(s.t, "\x1b[r");
    EXPECT_EQ(s->region_top, 0);
    EXPECT_EQ(s->region_bottom, 23);
}

TEST(Scrollback, ClearScreenAndFullScreenScrollsFeedIt) {
    TestScreen s(EMU_ANSI, 5, 20);
    screen_feed(s.t, std::string(kFill) + "\r\n\r\n"); // two rows scroll off
    ASSERT_EQ(s->scrollback_count, 2);
    screen_feed(s.t, "\x1b[2J"); // three rows hold text
    ASSERT_EQ(s->scrollback_count, 5);
    EXPECT_EQ(term_scrollback_line(s.t, 0)[0].code, (uint32_t)'0');
    EXPECT_EQ(term_scrollback_line(s.t, 4)[0].code, (uint32_t)'K');
    screen_feed(s.t, "\x1b[2;4r\x1b[4;1H\n\n\x0c"); // a region scroll and an empty page add nothing
    EXPECT_EQ(s->scrollback_count, 5);
}

TEST(Scrollback, Vt100ClearDoesNotFeedIt) {
    TestScreen s(EMU_VT100, 5, 20);
    screen_feed(s.t, std::string(kFill) + "\x1b[2J");
    EXPECT_EQ(s->scrollback_count, 0);
}

} // namespace
