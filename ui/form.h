// The form dialog: a box with one line per field (label column, value column), moved through with
// the cursor keys, saved with F10, left with Esc (asking "Save changes?" once something changed).
// Fields edit their values in place while the form runs; a caller that must be able to discard the
// edits gives the form a copy.
//
//   FormField fields[] = {form_text("Name", name, 60), form_yes_no("Status bar", &bar),
//                         form_number("Scrollback lines", &lines, 0, 20000),
//                         form_choice("Glyphs", &glyphs, kGlyphNames, 3, 0), form_read_only("", hint)};
//   if (ui_form_run("Options", fields, 5, 76, nullptr)) ... save ...
#pragma once
#include <cstdint>

enum FormKind : int {
    FORM_TEXT = 0,      // CP437 text, edited with the line editor
    FORM_YES_NO = 1,    // Left, Right, Space or Enter flips it
    FORM_NUMBER = 2,    // decimal, clamped to minimum..maximum when stored
    FORM_CHOICE = 3,    // one of option_count names; the value of option i is minimum + i
    FORM_READ_ONLY = 4, // shown in grey, never current
};

struct FormField {
    const char *label; // may be empty
    int kind;          // FormKind
    char *text;        // FORM_TEXT: room for maximum characters and the NUL; FORM_READ_ONLY: shown as is
    int *value;        // FORM_YES_NO (0 or 1), FORM_NUMBER, FORM_CHOICE
    int maximum;       // FORM_TEXT: longest text; FORM_NUMBER: highest value
    int minimum;       // FORM_NUMBER: lowest value; FORM_CHOICE: value of the first option
    const char *const *options; // FORM_CHOICE: the option names
    int option_count;
    int hidden; // FORM_TEXT: shown as one "*" per character
};

inline FormField form_text(const char *label, char *buffer, int max_length, int hidden = 0) {
    return FormField{label, FORM_TEXT, buffer, nullptr, max_length, 0, nullptr, 0, hidden};
}
inline FormField form_yes_no(const char *label, int *value) {
    return FormField{label, FORM_YES_NO, nullptr, value, 1, 0, nullptr, 0, 0};
}
inline FormField form_number(const char *label, int *value, int minimum, int maximum) {
    return FormField{label, FORM_NUMBER, nullptr, value, maximum, minimum, nullptr, 0, 0};
}
inline FormField form_choice(const char *label, int *value, const char *const *options, int count,
                             int first_value) {
    return FormField{label, FORM_CHOICE, nullptr, value, 0, first_value, options, count, 0};
}
inline FormField form_read_only(const char *label, const char *text) {
    return FormField{label, FORM_READ_ONLY, (char *)text, nullptr, 0, 0, nullptr, 0, 0};
}

enum {
    FORM_NUMBER_CHARS = 7, // a number is typed in at most this many characters
    FORM_TEXT_SHOWN = 299, // a hidden text shows at most this many asterisks
};

// Runs the form in a box width columns wide, centred, with title and the key help line (the
// "~" markup of ui_markup; nullptr for the default). 1 when the user saved (F10, or Yes to "Save
// changes?"), 0 when cancelled. The caller recomposes the screen afterwards.
int ui_form_run(const char *title, FormField *fields, int count, int width, const char *help);
// The same for values already changed before the form opened: Esc asks "Save changes?" at once.
int ui_form_run_changed(const char *title, FormField *fields, int count, int width, const char *help);

// The text a field's value shows: a text or its asterisks, "Yes"/"No", the number, the option name
// (the first option when the value lies outside the options), the read-only text.
void ui_form_value_text(const FormField *field, char *out, int size);
