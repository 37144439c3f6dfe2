// The PETSCII interpreter: printable codes and their folding, colours, reverse, the character sets,
// cursor keys, home, clear, insert and delete, and the immediate wrap.
#include "tests/term/screen_text.h"

namespace {

const std::string kScrolledRow = std::string(23, '\n') + std::string(40, 'B');

// Shown as the composer shows PETSCII: upper-case / graphics set unless 0x0E switched.
// clang-format off
const ScreenCase kPetsciiCases[] = {
    {"printable, folded and dropped codes", EMU_PETSCII40, 25, "A1\x08\x09\x0a\x01\x80\x83\x8f\xc1\xdf\xff\xa5", "A1♠◥π▏", 0, 6},
    {"lower case set", EMU_PETSCII40, 25, "A\xc1\x0e", "aA", 0, 2},
    {"return and shifted return", EMU_PETSCII40, 25, "AB\rC\x8d" "D", "AB\nC\nD", 2, 1},
    {"clear homes", EMU_PETSCII40, 25, "AB\x11\x93" "C", "C", 0, 1},
    {"cursor keys", EMU_PETSCII40, 25, "\x11\x11\x91\x1d\x1d" "A\x9d\x9d" "B", "\n BA", 1, 2},
    {"cursor left wraps to the row above", EMU_PETSCII40, 25, "\x11\x9d", "", 0, 39},
    {"fortieth glyph at the bottom wraps and scrolls at once", EMU_PETSCII40, 25, std::string(24, '\x11') + std::string(40, 'B'), kScrolledRow.c_str(), 24, 0},
};
// clang-format on

TEST(Petscii, LeavesScreenAndCursor) {
    expect_screens(kPetsciiCases);
}

// Colour codes set the foreground only and take no cell; reverse ends with RETURN, its off code or
// a clear; delete and insert move cells with their colours. Palette: C64 colours from 16 (black 16,
// white 17, red 18, cyan 19, orange 24, light blue 30).
TEST(PetsciiColour, CodesReverseAndEditing) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "A\005B\237C\201\022D\rE\022F\222G");
    EXPECT_EQ(screen_text(s.t), "ABCD\nEFG");
    const int kColours[][4] = {// row, column, fg, bg
                               {0, 0, 30, 16}, {0, 1, 17, 16}, {0, 2, 19, 16}, {0, 3, 16, 24},
                               {1, 0, 24, 16}, {1, 1, 16, 24}, {1, 2, 24, 16}};
    for (auto [row, column, fg, bg] : kColours)
        EXPECT_EQ(std::pair((int)s.cell(row, column).fg, (int)s.cell(row, column).bg), std::pair(fg, bg))
            << row << "," << column;
    screen_feed(s.t, "\022\223E");
    EXPECT_EQ(s.cell(0, 0).bg, 16) << "clear ends reverse";

    TestScreen edit(EMU_PETSCII40, 25);
    screen_feed(edit.t, "\005AB\034C\235\235\024\224"); // red is current at the insert
    EXPECT_EQ(screen_text(edit.t), " BC");
    EXPECT_EQ(edit.cell(0, 1).fg, 17) << "B moved left in white";
    EXPECT_EQ(edit.cell(0, 2).fg, 18) << "C moved left in red";
    EXPECT_EQ(edit.cell(0, 0).fg, 17) << "the opened cell keeps its colours, not the current ones";
}

// A row hidden below the screen kept the PETSCII cells after a switch, and showed them in ANSI once
// the rows grew again.
TEST(EmulationSwitch, HiddenRowIsBlankWhenTheRowsGrow) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, std::string(24, '\x11') + "AB\x13");
    term_set_emulation(s.t, EMU_ANSI, 24);
    term_set_emulation(s.t, EMU_ANSI, 25);
    EXPECT_EQ(screen_text(s.t), "");
    EXPECT_EQ(s.cell(24, 0).flags, 0);
}

} // namespace
