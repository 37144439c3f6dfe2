// Control strings and ANSI music, dropped sequences, C0 controls shown as CP437 symbols,
// DEC Special Graphics with G0 / G1, and TTY, which interprets no escape sequences.
#include "tests/term/screen_text.h"

namespace {

// clang-format off
const ScreenCase kTextCases[] = {
    {"osc dcs apc pm sos, esc inside", EMU_VT100, 24, "\x1b]0;t\a\x1bPq\x1b\\\x1b_a\x1b\\\x1b^b\x1b\\\x1bX\x1b[31mc\x1b\\\x1b]a\x1b" "bc\x1b\x1b\\d\aok", "ok", 0, 2},
    {"music up to so", EMU_ANSI, 24, "\x1b[NT120L8CDE\x0eok\x1b[|MFL8\x0e!", "ok!", 0, 3},
    {"csi M is delete line not music", EMU_ANSI, 24, "\x1b[MFL8C\x0eok", "FL8Cok", 0, 6},
    {"unknown esc and designations dropped", EMU_ANSI, 24, "\x1bZa\x1b\x01" "b\x1b#8c\x1b%Gd", "abcd", 0, 4},
    {"control symbols while undecided", EMU_ANSI, 24, "\x03\x10\x1f", "♥►▼", 0, 3},
    {"no control symbols once utf8 decided", EMU_ANSI, 24, "éééé\x03", "éééé", 0, 4},
    {"tty shows escape sequences", EMU_TTY, 24, "\x1b[2J\x1b]0;x\a\x03", "[2J]0;x", 0, 7},
    {"dec graphics in g0", EMU_ANSI, 24, "\x1b(0lqkA_~\x1b(Blqk", "┌─┐A\u00a0·lqk", 0, 9},
    {"g1 only after so in vt100", EMU_VT100, 24, "\x0eq\x0f\x1b)0q\x0eq\x0fq", "qq─q", 0, 4},
};
// clang-format on

TEST(Strings, LeavesScreenAndCursor) {
    expect_screens(kTextCases);
}

} // namespace
