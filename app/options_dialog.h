// The options dialog (Alt-O): one form over a copy of the settings; saving takes the copy over,
// writes both settings files and applies the result to the running program at once.
#pragma once

struct FormField;
struct Settings;

enum { OPTIONS_FIELDS = 34, OPTIONS_WIDTH = 78 };

// The form's lines over s (the dialog's copy), in the order shown; returns OPTIONS_FIELDS.
int options_fields(Settings *s, FormField *fields);
// The label of the first text in s that the settings files would not give back as typed after a
// save and the next start; nullptr when every text is kept.
const char *options_text_not_kept(const Settings *s);
// Puts saved settings in force: the record, both files (a box when they cannot be written, the new
// settings in force all the same), iCE colours, glyph mode, C64 font and the emulation's layout.
void options_take_over(const Settings *copy);
// Alt-O.
void options_open();
