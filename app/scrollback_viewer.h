// The scrollback viewer (Alt-B): the lines that scrolled off the top of the terminal followed by the
// live screen, paged through with the cursor keys; the live screen comes back unchanged on leaving.
#pragma once
#include <cstdint>

struct ScrollbackPosition {
    int stored; // lines in the scrollback
    int rows;   // the terminal's rows
    int back;   // lines the view is scrolled back from the live screen, 0 to stored
};

// Moves the view for a key; 0 for the keys that leave (Enter, Esc, Alt-B), else 1.
int scrollback_key(ScrollbackPosition *p, uint32_t key);
// The number, counted from 1, of the first line shown in the list of stored + rows lines.
int scrollback_first_line(const ScrollbackPosition *p);
void scrollback_view();
