// The screen model: wrapping, wide glyphs, scrolling into the scrollback, emulation switches,
// attribute derivation and the palette.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "term/palette.h"
#include "term/terminal.h"

namespace {

struct TermFixture : ::testing::Test {
    std::unique_ptr<Terminal> t{new Terminal()};
    static void SetUpTestSuite() { term_build_tables(); }
    void TearDown() override { term_release(t.get()); }
    void create(int emulation = EMU_ANSI, int rows = 24, int scrollback = 100) {
        term_release(t.get());
        term_create(t.get(), emulation, rows, scrollback);
    }
    void put(const char *text) {
        for (const char *p = text; *p; p++) term_put_glyph(t.get(), (uint8_t)*p);
    }
    // Row r as text; the right half of a wide glyph shows as '_'.
    std::string row_text(int r, int width = 80) {
        std::string s;
        const Cell *cells = term_row(t.get(), r);
        for (int c = 0; c < width; c++) s += cells[c].code == 0 ? '_' : (char)(cells[c].code & 0x7F);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
    std::string line_text(const Cell *cells) {
        std::string s;
        for (int c = 0; c < 80; c++) s += (char)(cells[c].code & 0x7F);
        while (!s.empty() && s.back() == ' ') s.pop_back();
        return s;
    }
};

TEST_F(TermFixture, WrapPendingAndTheEightyFirstGlyph) {
    create();
    for (int i = 0; i < 80; i++) term_put_glyph(t.get(), 'A' + i % 26);
    EXPECT_EQ(t->cursor_column, 79);
    EXPECT_EQ(t->cursor_row, 0);
    EXPECT_TRUE(t->wrap_pending);
    term_put_glyph(t.get(), 'x');
    EXPECT_EQ(t->cursor_row, 1);
    EXPECT_EQ(t->cursor_column, 1);
    EXPECT_EQ(row_text(1), "x");
    EXPECT_EQ(term_row(t.get(), 0)[79].code, (uint32_t)('A' + 79 % 26));

    // at the region bottom the 81st glyph scrolls
    t->cursor_row = 23;
    t->cursor_column = 0;
    for (int i = 0; i < 81; i++) term_put_glyph(t.get(), 'z');
    EXPECT_EQ(t->cursor_row, 23);
    EXPECT_EQ(row_text(23), "z");
    EXPECT_EQ(row_text(22), std::string(80, 'z'));
}

TEST_F(TermFixture, AutoWrapOffOverwritesTheLastColumn) {
    create();
    t->auto_wrap = 0;
    for (int i = 0; i < 90; i++) term_put_glyph(t.get(), i < 85 ? 'a' : 'b');
    EXPECT_EQ(t->cursor_column, 79);
    EXPECT_EQ(t->cursor_row, 0);
    EXPECT_FALSE(t->wrap_pending);
    EXPECT_EQ(term_row(t.get(), 0)[79].code, (uint32_t)'b');
    EXPECT_EQ(row_text(1), "");
}

TEST_F(TermFixture, WideGlyphsAtTheRightEdge) {
    struct Case {
        int column, auto_wrap;
        const char *row0, *row1;
        int cursor_row, cursor_column, wrap_pending;
    } cases[] = {
        {78, 1, "W_", "", 0, 79, 1},        // fills 78 and 79, then waits to wrap
        {79, 1, "", "W_", 1, 2, 0},         // does not fit: lands at 0-1 of the next row
        {79, 0, "W", "", 0, 79, 0},         // auto-wrap off: column 79 only
    };
    for (const Case &k : cases) {
        create();
        t->auto_wrap = k.auto_wrap;
        t->cursor_column = k.column;
        term_put_glyph(t.get(), 0x4E2D); // a CJK ideograph
        auto pick = [&](int r) {
            std::string s = row_text(r);
            std::string out;
            for (char ch : s) out += (ch == ' ') ? "" : (ch == '_' ? "_" : "W");
            return out;
        };
        SCOPED_TRACE(k.column * 10 + k.auto_wrap);
        EXPECT_EQ(pick(0), k.row0);
        EXPECT_EQ(pick(1), k.row1);
        EXPECT_EQ(t->cursor_row, k.cursor_row);
        EXPECT_EQ(t->cursor_column, k.cursor_column);
        EXPECT_EQ(t->wrap_pending, k.wrap_pending);
    }
}

TEST_F(TermFixture, ZeroWidthChangesNothingAndPetsciiWrapsAtOnce) {
    create();
    term_put_glyph(t.get(), 'a');
    term_put_glyph(t.get(), 0x301);
    EXPECT_EQ(t->cursor_column, 1);
    EXPECT_EQ(t->last_glyph, (uint32_t)'a');

    create(EMU_PETSCII40, 25);
    for (int i = 0; i < 40; i++) term_put_glyph(t.get(), 0x41);
    EXPECT_EQ(t->cursor_row, 1);
    EXPECT_EQ(t->cursor_column, 0);
    EXPECT_FALSE(t->wrap_pending);
    EXPECT_EQ(term_row(t.get(), 0)[39].flags, CELL_PETSCII);
    // on the last row the 40th glyph scrolls the screen
    t->cursor_row = 24;
    for (int i = 0; i < 40; i++) term_put_glyph(t.get(), 0x42);
    EXPECT_EQ(t->cursor_row, 24);
    EXPECT_EQ(term_row(t.get(), 23)[0].code, 0x42u);
}

TEST_F(TermFixture, FullScreenScrollFeedsTheScrollbackAndARegionDoesNot) {
    create();
    for (int r = 0; r < 24; r++) {
        t->cursor_row = r;
        t->cursor_column = 0;
        put(("row" + std::to_string(r)).c_str());
    }
    term_scroll_up(t.get(), 5, 20, 3);
    EXPECT_EQ(t->scrollback_count, 0);
    EXPECT_EQ(row_text(5), "row8");
    EXPECT_EQ(row_text(17), "row20");
    EXPECT_EQ(row_text(18), "");
    EXPECT_EQ(row_text(20), "");
    EXPECT_EQ(row_text(21), "row21");

    term_scroll_up(t.get(), 0, 23, 2);
    ASSERT_EQ(t->scrollback_count, 2);
    EXPECT_EQ(line_text(term_scrollback_line(t.get(), 0)), "row0");
    EXPECT_EQ(line_text(term_scrollback_line(t.get(), 1)), "row1");
    EXPECT_EQ(row_text(0), "row2");

    // a hostile count costs one region's worth and blanks it
    term_scroll_down(t.get(), 0, 23, 999999);
    EXPECT_EQ(row_text(0), "");
    EXPECT_EQ(row_text(23), "");
    EXPECT_EQ(t->scrollback_count, 2);

    // a reversed range changes no cell but still marks the screen changed
    t->cursor_row = 3;
    t->cursor_column = 0;
    put("keep");
    t->screen_changed = 0;
    term_scroll_up(t.get(), 10, 4, 1);
    EXPECT_TRUE(t->screen_changed);
    EXPECT_EQ(row_text(3), "keep");
}

TEST_F(TermFixture, ScrollbackRingKeepsTheNewestInOrder) {
    create(EMU_ANSI, 24, 3);
    for (int i = 1; i <= 5; i++) {
        t->cursor_row = 0;
        t->cursor_column = 0;
        term_clear_cells(t.get(), 0, 0, 80);
        put(("line" + std::to_string(i)).c_str());
        term_scrollback_push_row(t.get(), 0);
    }
    ASSERT_EQ(t->scrollback_count, 3);
    EXPECT_EQ(line_text(term_scrollback_line(t.get(), 0)), "line3");
    EXPECT_EQ(line_text(term_scrollback_line(t.get(), 2)), "line5");
    EXPECT_EQ(term_scrollback_line(t.get(), 3), nullptr);
    EXPECT_EQ(term_scrollback_line(t.get(), -1), nullptr);

    create(EMU_ANSI, 24, 0); // no ring: pushes do nothing
    term_scrollback_push_row(t.get(), 0);
    EXPECT_EQ(t->scrollback_count, 0);
    EXPECT_EQ(term_scrollback_line(t.get(), 0), nullptr);
}

TEST_F(TermFixture, PushScreenStopsAtTheLastNonBlankRow) {
    create();
    term_scrollback_push_screen(t.get());
    EXPECT_EQ(t->scrollback_count, 0);
    // a coloured space counts as content
    term_row(t.get(), 10)[40].bg = 4;
    term_scrollback_push_screen(t.get());
    EXPECT_EQ(t->scrollback_count, 11);
}

TEST_F(TermFixture, SetEmulationKeepsOrClearsTheScreen) {
    struct Case {
        int from, to, rows;
        bool keeps_screen;
    } cases[] = {
        {EMU_ANSI, EMU_VT100, 24, true},
        {EMU_VT100, EMU_TTY, 24, true},
        {EMU_ANSI, EMU_PETSCII40, 25, false},
        {EMU_PETSCII40, EMU_PETSCII80, 25, false}, // the width changes
        {EMU_PETSCII80, EMU_ANSI, 24, false},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.from * 10 + k.to);
        create(k.from, emulation_is_petscii(k.from) ? 25 : 24);
        put("hello");
        t->cursor_row = 10;
        term_scroll_up(t.get(), 0, t->rows - 1, 1); // one line in the scrollback
        term_put_glyph(t.get(), 'x');
        t->text_encoding = TEXT_UTF8;
        term_set_emulation(t.get(), k.to, k.rows);
        EXPECT_EQ(t->emulation, k.to);
        EXPECT_EQ(t->columns, emulation_columns(k.to));
        EXPECT_EQ(t->scrollback_count, k.keeps_screen ? 1 : 0);
        EXPECT_EQ(term_row(t.get(), 10)[5].code == 'x', k.keeps_screen);
        if (!emulation_is_petscii(k.to)) {
            EXPECT_EQ(t->text_encoding, k.keeps_screen ? TEXT_UTF8 : TEXT_UNDECIDED);
        }
    }
    // the fixed-encoding emulations set their decision whatever came before
    create();
    term_set_emulation(t.get(), EMU_CP437, 24);
    EXPECT_EQ(t->text_encoding, TEXT_CP437);
    term_set_emulation(t.get(), EMU_UTF8, 24);
    EXPECT_EQ(t->text_encoding, TEXT_UTF8);
}

TEST_F(TermFixture, ShrinkingRowsScrollsTheCursorRowIntoView) {
    create(EMU_ANSI, 25);
    put("top");
    t->cursor_row = 24;
    t->cursor_column = 0;
    put("bottom");
    term_set_emulation(t.get(), EMU_ANSI, 24);
    EXPECT_EQ(t->rows, 24);
    EXPECT_EQ(t->cursor_row, 23);
    EXPECT_EQ(row_text(23), "bottom");
    ASSERT_EQ(t->scrollback_count, 1);
    EXPECT_EQ(line_text(term_scrollback_line(t.get(), 0)), "top");
    EXPECT_EQ(t->region_bottom, 23);

    // growing back shows a blank row, not stale zero cells
    term_set_emulation(t.get(), EMU_ANSI, 25);
    EXPECT_EQ(term_row(t.get(), 24)[0].code, 32u);
}

TEST_F(TermFixture, AttributeDerivation) {
    struct Case {
        int fg, bg, bold, blink, reverse, concealed, bright_fg, bright_bg, ice, ext_fg, ext_bg;
        int want_fg, want_bg, want_flags;
    } cases[] = {
        {7, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, 7, 0, 0},      // defaults: light grey on black
        {1, 4, 1, 0, 0, 0, 0, 0, 0, -1, -1, 12, 1, 0},     // bold red on blue
        {3, 0, 0, 0, 0, 0, 1, 0, 0, -1, -1, 14, 0, 0},     // bright yellow
        {7, 4, 0, 1, 0, 0, 0, 0, 1, -1, -1, 7, 9, 0},      // iCE: blink is a bright background
        {7, 4, 0, 1, 0, 0, 0, 0, 0, -1, -1, 7, 1, CELL_BLINK},
        {7, 0, 0, 0, 0, 0, 0, 1, 0, -1, -1, 7, 8, 0},      // bright background
        {1, 2, 0, 0, 1, 0, 0, 0, 0, -1, -1, 2, 4, 0},      // reverse swaps
        {1, 2, 0, 0, 1, 1, 0, 0, 0, -1, -1, 4, 4, 0},      // reverse + concealed: both the old fg
        {1, 2, 0, 0, 0, 1, 0, 0, 0, -1, -1, 2, 2, 0},      // concealed
        {1, 2, 1, 0, 0, 0, 0, 0, 0, 212, 40, 212, 40, 0},  // extended colours win
    };
    create();
    for (const Case &k : cases) {
        SCOPED_TRACE(&k - cases);
        t->fg = k.fg, t->bg = k.bg, t->bold = k.bold, t->blink = k.blink, t->reverse = k.reverse;
        t->concealed = k.concealed, t->bright_fg = k.bright_fg, t->bright_bg = k.bright_bg;
        t->ice_colors = k.ice, t->ext_fg = k.ext_fg, t->ext_bg = k.ext_bg;
        term_update_attr(t.get());
        EXPECT_EQ(t->current_fg, k.want_fg);
        EXPECT_EQ(t->current_bg, k.want_bg);
        EXPECT_EQ(t->current_flags, k.want_flags);
    }

    create(EMU_PETSCII80, 25);
    EXPECT_EQ(t->current_fg, 16 + 13);
    EXPECT_EQ(t->current_bg, 16);
    EXPECT_EQ(t->current_flags, CELL_PETSCII);
    t->petscii_reverse = 1;
    term_update_attr(t.get());
    EXPECT_EQ(t->current_fg, 16);
    EXPECT_EQ(t->current_bg, 16 + 13);
}

TEST_F(TermFixture, RestoreCursorBringsColoursBackOnlyInVt100) {
    for (int emulation : {EMU_ANSI, EMU_VT100}) {
        create(emulation);
        t->cursor_row = 5, t->cursor_column = 7;
        term_save_cursor(t.get());
        t->fg = 3, t->bold = 1, t->cursor_row = 0, t->cursor_column = 0;
        term_update_attr(t.get());
        term_restore_cursor(t.get());
        EXPECT_EQ(t->cursor_row, 5);
        EXPECT_EQ(t->cursor_column, 7);
        EXPECT_EQ(t->fg, emulation == EMU_VT100 ? 7 : 3);
        EXPECT_EQ(t->current_fg, emulation == EMU_VT100 ? 7 : 14);
    }
}

TEST_F(TermFixture, ClearCellsStaysInsideTheRow) {
    create();
    put("abcdefgh");
    term_clear_cells(t.get(), 0, -5, 3);
    EXPECT_EQ(row_text(0), "   defgh");
    term_clear_cells(t.get(), 0, 6, 1000);
    EXPECT_EQ(row_text(0), "   def");
    term_clear_cells(t.get(), 99, 0, 80); // a row outside changes nothing
    term_clear_cells(t.get(), -1, 0, 80);
}

TEST(Palette, EntriesAndStandard16Approximation) {
    term_build_tables();
    struct Spot {
        int index, r, g, b, standard16;
    } spots[] = {
        {0, 0x00, 0x00, 0x00, 0},   {6, 0xAA, 0x55, 0x00, 6},  {12, 0xFF, 0x55, 0x55, 12},
        {16, 0x00, 0x00, 0x00, 0},  {17, 0xFD, 0xFE, 0xFC, 15}, {25, 0x6A, 0x33, 0x04, 6},
        {31, 0xA4, 0xA7, 0xA2, 7},  {32, 0, 0, 0, 0},          {37, 0, 0, 255, 1},
        {47, 0, 135, 175, 3},       {62, 0, 255, 0, 2},        {212, 255, 0, 0, 4},
        {231, 255, 175, 95, 14},    {247, 255, 255, 255, 15},  {248, 8, 8, 8, 0},
        {271, 238, 238, 238, 15},
    };
    for (const Spot &s : spots) {
        SCOPED_TRACE(s.index);
        EXPECT_EQ(g_palette[s.index].r, s.r);
        EXPECT_EQ(g_palette[s.index].g, s.g);
        EXPECT_EQ(g_palette[s.index].b, s.b);
        EXPECT_EQ(g_standard16[s.index], s.standard16);
    }
    // #FF0000 is nearest to entry 212 (the cube's pure red), never a C64 entry
    EXPECT_EQ(palette_nearest_rgb(255, 0, 0), 212);
    EXPECT_EQ(palette_nearest_rgb(0xAA, 0x55, 0x00), 6);
    EXPECT_EQ(palette_nearest_rgb(0, 0, 0), 0); // ties go to the lowest index
}

} // namespace
