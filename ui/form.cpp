// The form dialog: layout, drawing, the key table and the editing of each kind of field.
#include "ui/form.h"

#include <cstdlib>
#include <cstring>

#include "display/frame.h"
#include "display/present.h"
#include "input/keys.h"
#include "term/charset.h"
#include "base/text.h"
#include "ui/toolkit.h"

namespace {

enum { EDIT_BUFFER = 1024, NUMBER_COLUMNS = 8 };

const char kDefaultHelp[] = "~\x18\x19~ select  ~Enter~ edit/toggle  ~F10~ save  ~Esc~ done";

struct Form {
    const char *title, *help;
    FormField *fields;
    int count, width;
    int x, y, visible; // box position and the number of field lines shown
    int value_column, value_width;
    int current, first, changed; // current is -1 only when no field can be selected
};

// What a key did to the form.
enum Step { STEP_STAY, STEP_SAVED, STEP_CANCELLED };

bool selectable(const Form &f, int i) {
    return i >= 0 && i < f.count && f.fields[i].kind != FORM_READ_ONLY;
}

// The next selectable field from current in direction step (+1 or -1), wrapping; current itself
// when it is the only one.
int step_field(const Form &f, int step) {
    for (int n = 1; n <= f.count; n++) {
        int i = ((f.current + step * n) % f.count + f.count) % f.count;
        if (selectable(f, i)) return i;
    }
    return f.current;
}

// The first selectable field in from..to going in direction step, or -1.
int find_selectable(const Form &f, int from, int to, int step) {
    for (int i = from; step > 0 ? i <= to : i >= to; i += step)
        if (selectable(f, i)) return i;
    return -1;
}

void lay_out(Form &f) {
    f.visible = g_frame.rows - 9 < f.count ? g_frame.rows - 9 : f.count;
    if (f.visible < 1) f.visible = 1;
    f.x = (FRAME_COLUMNS - f.width) / 2;
    f.y = ui_centre_row(f.visible + 6);
    int longest = 0;
    for (int i = 0; i < f.count; i++) {
        int n = (int)strlen(f.fields[i].label);
        if (n > longest) longest = n;
    }
    f.value_column = f.x + longest + 5;
    f.value_width = f.width - longest - 8;
    if (f.value_width < 1) f.value_width = 1;
}

// Keeps the current field on screen; at the first or last selectable field the list goes to its
// end, so that read-only lines before or after it are seen too.
void scroll(Form &f) {
    if (f.current < 0) return;
    if (f.current < f.first) f.first = f.current;
    if (f.current >= f.first + f.visible) f.first = f.current - f.visible + 1;
    if (f.current < f.visible && find_selectable(f, 0, f.count - 1, 1) == f.current) f.first = 0;
    int last_first = f.count - f.visible;
    if (f.current >= last_first && find_selectable(f, f.count - 1, 0, -1) == f.current) f.first = last_first;
    if (f.first < 0) f.first = 0;
}

int field_row(const Form &f, int i) {
    return f.y + 2 + i - f.first;
}

void draw(const Form &f) {
    redraw_background();
    int height = f.visible + 6;
    ui_box(f.x, f.y, f.width, height, 11, 1, 1, f.title);
    ui_shadow(f.x, f.y, f.width, height);
    for (int i = f.first; i < f.first + f.visible && i < f.count; i++) {
        const FormField &field = f.fields[i];
        int row = field_row(f, i);
        bool current = i == f.current;
        ui_text(f.x + 3, row, current ? 14 : 15, 1, field.label);
        char shown[FORM_TEXT_SHOWN + 1];
        ui_form_value_text(&field, shown, sizeof shown);
        int fg = current ? 0 : field.kind == FORM_READ_ONLY ? 7 : 15;
        int bg = current ? 3 : field.kind == FORM_READ_ONLY ? 1 : 0;
        ui_field(f.value_column, row, fg, bg, shown, f.value_width);
    }
    if (f.first > 0) ui_text(f.x + f.width - 1, f.y + 2, 11, 1, "\x1E");
    if (f.first + f.visible < f.count) ui_text(f.x + f.width - 1, f.y + f.visible + 2, 11, 1, "\x1F");
    ui_markup(f.x + 2, f.y + f.visible + 4, 7, 14, 1, f.help ? f.help : kDefaultHelp);
    g_frame.cursor_visible = 0;
}

bool printable(uint32_t key) {
    return key >= 32 && key <= 0x10FFFF;
}

char cp437_char(uint32_t key) {
    return (char)(key < 128 ? key : unicode_to_cp437(key));
}

// Moves on after an editor ended with key; STEP_SAVED for F10 when the kind allows it.
Step after_edit(Form &f, uint32_t key, bool f10_saves, bool shift_tab_goes_back) {
    if (key == KEY_TAB || key == KEY_ENTER || key == KEY_DOWN) f.current = step_field(f, 1);
    if (key == KEY_UP || (shift_tab_goes_back && key == KEY_SHIFT_TAB)) f.current = step_field(f, -1);
    return f10_saves && key == key_function(10) ? STEP_SAVED : STEP_STAY;
}

Step edit_text(Form &f, FormField &field, uint32_t key) {
    char edit[EDIT_BUFFER];
    int max_length = field.maximum < EDIT_BUFFER - 1 ? field.maximum : EDIT_BUFFER - 1;
    int row = field_row(f, f.current);
    uint32_t end;
    if (key == KEY_ENTER) {
        text_copy(edit, field.text, max_length + 1);
        end = ui_edit_line(f.value_column, row, f.value_width, edit, max_length);
    } else {
        edit[0] = cp437_char(key);
        edit[1] = 0;
        end = ui_edit_line_typed(f.value_column, row, f.value_width, edit, max_length);
    }
    if (end == KEY_ESC) return STEP_STAY;
    edit[max_length] = 0;
    if (strcmp(edit, field.text) != 0) {
        text_copy(field.text, edit, field.maximum + 1);
        f.changed = 1;
    }
    return after_edit(f, end, true, true);
}

Step edit_number(Form &f, FormField &field, uint32_t key) {
    char edit[FORM_NUMBER_CHARS + 1];
    int row = field_row(f, f.current);
    uint32_t end;
    if (key == KEY_ENTER) {
        text_format(edit, sizeof edit, "%d", *field.value);
        end = ui_edit_line(f.value_column, row, NUMBER_COLUMNS, edit, FORM_NUMBER_CHARS);
    } else {
        edit[0] = (char)key;
        edit[1] = 0;
        end = ui_edit_line_typed(f.value_column, row, NUMBER_COLUMNS, edit, FORM_NUMBER_CHARS);
    }
    if (end == KEY_ESC) return STEP_STAY;
    long number = strtol(edit, nullptr, 10); // seven characters always fit
    if (number < field.minimum) number = field.minimum;
    if (number > field.maximum) number = field.maximum;
    if (number != *field.value) {
        *field.value = (int)number;
        f.changed = 1;
    }
    return after_edit(f, end, false, false);
}

void step_choice(Form &f, FormField &field, int step) {
    int n = field.option_count;
    if (n < 1) return;
    int index = *field.value - field.minimum;
    if (index < 0 || index >= n) index = 0;
    *field.value = field.minimum + (index + step + n) % n;
    f.changed = 1;
}

// A key that no form-wide command took, for the current field's kind.
Step field_key(Form &f, uint32_t key) {
    if (f.current < 0) return STEP_STAY;
    FormField &field = f.fields[f.current];
    switch (field.kind) {
    case FORM_TEXT:
        if (key == KEY_ENTER || printable(key)) return edit_text(f, field, key);
        break;
    case FORM_NUMBER:
        if (key == KEY_ENTER || (key >= '0' && key <= '9')) return edit_number(f, field, key);
        break;
    case FORM_YES_NO:
        if (key == KEY_LEFT || key == KEY_RIGHT || key == ' ' || key == KEY_ENTER) {
            *field.value = !*field.value;
            f.changed = 1;
        }
        break;
    case FORM_CHOICE:
        if (key == KEY_LEFT) step_choice(f, field, -1);
        if (key == KEY_RIGHT || key == ' ' || key == KEY_ENTER) step_choice(f, field, 1);
        break;
    }
    return STEP_STAY;
}

// Over the form: Enter, Y or y save, N or n cancel, Esc goes back to the form (STEP_STAY).
Step ask_save(const Form &f) {
    int column = f.x + f.width / 2 - 17, row = f.y + (f.visible + 6) / 2 - 2;
    ui_box(column, row, 34, 5, 11, 4, 1, "Save changes?");
    ui_markup(f.x + f.width / 2 - 12, row + 2, 15, 14, 4, "(~Y~es / ~N~o / ~Esc~)");
    g_frame.cursor_visible = 0;
    present_frame();
    for (;;) {
        uint32_t key = ui_wait_key();
        if (key == KEY_ENTER || key == 'Y' || key == 'y') return STEP_SAVED;
        if (key == 'N' || key == 'n') return STEP_CANCELLED;
        if (key == KEY_ESC) return STEP_STAY;
    }
}

Step form_key(Form &f, uint32_t key) {
    switch (key) {
    case KEY_TAB:
    case KEY_DOWN: f.current = step_field(f, 1); break;
    case KEY_SHIFT_TAB:
    case KEY_UP: f.current = step_field(f, -1); break;
    case KEY_HOME: f.current = find_selectable(f, 0, f.count - 1, 1); break;
    case KEY_END: f.current = find_selectable(f, f.count - 1, 0, -1); break;
    case KEY_PGUP: {
        int from = f.current - f.visible < 0 ? 0 : f.current - f.visible;
        f.current = find_selectable(f, from, f.count - 1, 1);
        break;
    }
    case KEY_PGDN: {
        int to = f.current + f.visible < f.count - 1 ? f.current + f.visible : f.count - 1;
        f.current = find_selectable(f, to, 0, -1);
        break;
    }
    case KEY_F1 + 9: return STEP_SAVED;
    case KEY_ESC: return f.changed ? ask_save(f) : STEP_CANCELLED;
    default: return field_key(f, key);
    }
    return STEP_STAY;
}

} // namespace

