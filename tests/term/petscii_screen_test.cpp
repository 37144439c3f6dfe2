// The PETSCII interpreter: printable codes and their folding, colours, reverse, the character sets,
// cursor keys, home, clear, insert and delete, and the immediate wrap.
#include "tests/term/screen_text.h"

namespace {

struct PetsciiCase {
    const char *name;
    int emulation;
    const char *input;
    const char *codes; // the cells from row 0, column 0, as "U+XXXX" words (stored PETSCII codes)
    int row, column;
};

const PetsciiCase kPetsciiCases[] = {
    {"printable codes stored as they are", EMU_PETSCII40, "A1a\xa5\xbf", "U+0041 U+0031 U+0061 U+00A5 U+00BF",
     0, 5},
    {"duplicate ranges folded", EMU_PETSCII40, "\xc1\xdf\xe1\xfe\xff", "U+0061 U+007F U+00A1 U+00BE U+007E",
     0, 5},
    {"controls dropped", EMU_PETSCII40, "A\x08\x09\x0a\x01\x80\x83\x8f\x7f", "U+0041 U+007F", 0, 2},
    {"return", EMU_PETSCII40, "AB\rC", "U+0041 U+0042", 1, 1},
    {"shifted return", EMU_PETSCII40, "AB\x8d", "U+0041 U+0042", 1, 0},
    {"clear homes", EMU_PETSCII40,
     "AB\x11\x93"
     "C",
     "U+0043 U+0020", 0, 1},
    {"home", EMU_PETSCII40,
     "\x11\x11"
     "AB\x13"
     "C",
     "U+0043", 0, 1},
    {"cursor down and up", EMU_PETSCII40,
     "\x11\x11\x91"
     "A",
     "U+0020", 1, 1},
    {"cursor up at row 0", EMU_PETSCII40,
     "\x91"
     "A",
     "U+0041", 0, 1},
    {"cursor right", EMU_PETSCII40,
     "\x1d\x1d"
     "A",
     "U+0020 U+0020 U+0041", 0, 3},
    {"cursor left", EMU_PETSCII40,
     "AB\x9d"
     "C",
     "U+0041 U+0043", 0, 2},
    {"cursor left at home", EMU_PETSCII40, "\x9d", "U+0020", 0, 0},
    {"cursor left wraps to the row above", EMU_PETSCII40, "\x11\x9d", "U+0020", 0, 39},
    {"delete closes the row", EMU_PETSCII40, "ABCD\x9d\x9d\x14", "U+0041 U+0043 U+0044 U+0020", 0, 1},
    {"delete at home", EMU_PETSCII40, "\x14", "U+0020", 0, 0},
    {"insert opens the row", EMU_PETSCII40, "ABCD\x9d\x9d\x9d\x94", "U+0041 U+0020 U+0042 U+0043 U+0044", 0,
     1},
    {"eighty columns", EMU_PETSCII80,
     "\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d"
     "\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d\x1d"
     "A",
     "U+0020", 0, 41},
};

void PrintTo(const PetsciiCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class PetsciiTest : public testing::TestWithParam<PetsciiCase> {};

TEST_P(PetsciiTest, StoresCodesAndMovesTheCursor) {
    const PetsciiCase &c = GetParam();
    TestScreen s(c.emulation, 25);
    screen_feed(s.t, c.input);
    int words = 1;
    for (const char *p = c.codes; *p; p++) words += *p == ' ';
    EXPECT_EQ(screen_codes(s.t, 0, 0, words), c.codes);
    EXPECT_EQ(s->cursor_row, c.row);
    EXPECT_EQ(s->cursor_column, c.column);
}

INSTANTIATE_TEST_SUITE_P(Petscii, PetsciiTest, testing::ValuesIn(kPetsciiCases), CaseName());

// Foreground palette index of each colour code: 16 + the C64 colour.
TEST(PetsciiColour, EveryColourCode) {
    const struct {
        uint8_t code;
        int colour;
    } kColours[] = {
        {0x90, 0}, {0x05, 1}, {0x1c, 2},  {0x9f, 3},  {0x9c, 4},  {0x1e, 5},  {0x1f, 6},  {0x9e, 7},
        {0x81, 8}, {0x95, 9}, {0x96, 10}, {0x97, 11}, {0x98, 12}, {0x99, 13}, {0x9a, 14}, {0x9b, 15},
    };
    for (auto [code, colour] : kColours) {
        TestScreen s(EMU_PETSCII40, 25);
        screen_feed(s.t, std::string(1, (char)code) + "A");
        EXPECT_EQ(s.cell(0, 0).fg, 16 + colour) << std::hex << (int)code;
        EXPECT_EQ(s.cell(0, 0).bg, 16);
        EXPECT_EQ(s.cell(0, 0).flags, CELL_PETSCII);
        EXPECT_EQ(s->cursor_column, 1) << "a colour code takes no cell";
    }
}

TEST(PetsciiColour, StartColoursDifferByWidth) {
    TestScreen forty(EMU_PETSCII40, 25), eighty(EMU_PETSCII80, 25);
    screen_feed(forty.t, "A");
    screen_feed(eighty.t, "A");
    EXPECT_EQ(forty.cell(0, 0).fg, 16 + 14);  // light blue
    EXPECT_EQ(eighty.cell(0, 0).fg, 16 + 13); // light green
}

TEST(PetsciiReverse, EndsWithReturnOffOrClear) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\x12"
                     "A\r"
                     "B\x12"
                     "C\x92"
                     "D");
    EXPECT_EQ(s.cell(0, 0).fg, 16); // black on light blue
    EXPECT_EQ(s.cell(0, 0).bg, 30);
    EXPECT_EQ(s.cell(1, 0).fg, 30) << "return ends reverse";
    EXPECT_EQ(s.cell(1, 0).bg, 16) << "return ends reverse";
    EXPECT_EQ(s.cell(1, 1).bg, 30);
    EXPECT_EQ(s.cell(1, 2).bg, 16) << "reverse off";
    screen_feed(s.t, "\x12\x93"
                     "E");
    EXPECT_EQ(s.cell(0, 0).code, (uint32_t)'E');
    EXPECT_EQ(s.cell(0, 0).bg, 16) << "clear ends reverse";
}

