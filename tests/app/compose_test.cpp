// The terminal's rows in the frame: PETSCII 40 centred or doubled, C64 codes for the bitmap, blinking
// text. (Rows under the status bar or without it are checked end to end.)
#include "tests/app/app_fixture.h"

#include "display/window.h"

namespace {

class ComposeTest : public AppTest {
  protected:
    void start(int emulation, int status_bar, int petscii40_display = PETSCII40_CENTERED) {
        term_release(&g_terminal);
        g_settings.petscii40_display = petscii40_display;
        term_create(&g_terminal, emulation, display_mode_switch(emulation, status_bar).terminal, 0);
        g_presenter.glyph_mode = GLYPH_MODE_UNICODE;
    }
    void put(int column, uint32_t code, uint16_t fg, uint16_t bg, uint8_t flags) {
        term_row(&g_terminal, 0)[column] = Cell{code, fg, bg, flags};
    }
};

TEST_F(ComposeTest, Petscii40CentredOrDoubled) {
    start(EMU_PETSCII40, 1, PETSCII40_CENTERED);
    put(0, 0x41, 16 + 1, 16, CELL_PETSCII);
    g_terminal.cursor_column = 3;
    compose_frame();
    for (int c : {0, 19, 60, 79}) EXPECT_EQ(g_frame.cells[25][c].bg, 27) << "dark grey side, column " << c;
    EXPECT_EQ(frame_text(1, 20, 1), "A");
    EXPECT_EQ(std::pair(g_frame.cursor_row, g_frame.cursor_column), std::pair(1, 23));

    start(EMU_PETSCII40, 1, PETSCII40_DOUBLE);
    put(0, 0x7D, 16 + 5, 16 + 6, CELL_PETSCII); // a vertical line in the middle of the cell
    put(1, 0x41, 16 + 1, 16, CELL_PETSCII);
    g_terminal.cursor_column = 7;
    compose_frame();
    EXPECT_EQ(frame_text(1, 0, 4), "▕▏A ");
    EXPECT_EQ(g_frame.cells[1][1].bg, 16 + 6) << "both halves in the cell's colours";
    EXPECT_EQ(std::pair(g_frame.cursor_row, g_frame.cursor_column), std::pair(1, 14));
}

TEST_F(ComposeTest, PetsciiForTheBitmapKeepsC64Codes) {
    window_set_offscreen(1);
    start(EMU_PETSCII40, 1, PETSCII40_DOUBLE);
    put(0, 0x41, 16 + 1, 16 + 2, CELL_PETSCII);
    compose_frame();
    EXPECT_EQ(g_frame.cells[1][0].glyph, 0x41u);
    EXPECT_EQ(std::pair((int)g_frame.cells[1][0].flags, (int)g_frame.cells[1][1].flags),
              std::pair(DCELL_C64 | DCELL_C64_DOUBLE, (int)DCELL_RIGHT_HALF));
    g_terminal.petscii_lower = 1;
    g_terminal.ascii_text = 1; // ASCII text always goes through the lower-case set
    put(0, 'a', 17, 16, CELL_PETSCII);
    put(1, 0xC1, 17, 16, CELL_PETSCII);
    compose_frame();
    EXPECT_EQ(std::pair(g_frame.cells[1][0].glyph, g_frame.cells[1][2].glyph), std::pair(0x141u, 0x1C1u));

    start(EMU_PETSCII80, 0);
    term_set_emulation(&g_terminal, EMU_PETSCII80, 24); // a row below the screen
    compose_frame();
    EXPECT_EQ(std::pair((int)g_frame.cells[24][5].bg, (int)g_frame.cells[24][5].flags), std::pair(16, 0))
        << "C64 black, not the console's black";
    window_set_offscreen(0);
}

TEST_F(ComposeTest, BlinkingCellsAreBlankInTheHiddenPhaseOnlyWhenBlinkIsShown) {
    put(0, 'X', 15, 4, CELL_BLINK);
    put(1, 'Y', 15, 4, 0);
    g_compose.blink_hidden = 1;
    g_settings.show_blink = 1;
    compose_frame();
    EXPECT_EQ(frame_text(1, 0, 2), " Y");
    g_settings.show_blink = 0;
    compose_frame();
    EXPECT_EQ(frame_text(1, 0, 2), "XY");
}

} // namespace
