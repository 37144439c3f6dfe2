#include <gtest/gtest.h>

#include <initializer_list>
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

const std::string kStart = "\x1b[?25l", kEnd = "\x1b[0m\x1b[1;1H",
                  kGrey = "\x1b[38;2;170;170;170;48;2;0;0;0m",
                  kWhiteOnBlue = "\x1b[38;2;255;255;255;48;2;0;0;170m";

void put(DisplayFrame &f, int row, int column, uint32_t glyph, uint16_t fg = 7, uint16_t bg = 0) {
    f.cells[row][column] = DisplayCell{glyph, fg, bg, 0, {0, 0, 0}};
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
        blank();
    }
    void TearDown() override { console_set_writer(nullptr); }
    void blank() { // every cell grey on black, written once: later shows write differences only
        frame = DisplayFrame{};
        frame.rows = 25;
        for (auto &row : frame.cells)
            for (auto &cell : row) cell = DisplayCell{' ', 7, 0, 0, {0, 0, 0}};
        show();
    }
    std::string show() {
        g_written.clear();
        show_frame(&frame, FRAME_COLUMNS, frame.rows, frame.cursor_column, frame.cursor_row,
                   frame.cursor_visible);
        return g_written;
    }
};

// One positioned span per changed row, from its first to its last change, with a colour escape only
// where the pair changes (also across rows); flags alone send nothing.
TEST_F(RendererTest, WritesOnlyTheChangedSpans) {
    const struct {
        const char *name;
        void (*change)(DisplayFrame &);
        std::string expected;
        // clang-format off
    } kCases[] = {
        {"unchanged", [](DisplayFrame &) {}, kStart + kEnd},
        {"cursor shown", [](DisplayFrame &f) { f.cursor_visible = 1, f.cursor_row = 3, f.cursor_column = 7; },
         kStart + "\x1b[0m\x1b[4;8H\x1b[?25h"},
        {"flags alone", [](DisplayFrame &f) { f.cells[4][4].flags = DCELL_BLINK; }, kStart + kEnd},
        {"span with an unchanged middle",
         [](DisplayFrame &f) { put(f, 0, 10, 'a', 15, 1), put(f, 0, 13, 'c', 15, 1); },
         kStart + "\x1b[1;11H" + kWhiteOnBlue + "a" + kGrey + "  " + kWhiteOnBlue + "c" + kEnd},
        {"controls, DEL and C1 as spaces",
         [](DisplayFrame &f) { put(f, 0, 0, 127), put(f, 0, 1, 27), put(f, 0, 2, 0x85); },
         kStart + "\x1b[1;1H" + kGrey + "   " + kEnd},
        // a wide glyph without its right half, a right half without a wide glyph: the row never shifts
        {"unpaired halves as spaces",
         [](DisplayFrame &f) { put(f, 0, 0, 0x4E00), put(f, 0, 1, 'x'), put(f, 0, 6, 0), put(f, 0, 7, 'z'); },
         kStart + "\x1b[1;1H" + kGrey + " x     z" + kEnd},
    };
    // clang-format on
    for (const auto &c : kCases) {
        blank();
        c.change(frame);
        EXPECT_EQ(show(), c.expected) << c.name;
    }
}

TEST_F(RendererTest, WideGlyphIsRewrittenWholeWhenOnlyItsRightHalfChanged) {
    put(frame, 0, 10, 0x4E00);
    put(frame, 0, 11, 'x'); // a dialog covered the right half
    show();
    put(frame, 0, 11, 0); // the dialog is gone
    EXPECT_EQ(show(), kStart + "\x1b[1;11H" + kGrey + "\xe4\xb8\x80" + kEnd);
}

// Under the user's locale some characters the model holds in one cell are drawn two columns wide
// (emoji) or none (combining marks), which shifted the row until repainted: they go as a narrow
// stand-in. A glyph the model holds wide goes as it is.
TEST_F(RendererTest, GlyphsTheTerminalDrawsWiderThanTheirCellAreReplaced) {
    ASSERT_TRUE(present_set_width_locale("C.UTF-8"));
    for (uint32_t g : {0x2B50u, 0x0301u}) {
        blank();
        put(frame, 0, 0, g), put(frame, 0, 1, 'x');
        EXPECT_EQ(show(), kStart + "\x1b[1;1H" + kGrey + "?x" + kEnd) << std::hex << g;
    }
    blank();
    put(frame, 0, 0, 0x4E00), put(frame, 0, 1, 0);
    EXPECT_EQ(show(), kStart + "\x1b[1;1H" + kGrey + "\xe4\xb8\x80" + kEnd);
    present_set_width_locale("C");
}

TEST_F(RendererTest, InvalidationRewritesEveryVisibleRow) {
    display_invalidate();
    std::string out = show();
    for (int r = 1; r <= 25; r++) // row 1's position appears twice: its span and the cursor
        EXPECT_EQ(count(out, "\x1b[" + std::to_string(r) + ";1H"), r == 1 ? 2 : 1) << r;
    g_presenter.visible_columns = 40; // a smaller terminal cuts the frame
    g_presenter.visible_rows = 10;
    display_invalidate();
    out = show();
    EXPECT_EQ(count(out, ";1H"), 10 + 1); // ten rows and the cursor
    EXPECT_EQ(count(out, " "), 10 * 40);
}

TEST_F(RendererTest, SixteenColourRendererUsesStandardCodes) {
    g_presenter.truecolour = 0;
    const struct {
        uint16_t fg, bg;
        const char *sgr;
    } kCases[] = {
        {14, 1, "\x1b[93;44m"},             // yellow on blue
        {16 + 7, 27, "\x1b[93;100m"},       // C64 yellow on C64 dark grey
        {16 + 196, 16 + 21, "\x1b[31;44m"}, // 256-colour red on 256-colour blue
    };
    for (const auto &c : kCases) {
        put(frame, 0, 0, 'q', c.fg, c.bg);
        std::string out = show();
        EXPECT_NE(out.find(std::string(c.sgr) + "q"), std::string::npos) << c.fg << "/" << c.bg << " " << out;
    }
    put(frame, 0, 0, 0x1F600); // the 16-colour terminal gets the CP437 form of characters past the BMP
    EXPECT_EQ(show().find("\xf0\x9f"), std::string::npos);
}

TEST(GlyphReduction, EachModeKeepsWhatTheTerminalCanShow) {
    term_build_tables();
    const struct {
        uint32_t glyph;
        uint8_t flags;
        int mode;
        uint32_t expected;
    } kCases[] = {
        {0x2554, 0, GLYPH_MODE_CP437, 0x2554},           // box drawing has a CP437 form
        {0x1F600, 0, GLYPH_MODE_BMP, 0x263A},            // a pictograph to a BMP face
        {0x1FB70, DCELL_C64, GLYPH_MODE_CP437, 0x1FB70}, // C64 glyph cells are never rewritten
    };
    for (const auto &c : kCases) {
        DisplayFrame f{};
        f.rows = 25;
        f.cells[24][79] = DisplayCell{c.glyph, 7, 0, c.flags, {0, 0, 0}};
        frame_reduce_glyphs(&f, c.mode);
        EXPECT_EQ(f.cells[24][79].glyph, c.expected) << std::hex << c.glyph << " mode " << c.mode;
    }
}

} // namespace
