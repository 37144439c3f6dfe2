// Screen composition: the terminal's rows turned into display cells (PETSCII 40 centred or
// doubled, blinking text), the status bar on top, the cursor handed over; and the window title.
#pragma once

struct ComposeState {
    int blink_hidden; // the off phase of blinking text: blinking cells are drawn blank
};

extern ComposeState g_compose;

struct Cell;

// Converts a row of 80 terminal cells into row frame_row of the frame the way the terminal's own
// rows are converted (layout, glyphs, blinking); for the scrollback viewer.
void compose_row(const Cell *cells, int frame_row);
// Builds the whole frame from g_terminal and the status bar and clears the screen-changed flag.
void compose_frame();
// Compose, then present.
void compose_and_present();
// Sets the terminal window's title (CP437 text).
void app_set_window_title(const char *text);
