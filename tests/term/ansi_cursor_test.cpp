// Cursor movement, clamping, tabs, wrapping and saved positions in the ANSI interpreter.
#include "tests/term/screen_text.h"

namespace {

struct CursorCase {
    const char *name;
    const char *input;
    int row, column;
    const char *text; // expected screen text, or nullptr when only the cursor matters
};

// 24 rows by 80 columns, ANSI (auto).
const CursorCase kCursorCases[] = {
    {"cup row and column", "\x1b[5;10H", 4, 9, nullptr},
    {"cup empty first parameter", "\x1b[;5H", 0, 4, nullptr},
    {"cup zeros mean one", "\x1b[9;9H\x1b[0;0H", 0, 0, nullptr},
    {"cup without parameters homes", "\x1b[9;9H\x1b[H", 0, 0, nullptr},
    {"cup one parameter is column 0", "\x1b[1;9H\x1b[7H", 6, 0, nullptr},
    {"cup clamps to the corner", "\x1b[99;99H", 23, 79, nullptr},
    {"hvp as cup", "\x1b[3;4f", 2, 3, nullptr},
    {"cup ignores the region", "\x1b[5;10r\x1b[2;2H", 1, 1, nullptr},
    {"cuu", "\x1b[10;10H\x1b[3A", 6, 9, nullptr},
    {"cuu stops at the region top", "\x1b[5;20r\x1b[7;1H\x1b[10A", 4, 0, nullptr},
    {"cuu above the region goes to row 0", "\x1b[5;20r\x1b[3;1H\x1b[2A", 0, 0, nullptr},
    {"cud stops at the region bottom", "\x1b[5;10r\x1b[7;1H\x1b[20B", 9, 0, nullptr},
    {"cud below the region goes on", "\x1b[5;10r\x1b[12;1H\x1b[5B", 16, 0, nullptr},
    {"cuf default and zero count one", "\x1b[C\x1b[0C", 0, 2, nullptr},
    {"cuf and cub", "\x1b[5C\x1b[2D", 0, 3, nullptr},
    {"hpr as cuf", "\x1b[4a", 0, 4, nullptr},
    {"huge counts clamp", "\x1b[999999999C\x1b[999999999B", 23, 79, nullptr},
    {"cub clamps at column 0", "\x1b[5C\x1b[99D", 0, 0, nullptr},
    {"cnl", "\x1b[5;5H\x1b[2E", 6, 0, nullptr},
    {"cnl ignores the region", "\x1b[1;3r\x1b[2;5H\x1b[5E", 6, 0, nullptr},
    {"cpl", "\x1b[5;5H\x1b[2F", 2, 0, nullptr},
    {"cha", "\x1b[10G", 0, 9, nullptr},
    {"cha without parameter", "\x1b[10G\x1b[G", 0, 0, nullptr},
    {"hpa", "\x1b[15`", 0, 14, nullptr},
    {"vpa keeps the column", "\x1b[5C\x1b[7d", 6, 5, nullptr},
    {"ht", "\tX", 0, 9, "        X"},
    {"ht stops at the last column", "\x1b[75G\t", 0, 79, nullptr},
    {"cht", "\x1b[2I", 0, 16, nullptr},
    {"cht huge count", "\x1b[999999I", 0, 79, nullptr},
    {"cbt", "\x1b[20G\x1b[Z", 0, 16, nullptr},
    {"cbt twice", "\x1b[20G\x1b[2Z", 0, 8, nullptr},
    {"cbt stops at column 0", "\x1b[3G\x1b[999999Z", 0, 0, nullptr},
    {"bs", "ab\b", 0, 1, "ab"},
    {"bs at column 0", "\b\b", 0, 0, nullptr},
    {"cr lf", "ab\r\ncd", 1, 2, "ab\ncd"},
    {"lf keeps the column", "ab\ncd", 1, 4, "ab\n  cd"},
    {"vt as lf",
     "a\x0b"
     "b",
     1, 2, "a\n b"},
    {"nel",
     "ab\x1b"
     "Ecd",
     1, 2, "ab\ncd"},
    {"ind",
     "ab\x1b"
     "Dc",
     1, 3, "ab\n  c"},
    {"ri moves up", "\n\nx\x1bMy", 1, 2, "\n y\nx"},
    {"ri at row 0 scrolls down", "x\r\x1bMy", 0, 1, "y\nx"},
    {"decsc and decrc",
     "\x1b[5;5H\x1b"
     "7\x1b[H\x1b"
     "8",
     4, 4, nullptr},
    {"scosc and scorc", "\x1b[3;7H\x1b[s\x1b[H\x1b[u", 2, 6, nullptr},
    {"restore without save homes", "\x1b[5;5H\x1b[u", 0, 0, nullptr},
    {"cr inside a sequence", "\x1b[12\r34H", 23, 0, nullptr},
    {"esc esc then csi", "\x1b[5;5H\x1b\x1b[A", 3, 4, nullptr},
    {"esc drops a following cr", "ab\x1b\rc", 0, 3, "abc"},
};

void PrintTo(const CursorCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class CursorTest : public testing::TestWithParam<CursorCase> {};

TEST_P(CursorTest, EndsWhereExpected) {
    const CursorCase &c = GetParam();
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, c.input);
    EXPECT_EQ(s->cursor_row, c.row);
    EXPECT_EQ(s->cursor_column, c.column);
    if (c.text) {
        EXPECT_EQ(screen_text(s.t), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Ansi, CursorTest, testing::ValuesIn(kCursorCases), CaseName());

TEST(AutoWrap, WrapsOnTheGlyphAfterTheLastColumn) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, std::string(80, 'a'));
    EXPECT_EQ(s->cursor_column, 79);
    EXPECT_TRUE(s->wrap_pending);
    screen_feed(s.t, "b");
    EXPECT_EQ(s->cursor_row, 1);
    EXPECT_EQ(s->cursor_column, 1);
    EXPECT_EQ(screen_row_text(s.t, 1), "b");
}

TEST(AutoWrap, CursorCommandsCancelThePendingWrap) {
    for (const char *cancel : {"\r", "\b", "\x1b[C", "\x1b[D", "\x1b[1;80H", "\x1b[A", "\x1b[80G"}) {
        TestScreen s(EMU_ANSI);
        screen_feed(s.t, std::string(80, 'a') + cancel + "b");
        EXPECT_EQ(screen_row_text(s.t, 1), "") << "after " << testing::PrintToString(cancel);
    }
}

// A back tab used to leave the wrap pending, so the next glyph went to the next row.
TEST(AutoWrap, BackTabCancelsThePendingWrap) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, std::string(80, 'a') + "\x1b[Zb");
    EXPECT_EQ(s.cell(0, 72).code, (uint32_t)'b');
    EXPECT_EQ(s->cursor_row, 0);
    EXPECT_EQ(s->cursor_column, 73);
}

