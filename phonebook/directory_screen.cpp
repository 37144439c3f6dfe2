// The dialing directory screen: drawing, the key loop, and the commands on entries.
#include <cstring>

#include "base/emulation.h"
#include "base/text.h"
#include "display/frame.h"
#include "display/present.h"
#include "input/keys.h"
#include "phonebook/address.h"
#include "phonebook/directory.h"
#include "phonebook/directory_view.h"
#include "phonebook/entry_editor.h"
#include "phonebook/syncterm_import.h"
#include "settings/settings.h"
#include "ui/toolkit.h"

namespace {

const char kKeyLine[] =
    "~Enter~ Dial ~Ins~ Add ~E~dit ~Del~ete ~F~ind ~N~ext ~I~mport ~S~ort ~V~iew ~Q~uick-dial ~Esc~";

// The directory being shown, for the repaint hook (which takes no arguments).
const DirectoryContext *s_shown;

int list_rows() {
    int rows = g_frame.rows - g_frame.status_rows - 6;
    return rows > 0 ? rows : 0;
}

// Up to n characters of text at column.
void draw_cut(int column, int row, int fg, int bg, const char *text, int n) {
    char cut[PHONEBOOK_NAME + 1];
    text_copy(cut, text, n + 1 < (int)sizeof cut ? n + 1 : (int)sizeof cut);
    ui_text(column, row, fg, bg, cut);
}

void draw_row(const PhonebookEntry *e, int slot, int row, bool selected) {
    int bg = selected ? 3 : 1;
    ui_fill(1, row, 78, 1, 15, bg);
    char number[8];
    text_format(number, sizeof number, "%4d", slot + 1);
    ui_text(2, row, selected ? 0 : 7, bg, number);
    if (phonebook_entry_is_empty(e)) return;
    if (emulation_is_petscii(e->emulation)) ui_text(7, row, selected ? 0 : 13, bg, "\x07"); // bullet
    draw_cut(8, row, selected ? 0 : 15, bg, e->name, 32);
    draw_cut(41, row, selected ? 0 : 11, bg, e->address, 27);
    draw_cut(69, row, selected ? 0 : 7, bg, e->last_call, 8);
}

void draw_separator(int row) {
    static char line[81];
    if (!line[0]) {
        memset(line, '\xC4', 80);
        line[0] = '\xC7';
        line[79] = '\xB6';
    }
    ui_text(0, row, 11, 1, line);
}

void repaint_directory() {
    if (s_shown) directory_draw(s_shown);
}

// Saves after a change the user made; the change stays in memory when the save fails, and the
// user is told, so it is not lost unnoticed when the program ends.
void save_changes(Phonebook *pb) {
    if (!phonebook_save(pb)) ui_message("Error", "Could not write the phonebook file!");
}

bool same_entry(const PhonebookEntry *a, const PhonebookEntry *b) {
    return strcmp(a->name, b->name) == 0 && strcmp(a->address, b->address) == 0 &&
           strcmp(a->login, b->login) == 0 && strcmp(a->password, b->password) == 0 &&
           a->emulation == b->emulation;
}

void add_entry(const DirectoryContext *context) {
    Phonebook *pb = context->phonebook;
    int slot = phonebook_first_empty(pb);
    if (slot < 0) {
        ui_message("Phonebook full", "All 2000 entries are in use.");
        return;
    }
    PhonebookEntry scratch;
    phonebook_entry_clear(&scratch);
    if (!entry_edit(&scratch, "Add Entry", context->settings->hide_passwords)) return;
    pb->entries[slot] = scratch;
    save_changes(pb);
    directory_view_rebuild(&g_directory, pb);
    int row = directory_view_row_of_slot(&g_directory, slot);
    if (row >= 0) g_directory.cursor = row;
}

void edit_entry(const DirectoryContext *context, int slot) {
    PhonebookEntry *e = &context->phonebook->entries[slot];
    const char *title = phonebook_entry_is_empty(e) ? "Add Entry" : "Edit Entry";
    if (!entry_edit(e, title, context->settings->hide_passwords)) return;
    save_changes(context->phonebook);
    directory_view_rebuild(&g_directory, context->phonebook);
}

void delete_entry(const DirectoryContext *context, int slot) {
    PhonebookEntry *e = &context->phonebook->entries[slot];
    if (phonebook_entry_is_empty(e)) return;
    char question[120];
    text_format(question, sizeof question, "Delete entry #%d\n%s ?", slot + 1, e->name);
    if (!ui_yes_no("Delete Entry", question)) return;
    phonebook_entry_clear(e);
    // Alt-W and Alt-P must not send what now sits in that slot.
    if (*context->current_entry == slot) *context->current_entry = -1;
    save_changes(context->phonebook);
    directory_view_rebuild(&g_directory, context->phonebook);
}

void sort_entries(const DirectoryContext *context) {
    if (!ui_yes_no("Sort Phonebook", "Sort all entries by name?\nEmpty slots are moved to the end.")) return;
    Phonebook *pb = context->phonebook;
    int *current = context->current_entry;
    PhonebookEntry dialled;
    bool follow = *current >= 0 && *current < PHONEBOOK_SLOTS;
    if (follow) dialled = pb->entries[*current];
    phonebook_sort(pb);
    if (follow) {
        // Alt-W and Alt-P go on sending the login of the entry that was dialled, wherever it moved.
        *current = -1;
        for (int slot = 0; slot < PHONEBOOK_SLOTS && *current < 0; slot++)
            if (same_entry(&pb->entries[slot], &dialled)) *current = slot;
    }
    save_changes(pb);
    directory_view_rebuild(&g_directory, pb);
    g_directory.cursor = 0;
}

void find(const DirectoryContext *context, bool next) {
    DirectoryView *v = &g_directory;
    if (!next) {
        char text[DIRECTORY_FIND_CHARS + 1];
        text_copy(text, v->find_text, sizeof text);
        if (!ui_input("Find", "Search name or address for:", text, DIRECTORY_FIND_CHARS)) return;
        text_copy(v->find_text, text, sizeof v->find_text);
    } else if (!v->find_text[0]) {
        return;
    }
    // Next tries the cursor row last: finding only that row again means there is no other match.
    int row = directory_view_find(v, context->phonebook, v->find_text, next ? v->cursor + 1 : v->cursor);
    if (row >= 0 && !(next && row == v->cursor))
        v->cursor = row;
    else
        ui_message("Find", next ? "No more matches." : "Not found.");
}

// first: the digit that opened the dialog, or 0 for an empty start.
void go_to(uint32_t first) {
    char text[6] = {(char)first, 0};
    int accepted = first ? ui_input_typed("Go To Entry", "Entry number (1-2000):", text, 5)
                         : ui_input("Go To Entry", "Entry number (1-2000):", text, 5);
    if (accepted) directory_view_go_to(&g_directory, text);
}

void remember_call(DirectoryCall *call, const char *name, const char *address, int emulation, int entry) {
    text_copy(call->name, name, sizeof call->name);
    address_parse(address, call->host, sizeof call->host, &call->port);
    call->emulation = emulation;
    call->entry = entry;
}

void rebuild_after_import() {
    if (s_shown) directory_view_rebuild(&g_directory, s_shown->phonebook);
}

enum { STAY = -1 }; // the directory stays open after the key

// One key of the directory: STAY, or how the directory is left.
int act(const DirectoryContext *context, uint32_t key, DirectoryCall *call) {
    DirectoryView *v = &g_directory;
    Phonebook *pb = context->phonebook;
    int slot = directory_view_slot(v);
    int L = list_rows();
    if (key >= 'A' && key <= 'Z') key += 'a' - 'A';
    switch (key) {
    case KEY_UP: directory_view_move(v, -1); break;
    case KEY_DOWN: directory_view_move(v, 1); break;
    case KEY_HOME:
    case KEY_CTRL | KEY_PGUP: v->cursor = 0; break;
    case KEY_END:
    case KEY_CTRL | KEY_PGDN: directory_view_move(v, PHONEBOOK_SLOTS); break;
    case KEY_PGUP: directory_view_move(v, -L); break;
    case KEY_PGDN: directory_view_move(v, L); break;
    case KEY_ENTER:
    case 'd': {
        if (slot < 0) break;
        PhonebookEntry *e = &pb->entries[slot];
        if (phonebook_entry_is_empty(e)) {
            edit_entry(context, slot);
            break;
        }
        int emulation = e->emulation >= 0 ? e->emulation : context->settings->default_emulation;
        remember_call(call, e->name, e->address, emulation, slot);
        return DIRECTORY_DIAL;
    }
    case KEY_INSERT:
    case 'a': add_entry(context); break;
    case 'e':
        if (slot >= 0) edit_entry(context, slot);
        break;
    case KEY_DELETE:
    case 'r':
        if (slot >= 0) delete_entry(context, slot);
        break;
    case 'f':
    case '/': find(context, false); break;
    case 'n': find(context, true); break;
    case 'g': go_to(0); break;
    case 'i': directory_import(context, nullptr); break;
    case 's': sort_entries(context); break;
    case 'v': directory_view_toggle_used_only(v, pb); break;
    case 'q':
    case KEY_ALT + 'q': return directory_ask_host(call) ? DIRECTORY_DIAL : DIRECTORY_LEFT;
    case KEY_ESC:
    case KEY_ALT + 'd': return DIRECTORY_LEFT;
    case KEY_ALT + 'x': return DIRECTORY_QUIT;
    default:
        if (key >= '0' && key <= '9') go_to(key);
        break;
    }
    return STAY;
}

} // namespace

