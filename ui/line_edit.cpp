// The single-line editor and the input dialog.
#include <cstring>

#include "display/frame.h"
#include "display/present.h"
#include "input/keys.h"
#include "term/charset.h"
#include "ui/toolkit.h"

static bool ends_edit(uint32_t key) {
    switch (key) {
    case KEY_ENTER:
    case KEY_TAB:
    case KEY_ESC:
    case KEY_UP:
    case KEY_DOWN:
    case KEY_PGUP:
    case KEY_PGDN:
    case KEY_SHIFT_TAB:
    case KEY_F1 + 9: return true;
    }
    return false;
}

// fresh: the first typed character replaces the whole text, as when a field is entered; off when
// the caller's text is a character the user already typed, so that typing goes on after it.
static uint32_t edit_line(int column, int row, int width, char *buffer, int max_length, bool fresh) {
    if (width < 1) width = 1;
    int length = (int)strlen(buffer);
    if (length > max_length) length = max_length, buffer[length] = 0;
    int cursor = length, offset = 0;
    bool insert = true;
    for (;;) {
        if (offset > cursor) offset = cursor;
        if (cursor >= offset + width) offset = cursor - width + 1;
        int bg = g_ui_field_dark ? 8 : 0;
        char shown[FRAME_COLUMNS + 1];
        int n = 0;
        for (; n < width && n < FRAME_COLUMNS && offset + n < length; n++) shown[n] = buffer[offset + n];
        shown[n] = 0;
        ui_field(column, row, 15, bg, shown, width);
        g_frame.cursor_column = column + cursor - offset;
        g_frame.cursor_row = row;
        g_frame.cursor_visible = 1;
        present_frame();

        uint32_t key = ui_wait_key();
        if (ends_edit(key)) {
            g_frame.cursor_visible = 0;
            return key;
        }
        switch (key) {
        case KEY_BACKSPACE:
            if (cursor > 0) {
                memmove(buffer + cursor - 1, buffer + cursor, (size_t)(length - cursor + 1));
                cursor--, length--;
            }
            break;
        case KEY_LEFT:
            if (cursor > 0) cursor--;
            break;
        case KEY_RIGHT:
            if (cursor < length) cursor++;
            break;
        case KEY_HOME: cursor = 0; break;
        case KEY_END: cursor = length; break;
        case KEY_INSERT: insert = !insert; break;
        case KEY_DELETE:
            if (cursor < length) {
                memmove(buffer + cursor, buffer + cursor + 1, (size_t)(length - cursor));
                length--;
            }
            break;
        case KEY_CTRL_Y:
            buffer[0] = 0;
            cursor = length = 0;
            break;
        default:
            if (key < 32 || key > 0x10FFFF) break; // control and special keys do nothing
            {
                char c = (char)(key < 128 ? key : unicode_to_cp437(key));
                if (fresh) {
                    buffer[0] = 0;
                    cursor = length = 0;
                }
                if (!insert && cursor < length) {
                    buffer[cursor++] = c;
                } else if (length < max_length) {
                    memmove(buffer + cursor + 1, buffer + cursor, (size_t)(length - cursor + 1));
                    buffer[cursor++] = c;
                    length++;
                }
            }
        }
        fresh = false;
    }
}

uint32_t ui_edit_line(int column, int row, int width, char *buffer, int max_length) {
    return edit_line(column, row, width, buffer, max_length, true);
}

uint32_t ui_edit_line_typed(int column, int row, int width, char *buffer, int max_length) {
    return edit_line(column, row, width, buffer, max_length, false);
}

static int input_dialog(const char *title, const char *prompt, char *buffer, int max_length, bool fresh) {
    int row = ui_centre_row(6);
    redraw_background();
    ui_box(10, row, 60, 6, 11, 1, 1, title);
    ui_shadow(10, row, 60, 6);
    ui_text(12, row + 2, 15, 1, prompt);
    ui_markup(12, row + 4, 7, 14, 1, "~Enter~ accept   ~Esc~ cancel   ~^Y~ clear");
    return edit_line(12, row + 3, 56, buffer, max_length, fresh) == KEY_ENTER;
}

int ui_input(const char *title, const char *prompt, char *buffer, int max_length) {
    return input_dialog(title, prompt, buffer, max_length, true);
}

int ui_input_typed(const char *title, const char *prompt, char *buffer, int max_length) {
    return input_dialog(title, prompt, buffer, max_length, false);
}
