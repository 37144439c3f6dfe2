#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "display/raster.h"
#include "term/terminal.h"

namespace {

DisplayCell text_cell(uint32_t glyph, uint8_t flags = 0) {
    return DisplayCell{glyph, 15, 0, flags, {0, 0, 0}}; // white on black
}

// Draws one frame row of cells at a cell size and returns its picture: '#' for white, '.' for black
// and '?' for anything else, with the cells of a row side by side and a space between them.
std::vector<std::string> draw(const std::vector<DisplayCell> &cells, int w, int h, RasterCursor cursor = {},
                              const C64Font *font = &kC64BuiltinFont) {
    term_build_tables();
    static DisplayFrame frame;
    frame = DisplayFrame{};
    std::copy(cells.begin(), cells.end(), frame.cells[0]);
    const int pitch = FRAME_COLUMNS * w;
    std::vector<uint32_t> pixels((size_t)pitch * h, 0x123456);
    EXPECT_EQ(raster_frame(pixels.data(), pitch, &frame, FRAME_COLUMNS, 1, cursor, w, h, 1, font), 1);
    std::vector<std::string> lines(h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < (int)cells.size() * w; x++) {
            if (x > 0 && x % w == 0) lines[y] += ' ';
            uint32_t p = pixels[(size_t)y * pitch + x];
            lines[y] += p == 0xFFFFFF ? '#' : p == 0 ? '.' : '?';
        }
    return lines;
}

// The cell edges (bits left, right, top, bottom) touched by the 4-connected piece of set pixels
// through x, y; the piece is cleared from the picture.
int piece_edges(std::vector<std::string> &pic, int x, int y) {
    int w = (int)pic[0].size(), h = (int)pic.size();
    if (x < 0 || x >= w || y < 0 || y >= h || pic[y][x] != '#') return 0;
    pic[y][x] = '.';
    int edges = (x == 0) | (x == w - 1) << 1 | (y == 0) << 2 | (y == h - 1) << 3;
    return edges | piece_edges(pic, x - 1, y) | piece_edges(pic, x + 1, y) | piece_edges(pic, x, y - 1) |
           piece_edges(pic, x, y + 1);
}

// Each arm meets the cell's edge as one stroke (single) or two (double) of the line's thickness, so
// that neighbouring cells join; inside the cell every stroke reaches another edge.
TEST(Raster, BoxLinesLeaveEachEdgeWithTheirArmsAndNoStrokeHanging) {
    const int sizes[][2] = {{6, 12}, {8, 16}, {21, 43}}; // 21 x 43: full screen on 1920 x 1080
    for (uint32_t g = 0x2500; g <= 0x2570; g++) {
        uint8_t arms[4]; // left, right, up, down
        if (!raster_box_arms(g, arms)) continue;
        for (auto &size : sizes) {
            int w = size[0], h = size[1], thickness = w < 8 ? 1 : w / 8;
            SCOPED_TRACE(testing::Message() << std::hex << "U+" << g << std::dec << " at " << w << "x" << h);
            std::vector<std::string> pic = draw({text_cell(g)}, w, h);
            for (int e = 0; e < 4; e++) {
                std::string edge = e == 2 ? pic[0] : e == 3 ? pic[h - 1] : "";
                for (int y = 0; e < 2 && y < h; y++) edge += pic[y][e == 0 ? 0 : w - 1];
                int strokes = 0;
                for (size_t i = 0; i < edge.size(); i++)
                    strokes += edge[i] == '#' && (i == 0 || edge[i - 1] != '#');
                EXPECT_EQ(strokes, arms[e]) << "strokes at edge " << e;
                EXPECT_EQ(std::count(edge.begin(), edge.end(), '#'), arms[e] * thickness)
                    << "pixels at edge " << e;
            }
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    int touched = piece_edges(pic, x, y);
                    EXPECT_TRUE(touched == 0 || __builtin_popcount(touched) >= 2)
                        << "stroke ends at " << x << "," << y;
                }
        }
    }
}

TEST(Raster, BlocksShadesAndLineCrossingsAtTheirPixels) {
    // ▄ ▐ ▚ ■, and 'A', left to the text overlay, as background only
    std::vector<std::string> picture = draw(
        {text_cell(0x2584), text_cell(0x2590), text_cell(0x259A), text_cell(0x25A0), text_cell('A')}, 8, 8);
    EXPECT_EQ(picture[0], "........ ....#### ####.... ........ ........");
    EXPECT_EQ(picture[4], "######## ....#### ....#### .######. ........");

    // ░ ▒ ▓ follow a pattern on an 8 x 16 grid.
    picture = draw({text_cell(0x2591), text_cell(0x2592), text_cell(0x2593)}, 8, 16);
    EXPECT_EQ(picture[0], "#...#... #.#.#.#. ########");
    EXPECT_EQ(picture[3], "........ .#.#.#.# ###.###.");

    // ╫: the single line stops at the near stroke of the double one; ╥: the double lines hang from it.
    picture = draw({text_cell(0x256B), text_cell(0x2565)}, 8, 16);
    EXPECT_EQ(picture[0], ".#...#.. ........");
    EXPECT_EQ(picture[7], "##...### ########");
    EXPECT_EQ(picture[8], ".#...#.. .#...#..");
}

TEST(Raster, C64GlyphsScaleByNearestNeighbourAndDoubleOverTheRightHalf) {
    C64Font font{};
    const uint8_t a[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xFF, 0x01};
    memcpy(font.glyphs[0][1], a, 8);    // screen code 1 in the upper-case set
    memset(font.glyphs[1][1], 0xAA, 8); // the same code in the lower-case set
    // 'A' (PETSCII 0x41) at double width over two 8 x 8 cells; the right half's own colours are ignored.
    DisplayCell right = DisplayCell{0x41, 2, 4, DCELL_RIGHT_HALF, {0, 0, 0}};
    std::vector<std::string> doubled =
        draw({text_cell(0x41, DCELL_C64 | DCELL_C64_DOUBLE), right}, 8, 8, {}, &font);
    EXPECT_EQ(doubled[0], "##...... ......##");

    // At 8 x 16 each font row covers two pixel rows; bit 8 of the glyph picks the lower-case set.
    std::vector<std::string> tall =
        draw({text_cell(0x41, DCELL_C64), text_cell(0x141, DCELL_C64)}, 8, 16, {}, &font);
    EXPECT_EQ(tall[1], "#......# #.#.#.#.");
    EXPECT_EQ(tall[15], ".......# #.#.#.#.");
}

TEST(Raster, CursorIsAnUnderlineOrTheWholeC64Glyph) {
    const std::vector<DisplayCell> cells = {text_cell(' '), text_cell(0x20, DCELL_C64 | DCELL_C64_DOUBLE),
                                            text_cell(0x20, DCELL_RIGHT_HALF)};
    std::vector<std::string> underline = draw(cells, 8, 16, {0, 0, 1, 1});
    EXPECT_EQ(underline[13], "........ ........ ........");
    EXPECT_EQ(underline[14], "######## ........ ........");                        // one eighth of the cell
    EXPECT_EQ(draw(cells, 8, 16, {1, 0, 1, 1})[0], "........ ######## ########");  // the whole doubled glyph
    EXPECT_EQ(draw(cells, 8, 16, {0, 0, 1, 0})[15], "........ ........ ........"); // the off phase
}

} // namespace
