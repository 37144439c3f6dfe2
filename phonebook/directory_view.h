// The dialing directory's list: which slots are listed (all, or the used ones only), the selected
// row, the first row shown, and the texts remembered between openings. Pure logic over a phonebook;
// the screen is drawn by directory_screen.
#pragma once

#include "phonebook/phonebook.h"

enum {
    DIRECTORY_FIND_CHARS = 63,
    DIRECTORY_QUICK_DIAL_CHARS = 100,
};

struct DirectoryView {
    int used_only;             // only non-empty slots are listed
    int rows[PHONEBOOK_SLOTS]; // slot of each listed row, in slot order
    int row_count;
    int cursor; // selected row; 0 when the list is empty
    int top;    // first row shown
    char find_text[DIRECTORY_FIND_CHARS + 1];
    char quick_dial_text[DIRECTORY_QUICK_DIAL_CHARS + 1];
};

// Kept for as long as the program runs, so the directory reopens where it was left.
extern DirectoryView g_directory;

// Lists the slots again and clamps the cursor to the last row.
void directory_view_rebuild(DirectoryView *v, const Phonebook *pb);
// The slot of the selected row, or -1 when the list is empty.
int directory_view_slot(const DirectoryView *v);
// The row that lists slot, or -1.
int directory_view_row_of_slot(const DirectoryView *v, int slot);
// Moves the cursor by delta rows, stopping at the first and the last row.
void directory_view_move(DirectoryView *v, int delta);
// Brings the cursor row into a list of list_rows lines.
void directory_view_scroll(DirectoryView *v, int list_rows);
// The first row, trying first_row, first_row + 1 ... and wrapping once round, whose entry matches
// text; -1 when none does or the text is empty.
int directory_view_find(const DirectoryView *v, const Phonebook *pb, const char *text, int first_row);
// Puts the cursor on the row of entry number text (1-2000); 0 when no row lists that entry.
int directory_view_go_to(DirectoryView *v, const char *text);
// Flips the used-only view and lands on the first row at or after the slot selected before.
void directory_view_toggle_used_only(DirectoryView *v, const Phonebook *pb);
