// How the frame's rows are shared between the emulated screen and the status bar.
#pragma once

struct ScreenRows {
    int terminal;   // rows of the emulated screen
    int status_bar; // 1 when the status bar takes the frame's top row, else 0
    int frame;      // rows of the whole frame: terminal + status_bar
};

// The one rule for the rows, fitted to the rows the user's terminal has (available_rows; 0 when not
// known): the status bar is shown when its setting is on and the whole frame fits, else it steps
// aside for now (the setting stays). A PETSCII screen has 25 rows, any other 24 under the status bar
// and 25 without it, or 24 when the terminal has exactly 24. A shorter terminal cuts the frame.
ScreenRows screen_rows(int emulation, int status_bar_setting, int available_rows);