void directory_draw(const DirectoryContext *context) {
    if (g_ui_hooks.compose_terminal) g_ui_hooks.compose_terminal(); // the status bar on top
    const DirectoryView *v = &g_directory;
    const Phonebook *pb = context->phonebook;
    int R = g_frame.rows, b = g_frame.status_rows, L = list_rows();
    ui_box(0, b, 80, R - b, 11, 1, 1, "Pelorin NG Dialing Directory");
    ui_text(2, b + 1, 14, 1, "Num");
    ui_text(8, b + 1, 14, 1, "Name");
    ui_text(41, b + 1, 14, 1, "Address");
    ui_text(69, b + 1, 14, 1, "Last Call");
    draw_separator(b + 2);
    draw_separator(R - 3);
    for (int i = 0; i < L && v->top + i < v->row_count; i++) {
        int row = v->top + i, slot = v->rows[row];
        draw_row(&pb->entries[slot], slot, b + 3 + i, row == v->cursor);
    }
    if (v->row_count > L && L > 0) {
        for (int i = 0; i < L; i++) ui_text(79, b + 3 + i, 11, 1, "\xB0");
        ui_text(79, b + 3 + (L - 1) * v->cursor / (v->row_count - 1), 11, 1, "\xDB");
    }
    ui_markup(2, R - 2, 15, 14, 1, kKeyLine);
    char count[64];
    text_format(count, sizeof count, " %d of %d entries used%s ", phonebook_count_used(pb), PHONEBOOK_SLOTS,
                v->used_only ? ", showing used only" : "");
    ui_text(3, R - 1, 7, 1, count);
    g_frame.cursor_visible = 0;
}

