// The PETSCII interpreter: printable codes and their folding, colours, reverse, the character sets,
// cursor keys, home, clear, insert and delete, and the immediate wrap.
#include "tests/term/screen_text.h"

namespace {

const std::string kRowOf39 = std::string(39, 'A');
const std::string kScrolledRow = std::string(23, '\n') + std::string(40, 'B');

// Shown as the composer shows PETSCII: upper-case / graphics set unless 0x0E switched.
// clang-format off
const ScreenCase kPetsciiCases[] = {
    {"printable and folded codes", EMU_PETSCII40, 25, "A1\xc1\xdf\xff\xa5", "A1♠◥π▏", 0, 6},
    {"lower case set", EMU_PETSCII40, 25, "A\xc1\x0e", "aA", 0, 2},
    {"controls dropped", EMU_PETSCII40, 25, "A\x08\x09\x0a\x01\x80\x83\x8f" "B", "AB", 0, 2},
    {"return and shifted return", EMU_PETSCII40, 25, "AB\rC\x8d" "D", "AB\nC\nD", 2, 1},
    {"clear homes", EMU_PETSCII40, 25, "AB\x11\x93" "C", "C", 0, 1},
    {"home", EMU_PETSCII40, 25, "\x11\x11" "AB\x13" "C", "C\n\nAB", 0, 1},
    {"cursor keys", EMU_PETSCII40, 25, "\x11\x11\x91\x1d\x1d" "A\x9d\x9d" "B", "\n BA", 1, 2},
    {"cursor up and left stop at home", EMU_PETSCII40, 25, "\x91\x9d" "A", "A", 0, 1},
    {"cursor left wraps to the row above", EMU_PETSCII40, 25, "\x11\x9d", nullptr, 0, 39},
    {"cursor right wraps to the next row", EMU_PETSCII80, 25, std::string(80, '\x1d'), nullptr, 1, 0},
    {"delete closes the row", EMU_PETSCII40, 25, "ABCD\x9d\x9d\x14", "ACD", 0, 1},
    {"delete at home", EMU_PETSCII40, 25, "\x14", "", 0, 0},
    {"delete at column 0 blanks the row above", EMU_PETSCII40, 25, std::string(40, 'A') + "\x14", kRowOf39.c_str(), 0, 39},
    {"insert opens the row", EMU_PETSCII40, 25, "ABCD\x9d\x9d\x9d\x94", "A BCD", 0, 1},
    {"fortieth glyph wraps at once", EMU_PETSCII40, 25, std::string(40, 'A'), nullptr, 1, 0},
    {"wrap at the bottom scrolls", EMU_PETSCII40, 25, std::string(24, '\x11') + std::string(40, 'B'), kScrolledRow.c_str(), 24, 0},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Petscii, ScreenTest, testing::ValuesIn(kPetsciiCases), CaseName());

// Colour codes set the foreground only and take no cell; reverse ends with RETURN, its off code or
// a clear; delete and insert move cells with their colours.
TEST(PetsciiColour, CodesReverseAndEditing) {
    TestScreen forty(EMU_PETSCII40, 25), eighty(EMU_PETSCII80, 25);
    screen_feed(forty.t, "A\005B\220C\237D\201\022E\rF\022G\222H");
    screen_feed(eighty.t, "A");
    EXPECT_EQ(screen_text(forty.t), "ABCDE\nFGH");
    const int kColours[][3] = {// row, column, fg * 100 + bg
                               {0, 0, 3016}, {0, 1, 1716}, {0, 2, 1616}, {0, 3, 1916},
                               {0, 4, 1624}, {1, 0, 2416}, {1, 1, 1624}, {1, 2, 2416}};
    for (auto [row, column, colours] : kColours)
        EXPECT_EQ(forty.cell(row, column).fg * 100 + forty.cell(row, column).bg, colours)
            << row << "," << column;
    EXPECT_EQ(forty.cell(0, 3).flags, CELL_PETSCII);
    EXPECT_EQ(eighty.cell(0, 0).fg, 16 + 13) << "light green after a reset";
    screen_feed(forty.t, "\022\223E");
    EXPECT_EQ(forty.cell(0, 0).bg, 16) << "clear ends reverse";

    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\005AB\034C\235\235\024");
    EXPECT_EQ(screen_text(s.t), "BC");
    EXPECT_EQ(s.cell(0, 0).fg * 100 + s.cell(0, 1).fg, 1718); // white B, red C
    screen_feed(s.t, "\005\224");
    EXPECT_EQ(screen_text(s.t), " BC");
    EXPECT_EQ(s.cell(0, 0).fg, 17) << "the opened cell keeps its colours, not the current ones";
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