void ui_form_value_text(const FormField *field, char *out, int size) {
    switch (field->kind) {
    case FORM_TEXT:
        if (field->hidden && field->text[0]) {
            int n = (int)strlen(field->text);
            if (n > FORM_TEXT_SHOWN) n = FORM_TEXT_SHOWN;
            if (n > size - 1) n = size - 1;
            memset(out, '*', (size_t)n);
            out[n] = 0;
            return;
        }
        text_copy(out, field->text, size);
        return;
    case FORM_YES_NO: text_copy(out, *field->value ? "Yes" : "No", size); return;
    case FORM_NUMBER: text_format(out, size, "%d", *field->value); return;
    case FORM_CHOICE: {
        int index = *field->value - field->minimum;
        if (index < 0 || index >= field->option_count) index = 0;
        text_copy(out, field->option_count > 0 ? field->options[index] : "", size);
        return;
    }
    default: text_copy(out, field->text ? field->text : "", size); return;
    }
}

static int run_form(const char *title, FormField *fields, int count, int width, const char *help,
                    int changed) {
    Form f{};
    f.changed = changed;
    f.title = title;
    f.help = help;
    f.fields = fields;
    f.count = count;
    f.width = width;
    lay_out(f);
    f.current = find_selectable(f, 0, count - 1, 1);
    for (;;) {
        scroll(f);
        draw(f);
        present_frame();
        Step step = form_key(f, ui_wait_key());
        if (step != STEP_STAY) return step == STEP_SAVED;
    }
}

int ui_form_run(const char *title, FormField *fields, int count, int width, const char *help) {
    return run_form(title, fields, count, width, help, 0);
}

int ui_form_run_changed(const char *title, FormField *fields, int count, int width, const char *help) {
    return run_form(title, fields, count, width, help, 1);
}
