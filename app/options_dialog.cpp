#include "app/options_dialog.h"

#include "app/apply_emulation.h"
#include "app/compose.h"
#include "app/startup.h"
#include "base/emulation.h"
#include "base/text.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "ui/form.h"
#include "ui/toolkit.h"

static const char kTitle[] = "Pelorin NG Options";

static const char *const kGlyphChoices[] = {"Auto detect", "Unicode", "CP437 only"};
static const char *const kPetscii40Choices[] = {"Double width (fills screen)", "Centered"};
static const char *const kZoomChoices[] = {"Same as console (80x25)", "1x (640x400)", "2x", "3x", "4x"};
static const char *const kMacroLabels[SETTINGS_MACROS] = {
    "F1 macro", "F2 macro", "F3 macro", "F4 macro", "F5 macro",
    "F6 macro", "F7 macro", "F8 macro", "F9 macro", "F10 macro",
};

enum { PATH_CHARS = 200, FONT_CHARS = 250, MACRO_CHARS = 120 };

int options_fields(Settings *s, FormField *fields) {
    FormField head[] = {
        form_text("Download path", s->download_path, PATH_CHARS),
        form_text("Upload path", s->upload_path, PATH_CHARS),
        form_yes_no("Status bar", &s->status_bar),
        form_number("Status bar background (0-7)", &s->status_bg, 0, 7),
        form_number("Status bar ALT-Z colour (0-15)", &s->status_help_colour, 0, 15),
        form_number("Status bar time colour (0-15)", &s->status_clock_colour, 0, 15),
        form_number("Status bar status colour (0-15)", &s->status_text_colour, 0, 15),
        form_choice("Default emulation", &s->default_emulation, emulation_long_names, EMU_COUNT, 0),
        form_yes_no("Telnet binary mode", &s->telnet_binary),
        form_yes_no("Hide passwords in phonebook", &s->hide_passwords),
        form_yes_no("VT100 function keys", &s->vt100_function_keys),
        form_yes_no("Break checking", &s->break_checking),
        form_yes_no("iCE colours (blink = bright bg)", &s->ice_colors),
        form_yes_no("Show blinking text", &s->show_blink),
        form_choice("Glyphs", &s->glyphs, kGlyphChoices, 3, GLYPHS_AUTO),
        form_number("Scrollback lines", &s->scrollback_lines, 0, 20000),
        form_yes_no("Zmodem auto start", &s->zmodem_autostart),
        form_yes_no("Dialing directory at startup", &s->directory_at_startup),
        form_yes_no("Import SSH entries from SyncTERM", &s->import_ssh),
        form_number("Connect timeout (seconds)", &s->connect_timeout, 3, 300),
        form_choice("PETSCII 40 column display", &s->petscii40_display, kPetscii40Choices, 2,
                    PETSCII40_DOUBLE),
        form_yes_no("PETSCII in graphics window", &s->petscii_window),
        form_choice("Graphics window zoom", &s->petscii_zoom, kZoomChoices, 5, 0),
        form_text("C64 font (CGTerm dir/chargen)", s->c64_font, FONT_CHARS),
    };
    int n = 0;
    for (const FormField &field : head) fields[n++] = field;
    for (int i = 0; i < SETTINGS_MACROS; i++)
        fields[n++] = form_text(kMacroLabels[i], s->macros[i], MACRO_CHARS);
    return n;
}

const char *options_text_not_kept(const Settings *s) {
    struct Text {
        const char *label;
        SettingsText field;
        const char *text;
    };
    const Text texts[] = {
        {"Download path", SETTINGS_TEXT_DOWNLOAD_PATH, s->download_path},
        {"Upload path", SETTINGS_TEXT_UPLOAD_PATH, s->upload_path},
        {"C64 font", SETTINGS_TEXT_C64_FONT, s->c64_font},
    };
    for (const Text &t : texts)
        if (!settings_can_carry(t.field, t.text)) return t.label;
    for (int i = 0; i < SETTINGS_MACROS; i++)
        if (!settings_can_carry(SETTINGS_TEXT_MACRO, s->macros[i])) return kMacroLabels[i];
    return nullptr;
}

void options_take_over(const Settings *copy) {
    g_settings = *copy;
    g_terminal.ice_colors = g_settings.ice_colors;
    term_update_attr(&g_terminal);
    settle_glyph_mode();
    load_c64_font();
    // The current emulation stays; the status bar, the rows and the PETSCII layout follow the
    // new settings through the one path that lays the screen out.
    apply_emulation();
    if (!settings_write(&g_settings)) {
        compose_frame();
        ui_message("Error", "Could not write pelo.cfg / pelong.cfg");
    }
    compose_and_present();
}

void options_open() {
    Settings copy = g_settings;
    FormField fields[OPTIONS_FIELDS];
    int count = options_fields(&copy, fields);
    compose_frame();
    int saved = ui_form_run(kTitle, fields, count, OPTIONS_WIDTH, nullptr);
    // A text the files would change is not taken silently: the form comes back with every edit,
    // and leaving it now asks whether to save.
    for (const char *label; saved && (label = options_text_not_kept(&copy));) {
        char text[160];
        text_format(text, sizeof text, "The settings files cannot keep the %s\nas typed. Please change it.",
                    label);
        compose_frame();
        ui_message("Options", text);
        saved = ui_form_run_changed(kTitle, fields, count, OPTIONS_WIDTH, nullptr);
    }
    if (!saved) {
        compose_and_present();
        return;
    }
    options_take_over(&copy);
}
