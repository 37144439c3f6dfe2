#include "phonebook/directory_view.h"

#include <cstdlib>

DirectoryView g_directory;

void directory_view_rebuild(DirectoryView *v, const Phonebook *pb) {
    v->row_count = 0;
    for (int slot = 0; slot < PHONEBOOK_SLOTS; slot++)
        if (!v->used_only || !phonebook_entry_is_empty(&pb->entries[slot])) v->rows[v->row_count++] = slot;
    if (v->cursor > v->row_count - 1) v->cursor = v->row_count - 1;
    if (v->cursor < 0) v->cursor = 0;
}

int directory_view_slot(const DirectoryView *v) {
    return v->row_count > 0 ? v->rows[v->cursor] : -1;
}

int directory_view_row_of_slot(const DirectoryView *v, int slot) {
    for (int row = 0; row < v->row_count; row++)
        if (v->rows[row] == slot) return row;
    return -1;
}

void directory_view_move(DirectoryView *v, int delta) {
    long cursor = (long)v->cursor + delta;
    if (cursor > v->row_count - 1) cursor = v->row_count - 1;
    if (cursor < 0) cursor = 0;
    v->cursor = (int)cursor;
}

void directory_view_scroll(DirectoryView *v, int list_rows) {
    if (v->cursor < v->top) v->top = v->cursor;
    if (v->cursor >= v->top + list_rows) v->top = v->cursor - list_rows + 1;
    if (v->top < 0) v->top = 0;
}

int directory_view_find(const DirectoryView *v, const Phonebook *pb, const char *text, int first_row) {
    if (!text[0] || v->row_count == 0) return -1;
    for (int n = 0; n < v->row_count; n++) {
        int row = (first_row + n) % v->row_count;
        if (phonebook_entry_matches(&pb->entries[v->rows[row]], text)) return row;
    }
    return -1;
}

int directory_view_go_to(DirectoryView *v, const char *text) {
    long number = strtol(text, nullptr, 10);
    int row = number >= 1 && number <= PHONEBOOK_SLOTS ? directory_view_row_of_slot(v, (int)number - 1) : -1;
    if (row < 0) return 0;
    v->cursor = row;
    return 1;
}

void directory_view_toggle_used_only(DirectoryView *v, const Phonebook *pb) {
    // An empty list has no selected slot: it lands on the first row, so the view can always be
    // switched back.
    int noted = directory_view_slot(v);
    if (noted < 0) noted = 0;
    v->used_only = !v->used_only;
    directory_view_rebuild(v, pb);
    for (int row = 0; row < v->row_count; row++) {
        if (v->rows[row] >= noted) {
            v->cursor = row;
            return;
        }
    }
}