TEST(AutoWrap, OffOverwritesTheLastColumn) {
    TestScreen s(EMU_ANSI);
    std::string glyphs;
    for (int i = 0; i < 90; i++) glyphs += (char)('0' + i % 10);
    screen_feed(s.t, "\x1b[?7l" + glyphs);
    EXPECT_EQ(s->cursor_row, 0);
    EXPECT_EQ(s->cursor_column, 79);
    EXPECT_FALSE(s->wrap_pending);
    EXPECT_EQ(s.cell(0, 79).code, (uint32_t)'9');
    EXPECT_EQ(screen_row_text(s.t, 1), "");
}

TEST(AutoWrap, TurningItOffDropsAPendingWrap) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, std::string(80, 'a') + "\x1b[?7lb");
    EXPECT_EQ(s.cell(0, 79).code, (uint32_t)'b');
    EXPECT_EQ(s->cursor_row, 0);
}

TEST(SavedCursor, ColoursComeBackOnlyInVt100) {
    for (int emulation : {EMU_ANSI, EMU_VT100}) {
        TestScreen s(emulation);
        screen_feed(s.t, "\x1b[s\x1b[1;33m\x1b[uX");
        uint16_t expected = emulation == EMU_VT100 ? 7 : 14; // light grey back, or yellow kept
        EXPECT_EQ(s.cell(0, 0).fg, expected) << "emulation " << emulation;
    }
}

TEST(CursorModes, PrivateModesSetAndReset) {
    TestScreen s(EMU_VT100);
    screen_feed(s.t, "\x1b[?25;1l");
    EXPECT_FALSE(s->cursor_visible);
    screen_feed(s.t, "\x1b[?1h");
    EXPECT_TRUE(s->cursor_keys_mode);
    screen_feed(s.t, "\x1b[?25h\x1b[?1l\x1b[?1000h");
    EXPECT_TRUE(s->cursor_visible);
    EXPECT_FALSE(s->cursor_keys_mode);
    // Without the "?" these are other modes, which are ignored.
    screen_feed(s.t, "\x1b[25l\x1b[>25l");
    EXPECT_TRUE(s->cursor_visible);
}

TEST(CursorChange, AMoveAloneMarksTheScreenChanged) {
    TestScreen s(EMU_ANSI);
    s->screen_changed = 0;
    screen_feed(s.t, "\x1b[5;5H");
    EXPECT_TRUE(s->screen_changed);
    s->screen_changed = 0;
    screen_feed(s.t, "\x1b[1;2m");
    EXPECT_FALSE(s->screen_changed);
}

} // namespace
