#include <gtest/gtest.h>

#include <string>

#include "display/present.h"
#include "term/terminal.h"

namespace {

std::string g_written;
void capture(const uint8_t *bytes, int length) {
    g_written.append((const char *)bytes, (size_t)length);
}

int count(const std::string &s, const std::string &what) {
    int n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) n++;
    return n;
}

class RendererTest : public ::testing::Test {
  protected:
    DisplayFrame frame;
    void SetUp() override {
        term_build_tables();
        console_set_writer(capture);
        g_presenter.truecolour = 1;
        g_presenter.visible_columns = FRAME_COLUMNS;
        g_presenter.visible_rows = FRAME_MAX_ROWS;
        g_presenter.colours_ready = 0;
        set_console_colours(0);
        frame = DisplayFrame{};
        frame.rows = 25;
        for (auto &row : frame.cells)
            for (auto &cell : row) cell = DisplayCell{' ', 7, 0, 0, {0, 0, 0}};
        show(); // everything written once; later shows write differences only
    }
    void TearDown() override { console_set_writer(nullptr); }
    std::string show() {
        g_written.clear();
        show_frame(&frame, FRAME_COLUMNS, frame.rows, frame.cursor_column, frame.cursor_row,
                   frame.cursor_visible);
        return g_written;
    }
    void put(int row, int column, uint32_t glyph, uint16_t fg = 7, uint16_t bg = 0) {
        frame.cells[row][column] = DisplayCell{glyph, fg, bg, 0, {0, 0, 0}};
    }
};

TEST_F(RendererTest, UnchangedFrameWritesOnlyPrefixAndSuffix) {
    frame.cursor_visible = 1;
    frame.cursor_row = 3, frame.cursor_column = 7;
    EXPECT_EQ(show(), "\x1b[?25l\x1b[0m\x1b[4;8H\x1b[?25h");
    frame.cursor_visible = 0;
    EXPECT_EQ(show(), "\x1b[?25l\x1b[0m\x1b[4;8H");
}

TEST_F(RendererTest, OneCellChangeWritesOnePositionedSpan) {
    put(2, 5, 'X', 14, 1);
    EXPECT_EQ(show(), "\x1b[?25l\x1b[3;6H\x1b[38;2;255;255;85;48;2;0;0;170mX\x1b[0m\x1b[1;1H");
}

TEST_F(RendererTest, SpanRunsFromFirstToLastChangeWithColoursOnlyWherePairsChange) {
    put(0, 10, 'a', 15, 1);
    put(0, 11, 'b', 15, 1);
    put(0, 14, 'c', 14, 1); // columns 12 and 13 unchanged but inside the span
    std::string out = show();
    EXPECT_EQ(count(out, "\x1b[1;11H"), 1);
    EXPECT_EQ(count(out, "38;2;"), 3); // white-on-blue, grey-on-black for 12-13, yellow-on-blue
    EXPECT_NE(out.find("ab\x1b[38;2;170;170;170;48;2;0;0;0m  \x1b[38;2;255;255;85"), std::string::npos);
}

TEST_F(RendererTest, ColourPairCarriesOverFromRowToRow) {
    put(1, 0, 'a', 15, 1);
    put(2, 0, 'b', 15, 1);
    EXPECT_EQ(count(show(), "38;2;"), 1);
}

TEST_F(RendererTest, FlagsAloneSendNothing) {
    frame.cells[4][4].flags = DCELL_BLINK;
    EXPECT_EQ(show(), "\x1b[?25l\x1b[0m\x1b[1;1H");
}

TEST_F(RendererTest, WideGlyphIsRewrittenWholeWhenOnlyItsRightHalfChanged) {
    put(0, 10, 0x4E00);
    put(0, 11, 'x'); // a dialog covered the right half
    show();
    put(0, 11, 0); // the dialog is gone
    std::string out = show();
    EXPECT_EQ(out.find("\x1b[1;11H"), 6u) << out;
    EXPECT_NE(out.find("0m\xe4\xb8\x80\x1b[0m"), std::string::npos) << out;
}

TEST_F(RendererTest, UnpairedHalvesBecomeSpacesSoTheRowNeverShifts) {
    put(0, 0, 0x4E00); // wide glyph without its right half
    put(0, 1, 'x');
    put(0, 5, 'y');
    put(0, 6, 0); // right half without a wide glyph (a wide glyph reduced to a narrow one)
    put(0, 7, 'z');
    std::string out = show();
    EXPECT_NE(out.find(" x   y z"), std::string::npos) << out;
}