int directory_run(const DirectoryContext *context, DirectoryCall *call) {
    const DirectoryContext *outer = s_shown;
    void (*previous)(void) = g_ui_hooks.redraw_background;
    s_shown = context;
    g_ui_hooks.redraw_background = repaint_directory;
    directory_view_rebuild(&g_directory, context->phonebook);
    int outcome = STAY;
    while (outcome == STAY) {
        directory_view_scroll(&g_directory, list_rows());
        directory_draw(context);
        present_frame();
        outcome = act(context, ui_wait_key(), call);
    }
    g_ui_hooks.redraw_background = previous;
    s_shown = outer;
    return outcome;
}

int directory_ask_host(DirectoryCall *call) {
    redraw_background();
    int row = ui_centre_row(3), middle = row + 1;
    ui_box(9, row, 62, 3, 3, 0, 0, "");
    if (middle < g_frame.rows) {
        ui_text(11, middle, 7, 0, "\xB2");
        ui_text(12, middle, 8, 0, "\xB1");
        ui_text(13, middle, 15, 0, "\xDB");
        ui_text(15, middle, 9, 0, "Host to call:");
    }
    g_ui_field_dark = 1;
    uint32_t end = ui_edit_line(29, middle, 40, g_directory.quick_dial_text, DIRECTORY_QUICK_DIAL_CHARS);
    g_ui_field_dark = 0;
    char typed[DIRECTORY_QUICK_DIAL_CHARS + 1];
    text_copy(typed, g_directory.quick_dial_text, sizeof typed);
    text_trim(typed);
    if (end != KEY_ENTER || !typed[0]) return 0;
    remember_call(call, "", typed, EMU_NONE, -1);
    return 1;
}

int directory_import(const DirectoryContext *context, const char *path) {
    ImportPrompts prompts{ui_input, ui_yes_no, ui_message, rebuild_after_import};
    return syncterm_import(context->phonebook, path, &prompts, context->settings, context->program_dir);
}
