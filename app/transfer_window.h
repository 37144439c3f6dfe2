// The Zmodem progress window both engines report through, with its redraw limit, and the abort
// prompt they poll while data flows.
#pragma once
#include <cstdint>

#include "zmodem/transfer_status.h"

enum {
    TRANSFER_WINDOW_WIDTH = 60,
    TRANSFER_WINDOW_HEIGHT = 11,
    TRANSFER_WINDOW_COLUMN = 10,
    TRANSFER_BAR_CELLS = 54,
    TRANSFER_REDRAW_MS = 150, // an unchanged state line is redrawn at most this often
};

struct TransferWindow {
    int forced;                          // the next drawing happens whatever the time
    uint32_t drawn_ms;                   // tick of the last drawing
    char drawn_text[TRANSFER_TEXT_SIZE]; // the state line drawn then
};

extern TransferWindow g_transfer_window;

// Draws the window and presents it, unless it was drawn less than 150 ms ago with the same state line.
void transfer_window_draw(const TransferStatus *status);
// Makes the next drawing happen at once (around each transfer, after a question box).
void transfer_window_reset();
// Esc asks "Abort the file transfer?"; 1 when the user said yes. Other keys are consumed.
int transfer_abort_check();
// Asks "Abort the file transfer?" (for an Esc that a waiting read took); 1 for yes.
int transfer_confirm_abort();
// Full cells of the progress bar: none while the size is unknown or zero.
int transfer_bar_cells(int32_t position, int32_t size);
// Bytes per second since the file started; 0 during its first second.
long transfer_rate(const TransferStatus *status, uint32_t now_ms);
// Points the engines' hooks at this window.
void transfer_window_install();
