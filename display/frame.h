// The composed screen: up to 26 rows of 80 display cells with the frame cursor. Written by the
// composer and the dialogs, read by the presenter.
#pragma once
#include <cstdint>

enum {
    FRAME_COLUMNS = 80,
    FRAME_MAX_ROWS = 26,
};

// Display cell flag bits.
enum : uint8_t {
    DCELL_BLINK = 1,       // blanked by the composer in the off phase
    DCELL_C64 = 4,         // C64 glyph cell for the graphics window's rasteriser
    DCELL_C64_DOUBLE = 8,  // C64 glyph drawn at double width
    DCELL_RIGHT_HALF = 16, // right half of a doubled cell, covered by its left neighbour
    DCELL_KEEP_GLYPH = DCELL_C64 | DCELL_RIGHT_HALF, // exempt from glyph reduction
};

struct DisplayCell {
    uint32_t glyph; // Unicode code point; 0 is the right half of the wide glyph to its left
    uint16_t fg;    // palette index (taken modulo 272)
    uint16_t bg;
    uint8_t flags;
    uint8_t extra[3]; // carried over from the terminal cell; no back-end reads them
};

struct DisplayFrame {
    DisplayCell cells[FRAME_MAX_ROWS][FRAME_COLUMNS];
    int rows;        // rows in use: 25, or 26 for PETSCII with the status bar
    int status_rows; // 1 when row 0 is the status bar's, else 0
    int cursor_column;
    int cursor_row;
    int cursor_visible;
};

// The program's one frame.
extern DisplayFrame g_frame;

// Sets every cell to zero, so that the next compose and present draw every cell.
void frame_clear(DisplayFrame *f);