TEST_F(RendererTest, ControlsAndDelAreSentAsSpaces) {
    put(0, 0, 127);
    put(0, 1, 0x1B);
    put(0, 2, 0x85); // a C1 control would act on the terminal
    EXPECT_NE(show().find("m   \x1b[0m"), std::string::npos);
}

TEST_F(RendererTest, NegativeCursorIsClampedToTheCorner) {
    frame.cursor_row = -3, frame.cursor_column = -1;
    EXPECT_EQ(show(), "\x1b[?25l\x1b[0m\x1b[1;1H");
}

TEST_F(RendererTest, InvalidationRewritesEveryRow) {
    display_invalidate();
    std::string out = show();
    for (int r = 1; r <= 25; r++) // row 1's position appears twice: its span and the cursor
        EXPECT_EQ(count(out, "\x1b[" + std::to_string(r) + ";1H"), r == 1 ? 2 : 1) << r;
}

TEST_F(RendererTest, SmallerTerminalCutsTheFrame) {
    g_presenter.visible_columns = 40;
    g_presenter.visible_rows = 10;
    display_invalidate();
    std::string out = show();
    EXPECT_EQ(count(out, ";1H"), 10 + 1); // ten rows and the cursor
    EXPECT_EQ(count(out, " "), 10 * 40);
}

TEST_F(RendererTest, SixteenColourRendererUsesStandardCodes) {
    g_presenter.truecolour = 0;
    struct {
        uint16_t fg, bg;
        const char *sgr;
    } cases[] = {
        {14, 1, "\x1b[93;44m"},             // yellow on blue
        {7, 0, "\x1b[37;40m"},              // light grey on black
        {12, 8, "\x1b[91;100m"},            // light red on dark grey
        {6, 4, "\x1b[33;41m"},              // brown on red
        {17, 16, "\x1b[97;40m"},            // C64 white on C64 black
        {16 + 7, 27, "\x1b[93;100m"},       // C64 yellow on C64 dark grey
        {16 + 196, 16 + 21, "\x1b[31;44m"}, // 256-colour red on 256-colour blue
    };
    for (const auto &c : cases) {
        put(0, 0, 'q', c.fg, c.bg);
        std::string out = show();
        EXPECT_NE(out.find(std::string(c.sgr) + "q"), std::string::npos) << c.fg << "/" << c.bg << " " << out;
    }
    put(0, 0, 0x1F600); // the 16-colour terminal gets the CP437 form of characters past the BMP
    EXPECT_EQ(show().find("\xf0\x9f"), std::string::npos);
}

struct ReduceCase {
    uint32_t glyph;
    uint8_t flags;
    int mode;
    uint32_t expected;
};

TEST(GlyphReduction, EachModeKeepsWhatTheTerminalCanShow) {
    term_build_tables();
    const ReduceCase cases[] = {
        {0x2554, 0, GLYPH_MODE_CP437, 0x2554},  // box drawing has a CP437 form
        {0x00E9, 0, GLYPH_MODE_CP437, 0x00E9},  // so has e-acute
        {0x20AC, 0, GLYPH_MODE_CP437, 'E'},     // the euro sign has not
        {0x1FB70, 0, GLYPH_MODE_CP437, 0x2502}, // legacy computing line to its CP437 cousin
        {0x1F600, 0, GLYPH_MODE_BMP, 0x263A},   // a pictograph to a BMP face
        {0x20AC, 0, GLYPH_MODE_BMP, 0x20AC},    // BMP characters stay
        {0x1F600, 0, GLYPH_MODE_UNICODE, 0x1F600},
        {0x1FB70, DCELL_C64, GLYPH_MODE_CP437, 0x1FB70},        // C64 glyph cells are never rewritten
        {0x1FB70, DCELL_RIGHT_HALF, GLYPH_MODE_CP437, 0x1FB70}, // nor right halves
        {'A', 0, GLYPH_MODE_CP437, 'A'},
    };
    for (const auto &c : cases) {
        DisplayFrame f{};
        f.rows = 25;
        f.cells[24][79] = DisplayCell{c.glyph, 7, 0, c.flags, {0, 0, 0}};
        frame_reduce_glyphs(&f, c.mode);
        EXPECT_EQ(f.cells[24][79].glyph, c.expected) << std::hex << c.glyph << " mode " << c.mode;
    }
}

} // namespace
