// How the frame's rows are shared between the emulated screen and the status bar.
#pragma once

struct ScreenRows {
    int terminal;   // rows of the emulated screen
    int status_bar; // 1 when the status bar takes the frame's top row, else 0
    int frame;      // rows of the whole frame: terminal + status_bar
};

// The one rule for the rows: the status bar is shown when its setting is on; a PETSCII screen has 25
// rows, any other 24 under the status bar and 25 without it.
ScreenRows screen_rows(int emulation, int status_bar_setting);
