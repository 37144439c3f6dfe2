#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/raster.h"
#include "term/terminal.h"

namespace {

const uint16_t kWhite = 15, kBlack = 0;

DisplayCell text_cell(uint32_t glyph, uint8_t flags = 0) {
    return DisplayCell{glyph, kWhite, kBlack, flags, {0, 0, 0}};
}

// One frame row of cells drawn at a cell size; pictures show '#' for white, '.' for black and '?'
// for anything else, with the cells of a row side by side and a space between them.
struct Drawn {
    int cell_width, cell_height, count;
    std::vector<uint32_t> pixels;
    int pitch() const { return FRAME_COLUMNS * cell_width; }
    uint32_t at(int x, int y) const { return pixels[(size_t)y * pitch() + x]; }
    std::vector<std::string> picture(int first = 0) const {
        std::vector<std::string> lines;
        for (int y = 0; y < cell_height; y++) {
            std::string line;
            for (int c = first; c < count; c++) {
                if (c > first) line += ' ';
                for (int x = 0; x < cell_width; x++) {
                    uint32_t p = at(c * cell_width + x, y);
                    line += p == 0xFFFFFF ? '#' : p == 0 ? '.' : '?';
                }
            }
            lines.push_back(line);
        }
        return lines;
    }
};

Drawn draw(const std::vector<DisplayCell> &cells, int w, int h, RasterCursor cursor = {},
           const C64Font *font = &kC64BuiltinFont) {
    static DisplayFrame frame;
    frame = DisplayFrame{};
    for (size_t i = 0; i < cells.size(); i++) frame.cells[0][i] = cells[i];
    Drawn d{w, h, (int)cells.size(), std::vector<uint32_t>((size_t)FRAME_COLUMNS * w * h, 0x123456)};
    EXPECT_EQ(raster_frame(d.pixels.data(), d.pitch(), &frame, FRAME_COLUMNS, 1, cursor, w, h, 1, font), 1);
    return d;
}

class RasterTest : public ::testing::Test {
  protected:
    void SetUp() override { term_build_tables(); }
};

// ---------------------------------------------------------------- box lines

// Runs of set pixels along one edge of a cell, with their lengths.
std::vector<int> edge_runs(const Drawn &d, bool vertical, int fixed) {
    std::vector<int> runs;
    int length = vertical ? d.cell_height : d.cell_width, run = 0;
    for (int i = 0; i <= length; i++) {
        bool set = i < length && (vertical ? d.at(fixed, i) : d.at(i, fixed)) == 0xFFFFFF;
        if (set) run++;
        if (!set && run) runs.push_back(run), run = 0;
    }
    return runs;
}

// Each 4-connected piece of the glyph, as the set of cell edges it touches (bits left, right, top, bottom).
std::vector<int> pieces(const Drawn &d) {
    int w = d.cell_width, h = d.cell_height;
    std::vector<int> seen((size_t)w * h, 0), result;
    for (int start = 0; start < w * h; start++) {
        if (seen[start] || d.at(start % w, start / w) != 0xFFFFFF) continue;
        int edges = 0;
        std::vector<int> todo = {start};
        seen[start] = 1;
        while (!todo.empty()) {
            int p = todo.back(), x = p % w, y = p / w;
            todo.pop_back();
            edges |= (x == 0) | (x == w - 1) << 1 | (y == 0) << 2 | (y == h - 1) << 3;
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (auto &n : next) {
                if (n[0] < 0 || n[0] >= w || n[1] < 0 || n[1] >= h) continue;
                int q = n[1] * w + n[0];
                if (!seen[q] && d.at(n[0], n[1]) == 0xFFFFFF) seen[q] = 1, todo.push_back(q);
            }
        }
        result.push_back(edges);
    }
    return result;
}

TEST_F(RasterTest, BoxLinesLeaveEachEdgeWithTheirArmsAndNoStrokeHanging) {
    const int sizes[][2] = {{6, 12}, {8, 16}, {16, 32}, {21, 43}}; // 21 x 43: full screen on 1920 x 1080
    int glyphs = 0;
    for (uint32_t g = 0x2500; g <= 0x2570; g++) {
        uint8_t arms[4];
        if (!raster_box_arms(g, arms)) continue;
        glyphs++;
        for (auto &size : sizes) {
            int w = size[0], h = size[1], t = w < 8 ? 1 : w / 8;
            Drawn d = draw({text_cell(g)}, w, h);
            SCOPED_TRACE(testing::Message() << std::hex << "U+" << g << std::dec << " at " << w << "x" << h);
            const std::vector<int> edges[4] = {edge_runs(d, true, 0), edge_runs(d, true, w - 1),
                                               edge_runs(d, false, 0), edge_runs(d, false, h - 1)};
            for (int e = 0; e < 4; e++) {
                EXPECT_EQ((int)edges[e].size(), arms[e]) << "edge " << e;
                for (int run : edges[e]) EXPECT_EQ(run, t) << "edge " << e;
            }
            for (int touched : pieces(d))
                EXPECT_GE(__builtin_popcount(touched), 2) << "a stroke ends in the cell";
        }
    }
    EXPECT_EQ(glyphs, 44);
}

// ╫: the single line stops at the near stroke of the double one; ╥: the double lines hang from it.
TEST_F(RasterTest, SingleLinesStopAtTheNearStrokeOfADoubleLineTheyCross) {
    std::vector<std::string> picture = draw({text_cell(0x256B), text_cell(0x2565)}, 8, 16).picture();
    EXPECT_EQ(picture[0], ".#...#.. ........");
    EXPECT_EQ(picture[7], "##...### ########");
    EXPECT_EQ(picture[8], ".#...#.. .#...#..");
}

// ---------------------------------------------------------------- blocks and shades

TEST_F(RasterTest, BlockElementsAQuadrantAndTheBlackSquare) {
    // ▄ ▐ ▚ ■
    std::vector<std::string> picture =
        draw({text_cell(0x2584), text_cell(0x2590), text_cell(0x259A), text_cell(0x25A0)}, 8, 8).picture();
    EXPECT_EQ(picture[0], "........ ....#### ####.... ........");
    EXPECT_EQ(picture[2], "........ ....#### ####.... .######.");
    EXPECT_EQ(picture[4], "######## ....#### ....#### .######.");
    EXPECT_EQ(picture[7], "######## ....#### ....#### ........");
}

TEST_F(RasterTest, ShadesFollowAnEightBySixteenPatternAtAnySize) {
    // ░ ▒ ▓: the pattern repeats every four rows
    std::vector<std::string> picture =
        draw({text_cell(0x2591), text_cell(0x2592), text_cell(0x2593)}, 8, 16).picture();
    EXPECT_EQ(picture[0], "#...#... #.#.#.#. ########");
    EXPECT_EQ(picture[3], "........ .#.#.#.# ###.###.");
    EXPECT_EQ(picture[14], picture[2]);

    // At twice the size every pattern pixel is a 2 x 2 square.
    Drawn small = draw({text_cell(0x2593)}, 8, 16), big = draw({text_cell(0x2593)}, 16, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 16; x++) ASSERT_EQ(big.at(x, y), small.at(x / 2, y / 2)) << x << "," << y;
}

// ---------------------------------------------------------------- C64 glyphs

C64Font test_font() {
    C64Font font{};
    const uint8_t a[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xFF, 0x01};
    for (int y = 0; y < 8; y++) font.glyphs[0][1][y] = a[y]; // screen code 1 in the upper-case set
    for (int y = 0; y < 8; y++) font.glyphs[1][1][y] = 0xAA; // the same code in the lower-case set
    for (int g = 0; g < 128; g++)
        font.glyphs[0][g][0] |= g == 32 ? 0 : 0x01; // every glyph but the space shows
    return font;
}

TEST_F(RasterTest, C64GlyphsScaleByNearestNeighbourAndDoubleOverTheRightHalf) {
    C64Font font = test_font();
    // 'A' (PETSCII 0x41) at double width over two 8 x 8 cells; the right half's own colours are ignored.
    DisplayCell left = text_cell(0x41, DCELL_C64 | DCELL_C64_DOUBLE);
    DisplayCell right = DisplayCell{0x41, 2, 4, DCELL_RIGHT_HALF, {0, 0, 0}};
    std::vector<std::string> doubled = draw({left, right}, 8, 8, {}, &font).picture();
    EXPECT_EQ(doubled[0], "##...... ......##");
    EXPECT_EQ(doubled[6], "######## ########");

    // At 8 x 16 each font row covers two pixel rows; bit 8 of the glyph picks the lower-case set.
    Drawn tall = draw({text_cell(0x41, DCELL_C64), text_cell(0x141, DCELL_C64)}, 8, 16, {}, &font);
    EXPECT_EQ(tall.picture()[0], "#......# #.#.#.#.");
    EXPECT_EQ(tall.picture()[1], "#......# #.#.#.#.");
    EXPECT_EQ(tall.picture()[15], ".......# #.#.#.#.");

    // PETSCII codes 0-31 and 128-159 are blank; 0xFF shows as screen code 94.
    for (int p = 0; p < 256; p++) {
        bool blank = p < 32 || (p >= 128 && p < 160);
        Drawn d = draw({text_cell((uint32_t)p, DCELL_C64)}, 8, 8, {}, &font);
        EXPECT_EQ(d.at(7, 0) == 0xFFFFFF, !blank && p != 32) << "PETSCII " << p;
    }
    EXPECT_EQ(c64_screen_code(0xFF), 94);
}

// ---------------------------------------------------------------- cursor and overlay

TEST_F(RasterTest, CursorIsAnUnderlineOrTheWholeC64Glyph) {
    std::vector<DisplayCell> cells = {text_cell(' '), text_cell(0x20, DCELL_C64 | DCELL_C64_DOUBLE),
                                      text_cell(0x20, DCELL_RIGHT_HALF)};
    auto inverted_rows = [](const Drawn &d, int column, int width) {
        int rows = 0;
        for (int y = 0; y < d.cell_height; y++) {
            int n = 0;
            for (int x = 0; x < width; x++) n += d.at(column * d.cell_width + x, y) == 0xFFFFFF;
            EXPECT_TRUE(n == 0 || n == width) << "row " << y;
            rows += n == width;
        }
        return rows;
    };
    EXPECT_EQ(inverted_rows(draw(cells, 8, 16, {0, 0, 1, 1}), 0, 8), 2); // one eighth of 16 rows
    EXPECT_EQ(inverted_rows(draw(cells, 8, 16, {1, 0, 1, 1}), 1, 16), 16);
    EXPECT_EQ(inverted_rows(draw(cells, 8, 16, {0, 0, 1, 0}), 0, 8), 0); // the off phase

    // A doubled glyph in the last column is cut at the frame's edge.
    static DisplayFrame frame{};
    frame.cells[0][79] = text_cell(0x20, DCELL_C64 | DCELL_C64_DOUBLE);
    std::vector<uint32_t> pixels(640 * 16 + 1, 7);
    EXPECT_EQ(raster_frame(pixels.data(), 640, &frame, 80, 1, {79, 0, 1, 1}, 8, 16, 1, &kC64BuiltinFont), 1);
    EXPECT_EQ(pixels[640 * 16], 7u);
}

// A glyph left to the text overlay is drawn as background only.
TEST_F(RasterTest, TextOverlayGlyphsAreDrawnAsBackgroundOnly) {
    Drawn d = draw({DisplayCell{'A', kWhite, 1, 0, {0, 0, 0}}}, 8, 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(d.at(x, y), 0x0000AAu);
}

TEST_F(RasterTest, SizesOutsideTheLimitsDrawNothing) {
    static DisplayFrame frame{};
    std::vector<uint32_t> pixels(640 * 16, 7);
    const C64Font *f = &kC64BuiltinFont;
    EXPECT_EQ(raster_frame(pixels.data(), 640, &frame, 80, 1, {}, 0, 16, 1, f), 0);
    EXPECT_EQ(raster_frame(pixels.data(), 639, &frame, 80, 1, {}, 8, 16, 1, f), 0);
    EXPECT_EQ(pixels[0], 7u);
}

} // namespace
