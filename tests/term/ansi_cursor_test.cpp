// Cursor movement and clamping, tabs, wrapping, saved positions and modes.
#include "tests/term/screen_text.h"

namespace {

const std::string kTabbed = "        x" + std::string(70, ' ') + "y", kA80 = std::string(80, 'a'),
                  kWrapped = kA80 + "\nb", kOverwritten = std::string(79, 'a') + "b",
                  kReturned = "b" + std::string(79, 'a'),
                  kBackTabbed = std::string(72, 'a') + "b" + std::string(7, 'a');

// clang-format off
const ScreenCase kCursorCases[] = {
    {"cup zeros, one parameter, clamped, region ignored", EMU_ANSI, 24, "\x1b[5;10r\x1b[9;9H\x1b[0;0Hx\x1b[7Hy\x1b[99;99H", "x\n\n\n\n\n\ny", 23, 79},
    {"cuu and cud stop at the region, huge counts clamp", EMU_ANSI, 24, "\x1b[5;20r\x1b[7;1H\x1b[10A\x1b[999999999B\x1b[999999999C\x1b[5D\x1b[0C", "", 19, 75},
    {"cpl cha hpa vpa", EMU_ANSI, 24, "\x1b[9;9H\x1b[2F\x1b[10G\x1b[15`\x1b[4d", "", 3, 14},
    {"ht cht and cbt", EMU_ANSI, 24, "\tx\x1b[2I\x1b[999999Iy\x1b[2Z", kTabbed.c_str(), 0, 64},
    {"lf vt nel ind", EMU_ANSI, 24, "a\nb\x0b" "c\x1b" "Ed\x1b" "De", "a\n b\n  c\nd\n e", 4, 2},
    {"cr and esc inside a sequence", EMU_ANSI, 24, "\x1b[12\r34H\x1b\x1b[A", "", 22, 0},
    {"the glyph after the last column wraps", EMU_ANSI, 24, kA80 + "b", kWrapped.c_str(), 1, 1},
    {"auto-wrap off overwrites the last column", EMU_ANSI, 24, "\x1b[?7l" + kA80 + "aaab", kOverwritten.c_str(), 0, 79},
    {"a cursor command ends the pending wrap", EMU_ANSI, 24, kA80 + "\rb", kReturned.c_str(), 0, 1},
    // A back tab used to leave the wrap pending, so the next glyph still went to the next row.
    {"a back tab ends the pending wrap", EMU_ANSI, 24, kA80 + "\x1b[Zb", kBackTabbed.c_str(), 0, 73},
};
// clang-format on

TEST(Cursor, LeavesScreenAndCursor) {
    expect_screens(kCursorCases);
}

TEST(SavedCursor, ColoursComeBackOnlyInVt100) {
    for (int emulation : {EMU_ANSI, EMU_VT100}) {
        TestScreen s(emulation);
        screen_feed(s.t, "\x1b[s\x1b[1;33m\x1b[5;5H\x1b"
                         "8X");
        EXPECT_EQ(s.cell(0, 0).fg, emulation == EMU_VT100 ? 7 : 14) << emulation; // grey back, or yellow kept
    }
}

TEST(Modes, CursorVisibilityAndKeysWithQuestionMarkOnlyAndTheBell) {
    TestScreen s(EMU_VT100);
    screen_feed(s.t, "\x1b[?25;1l\x1b[?1h\a\x1b[1\a;31m");
    EXPECT_EQ(std::tuple(s->cursor_visible, s->cursor_keys_mode, s->bell_count), std::tuple(0, 1, 2));
    screen_feed(s.t, "\x1b[?25h\x1b[25l\x1b[>25l");
    EXPECT_TRUE(s->cursor_visible) << "only a ? mode turns the cursor off";
}

} // namespace
