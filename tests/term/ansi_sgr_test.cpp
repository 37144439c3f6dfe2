// SGR: the palette indexes and flags given to written glyphs.
#include "tests/term/screen_text.h"

namespace {

// Palette: 0-15 PC colours (1 blue, 4 red, 7 grey, 9 light blue, 12 light red, 14 yellow, 15 white),
// 32-271 the 256-colour set from its colour 16 on.
TEST(Sgr, WrittenGlyphCarriesTheColours) {
    const struct {
        const char *input; // followed by "X", which lands in row 0, column 0
        int ice;
        int fg, bg, flags;
        // clang-format off
    } kCases[] = {
        {"\x1b[1;31m", 0, 12, 0, 0},
        {"\x1b[5;44m", 1, 7, 9, 0},
        {"\x1b[5;44m", 0, 7, 1, CELL_BLINK},
        {"\x1b[31;7;8m", 0, 4, 4, 0}, // reverse and concealed: both the colour the foreground had
        {"\x1b[38;5;999m\x1b[48;5;21m", 0, 271, 37, 0},
        {"\x1b[38;2;0;0;170m", 0, 1, 0, 0}, // an exact PC colour wins over the cube
        {"\x1b[1;31;45;38;5;100m\x1b[m", 0, 7, 0, 0},
        {"\x1b[?1m\x1b[>31m\x1b[31 m", 0, 7, 0, 0}, // private or intermediate: not SGR
    };
    // clang-format on
    for (const auto &c : kCases)
        for (int emulation : {EMU_ANSI, EMU_VT100}) {
            TestScreen s(emulation, 24, 0, c.ice);
            screen_feed(s.t, std::string(c.input) + "X");
            const Cell &cell = s.cell(0, 0);
            EXPECT_EQ(std::tuple(cell.fg, cell.bg, (int)cell.flags), std::tuple(c.fg, c.bg, c.flags))
                << emulation_file_words[emulation] << " " << testing::PrintToString(std::string(c.input));
        }
}

} // namespace
