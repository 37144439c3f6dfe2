#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display/present.h"
#include "term/terminal.h"

namespace {

std::string g_written;
void capture(const uint8_t *bytes, int length) {
    g_written.append((const char *)bytes, (size_t)length);
}

const std::string kStart = "\x1b[?25l", kEnd = "\x1b[0m\x1b[1;1H",
                  kGrey = "\x1b[38;2;170;170;170;48;2;0;0;0m",
                  kWhiteOnBlue = "\x1b[38;2;255;255;255;48;2;0;0;170m";

// Each test starts from a shown frame of grey spaces on black: later shows write differences only.
class RendererTest : public ::testing::Test {
  protected:
    DisplayFrame frame{};
    void SetUp() override {
        term_build_tables();
        console_set_writer(capture);
        g_presenter.truecolour = 1;
        g_presenter.visible_columns = FRAME_COLUMNS;
        g_presenter.visible_rows = FRAME_MAX_ROWS;
        frame.rows = 25;
        std::fill_n(&frame.cells[0][0], FRAME_MAX_ROWS * FRAME_COLUMNS, DisplayCell{' ', 7, 0, 0, {0, 0, 0}});
        show();
    }
    void TearDown() override { console_set_writer(nullptr); }
    void put(int column, uint32_t glyph, uint16_t fg = 7, uint16_t bg = 0) {
        frame.cells[0][column] = DisplayCell{glyph, fg, bg, 0, {0, 0, 0}};
    }
    std::string show() {
        g_written.clear();
        show_frame(&frame, FRAME_COLUMNS, frame.rows, frame.cursor_column, frame.cursor_row,
                   frame.cursor_visible);
        return g_written;
    }
};

// One positioned span per changed row, from its first to its last change, with a colour escape only
// where the pair changes.
TEST_F(RendererTest, WritesOnlyTheChangedSpans) {
    frame.cells[4][4].flags = DCELL_BLINK; // flags alone send nothing
    EXPECT_EQ(show(), kStart + kEnd);
    put(10, 'a', 15, 1);
    put(13, 'c', 15, 1);
    EXPECT_EQ(show(), kStart + "\x1b[1;11H" + kWhiteOnBlue + "a" + kGrey + "  " + kWhiteOnBlue + "c" + kEnd);
}

// Each cell goes as one column (a wide glyph with its right half as two), or the rest of the row
// would shift until repainted. Controls, DEL and C1 (which must not reach the terminal) and unpaired
// halves go as spaces; glyphs the terminal's locale draws wider or narrower than their cell (emoji,
// combining marks) go as '?'.
TEST_F(RendererTest, TheRowNeverShifts) {
    ASSERT_TRUE(present_set_width_locale("C.UTF-8"));
    const uint32_t row[10] = {127, 27, 0x85, 0x4E00, 'x', ' ', 0, 'z', 0x2B50, 0x0301};
    for (int c = 0; c < 10; c++) put(c, row[c]);
    EXPECT_EQ(show(), kStart + "\x1b[1;1H" + kGrey + "    x  z??" + kEnd);
    put(4, 0); // a dialog over the wide glyph's right half is gone: only that half changed
    EXPECT_EQ(show(), kStart + "\x1b[1;4H" + kGrey + "\xe4\xb8\x80" + kEnd);
    present_set_width_locale("C");
}

// A smaller terminal cuts the frame at its edges.
TEST_F(RendererTest, InvalidationRewritesEveryVisibleRow) {
    g_presenter.visible_columns = 40;
    g_presenter.visible_rows = 10;
    display_invalidate();
    std::string out = show();
    for (int r = 2; r <= 11; r++) // row 1 is positioned for the cursor as well
        EXPECT_EQ(out.find("\x1b[" + std::to_string(r) + ";1H") != std::string::npos, r <= 10) << r;
    EXPECT_EQ(std::count(out.begin(), out.end(), ' '), 10 * 40);
}

TEST_F(RendererTest, SixteenColourRendererUsesStandardCodesAndCp437Forms) {
    g_presenter.truecolour = 0;
    set_console_colours(0);
    put(0, 'q', 16 + 7, 27); // C64 yellow on C64 dark grey
    EXPECT_NE(show().find("\x1b[93;100mq"), std::string::npos);
    put(0, 0x1F600); // past the BMP
    EXPECT_EQ(show().find("\xf0\x9f"), std::string::npos);
}

TEST_F(RendererTest, GlyphReductionLeavesC64CellsAlone) {
    put(0, 0x1F600);
    frame.cells[0][1] = DisplayCell{0x1FB70, 7, 0, DCELL_C64, {0, 0, 0}};
    frame_reduce_glyphs(&frame, GLYPH_MODE_BMP);
    EXPECT_EQ(frame.cells[0][0].glyph, 0x263Au) << "a pictograph to a BMP face";
    EXPECT_EQ(frame.cells[0][1].glyph, 0x1FB70u) << "C64 glyph cells are never rewritten";
}

} // namespace
