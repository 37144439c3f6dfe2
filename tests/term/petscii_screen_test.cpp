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

TEST(PetsciiColour, CodesSetTheForegroundOnly) {
    TestScreen forty(EMU_PETSCII40, 25), eighty(EMU_PETSCII80, 25);
    screen_feed(forty.t, "A\x05"
                         "B\x90"
                         "C\x9f"
                         "D\x81");
    screen_feed(eighty.t, "A");
    EXPECT_EQ(forty.cell(0, 0).fg, 16 + 14) << "light blue after a reset";
    EXPECT_EQ(eighty.cell(0, 0).fg, 16 + 13) << "light green after a reset";
    EXPECT_EQ(screen_codes(forty.t, 0, 0, 5), "U+0041 U+0042 U+0043 U+0044 U+0020") << "codes take no cell";
    EXPECT_EQ(forty.cell(0, 1).fg, 17); // white
    EXPECT_EQ(forty.cell(0, 2).fg, 16); // black
    EXPECT_EQ(forty.cell(0, 3).fg, 19); // cyan
    EXPECT_EQ(forty.cell(0, 3).bg, 16);
    EXPECT_EQ(forty.cell(0, 3).flags, CELL_PETSCII);
}

TEST(PetsciiReverse, EndsWithReturnOffOrClear) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\x12"
                     "A\r"
                     "B\x12"
                     "C\x92"
                     "D");
    EXPECT_EQ(s.cell(0, 0).fg * 100 + s.cell(0, 0).bg, 1630) << "black on light blue";
    EXPECT_EQ(s.cell(1, 0).bg, 16) << "return ends reverse";
    EXPECT_EQ(s.cell(1, 1).bg, 30);
    EXPECT_EQ(s.cell(1, 2).bg, 16) << "reverse off";
    screen_feed(s.t, "\x12\x93"
                     "E");
    EXPECT_EQ(s.cell(0, 0).bg, 16) << "clear ends reverse";
}

TEST(PetsciiEdit, DeleteAndInsertMoveCellsWithTheirColours) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\x05"
                     "AB\x1c"
                     "C\x9d\x9d\x14");
    EXPECT_EQ(screen_text(s.t), "BC");
    EXPECT_EQ(s.cell(0, 0).fg * 100 + s.cell(0, 1).fg, 1718); // white B, red C
    screen_feed(s.t, "\x05\x94");
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