TEST(PetsciiCharset, SwitchChangesTheLookOfWhatIsShown) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "A\xc1");
    EXPECT_EQ(screen_text(s.t), "A♠");
    s->screen_changed = 0;
    screen_feed(s.t, "\x0e");
    EXPECT_TRUE(s->screen_changed);
    EXPECT_EQ(screen_text(s.t), "aA");
    screen_feed(s.t, "\x8e");
    EXPECT_EQ(screen_text(s.t), "A♠");
}

TEST(PetsciiEdit, DeleteAndInsertKeepTheColoursOfTheCells) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\x05"
                     "AB\x1c"
                     "C\x9d\x9d\x14");
    EXPECT_EQ(screen_codes(s.t, 0, 0, 3), "U+0042 U+0043 U+0020");
    EXPECT_EQ(s.cell(0, 0).fg, 17); // B, white
    EXPECT_EQ(s.cell(0, 1).fg, 18); // C, red
    screen_feed(s.t, "\x05\x94");
    EXPECT_EQ(screen_codes(s.t, 0, 0, 3), "U+0020 U+0042 U+0043");
    EXPECT_EQ(s.cell(0, 0).fg, 17) << "the opened cell keeps its colour, not the current one";
    EXPECT_EQ(s.cell(0, 2).fg, 18);
}

TEST(PetsciiEdit, DeleteAtColumnZeroBlanksTheEndOfTheRowAbove) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, std::string(39, 'A') + "B\x14"); // the 40th glyph already wrapped
    EXPECT_EQ(s->cursor_row, 0);
    EXPECT_EQ(s->cursor_column, 39);
    EXPECT_EQ(s.cell(0, 39).code, (uint32_t)' ');
    EXPECT_EQ(s.cell(0, 38).code, (uint32_t)'A');
}

TEST(PetsciiEdit, InsertOnAFullRowLosesTheLastCell) {
    TestScreen s(EMU_PETSCII40, 25);
    std::string row;
    for (int i = 0; i < 40; i++) row += (char)('A' + i % 26);
    screen_feed(s.t, row + "\x91\x94");
    EXPECT_EQ(s.cell(0, 0).code, (uint32_t)' ');
    EXPECT_EQ(s.cell(0, 1).code, (uint32_t)'A');
    EXPECT_EQ(s.cell(0, 39).code, (uint32_t)('A' + 38 % 26));
}

TEST(PetsciiWrap, FortiethGlyphWrapsAtOnceAndScrollsAtTheBottom) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, std::string(40, 'A'));
    EXPECT_EQ(s->cursor_row, 1);
    EXPECT_EQ(s->cursor_column, 0);
    EXPECT_FALSE(s->wrap_pending);
    std::string down = "\x13";
    down.append(24, '\x11').append(40, 'B');
    screen_feed(s.t, down);
    EXPECT_EQ(s->cursor_row, 24);
    EXPECT_EQ(s->cursor_column, 0);
    EXPECT_EQ(s.cell(23, 0).code, (uint32_t)'B');
    EXPECT_EQ(s.cell(24, 0).code, (uint32_t)' ');
}

TEST(PetsciiWrap, CursorRightWrapsAndScrolls) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "X\x9d" + std::string(24, '\x11') + std::string(40, '\x1d'));
    EXPECT_EQ(s->cursor_row, 24);
    EXPECT_EQ(s->cursor_column, 0);
    EXPECT_EQ(s.cell(0, 0).code, (uint32_t)' ') << "the top row scrolled away";
}

TEST(PetsciiBell, CountsInBothHandlings) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, "\a\a");
    s->text_mode = 1, s->ascii_text = 1;
    screen_feed(s.t, "\a");
    EXPECT_EQ(s->bell_count, 3);
}

} // namespace
