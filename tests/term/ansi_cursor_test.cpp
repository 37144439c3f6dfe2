// Cursor movement and clamping, tabs, wrapping and saved positions.
#include "tests/term/screen_text.h"

namespace {

// clang-format off
const ScreenCase kCursorCases[] = {
    {"cup zeros and one parameter", EMU_ANSI, 24, "\x1b[9;9H\x1b[0;0Hx\x1b[7H", "x", 6, 0},
    {"cup clamps and ignores the region", EMU_ANSI, 24, "\x1b[5;10r\x1b[99;99H", nullptr, 23, 79},
    {"cuu stops at the region top", EMU_ANSI, 24, "\x1b[5;20r\x1b[7;1H\x1b[10A", nullptr, 4, 0},
    {"zero count is one, huge counts clamp", EMU_ANSI, 24, "\x1b[999999999B\x1b[999999999C\x1b[5D\x1b[0C", nullptr, 23, 75},
    {"cpl cha hpa vpa", EMU_ANSI, 24, "\x1b[9;9H\x1b[2F\x1b[10G\x1b[15`\x1b[4d", nullptr, 3, 14},
    {"ht and cht stop at the last column", EMU_ANSI, 24, "\tx\x1b[2I\x1b[999999I", "        x", 0, 79},
    {"cbt", EMU_ANSI, 24, "\x1b[20G\x1b[2Z\x1b[3G\x1b[999999Z", nullptr, 0, 0},
    {"lf vt nel ind", EMU_ANSI, 24, "a\nb\x0b" "c\x1b" "Ed\x1b" "De", "a\n b\n  c\nd\n e", 4, 2},
    {"decsc and decrc", EMU_ANSI, 24, "\x1b[5;5H\x1b" "7\x1b[H\x1b" "8", nullptr, 4, 4},
    {"cr inside a sequence", EMU_ANSI, 24, "\x1b[12\r34H", nullptr, 23, 0},
    {"esc esc csi", EMU_ANSI, 24, "\x1b[5;5H\x1b\x1b[A", nullptr, 3, 4},
};
// clang-format on

TEST(Cursor, LeavesScreenAndCursor) {
    expect_screens(kCursorCases);
}

// The glyph after the last column wraps, unless a cursor command came between. "\x1b[Z" is a
// regression: a back tab left the wrap pending, so the next glyph still went to the next row.
TEST(AutoWrap, WrapsUnlessACursorCommandCameBetween) {
    for (const char *between : {"", "\r", "\x1b[C", "\x1b[Z"}) {
        TestScreen s(EMU_ANSI);
        screen_feed(s.t, std::string(80, 'a') + between + "b");
        EXPECT_EQ(screen_row_text(s.t, 1), *between ? "" : "b") << testing::PrintToString(between);
    }
    TestScreen off(EMU_ANSI); // auto-wrap off: the last column is overwritten
    screen_feed(off.t, "\x1b[?7l" + std::string(85, 'a') + "b");
    EXPECT_EQ(screen_text(off.t), std::string(79, 'a') + "b");
}

TEST(SavedCursor, ColoursComeBackOnlyInVt100) {
    for (int emulation : {EMU_ANSI, EMU_VT100}) {
        TestScreen s(emulation);
        screen_feed(s.t, "\x1b[s\x1b[1;33m\x1b[uX");
        EXPECT_EQ(s.cell(0, 0).fg, emulation == EMU_VT100 ? 7 : 14) << emulation; // grey back, or yellow kept
    }
}

TEST(PrivateModes, SetAndResetWithQuestionMarkOnly) {
    TestScreen s(EMU_VT100);
    screen_feed(s.t, "\x1b[?25;1l\x1b[?1h");
    EXPECT_FALSE(s->cursor_visible);
    EXPECT_TRUE(s->cursor_keys_mode);
    screen_feed(s.t, "\x1b[?25h\x1b[25l\x1b[>25l");
    EXPECT_TRUE(s->cursor_visible);
}

// The composer draws the cursor, so a move alone must get the screen redrawn.
TEST(ScreenChanged, SetByACursorMoveAlone) {
    TestScreen s(EMU_PETSCII40, 25);
    s->screen_changed = 0;
    screen_feed(s.t, "\x11");
    EXPECT_TRUE(s->screen_changed);
    s->screen_changed = 0;
    screen_feed(s.t, "\x05");
    EXPECT_FALSE(s->screen_changed);
}

} // namespace
