// The extended key=value settings file: everything the classic file has no line for. One table
// gives each key, how its value is read and how it is written, in the order of writing.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_text.h"
#include "base/safe_save.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "base/text.h"

enum { EXTENDED_LINE = 512 };

enum KeyKind {
    KEY_UPLOAD_PATH, // text, 255 characters
    KEY_C64_FONT,    // text, 259 characters
    KEY_EMULATION,   // an emulation name; an unknown name leaves the field
    KEY_NUMBER,      // decimal in [min, max], else fallback
    KEY_FLAG,        // flag word, written "on" / "off"
    KEY_GLYPHS,      // "unicode" 1, "cp437" 2, else 0
    KEY_RENDERER,    // "legacy" 1, "vt" 2, else 0
    KEY_PETSCII40,   // "centered" / "centred" 1, else 0
};

struct ExtendedKey {
    const char *name;
    KeyKind kind;
    int Settings::*field; // for the integer kinds
    int min, max, fallback;
};

static const ExtendedKey kKeys[] = {
    {"UploadPath", KEY_UPLOAD_PATH, nullptr, 0, 0, 0},
    {"DefaultEmulation", KEY_EMULATION, &Settings::default_emulation, 0, 0, 0},
    {"Scrollback", KEY_NUMBER, &Settings::scrollback_lines, 0, 20000, 2000},
    {"IceColors", KEY_FLAG, &Settings::ice_colors, 0, 0, 0},
    {"Blink", KEY_FLAG, &Settings::show_blink, 0, 0, 0},
    {"Glyphs", KEY_GLYPHS, &Settings::glyphs, 0, 0, 0},
    {"Renderer", KEY_RENDERER, &Settings::renderer, 0, 0, 0},
    {"ZmodemAutoStart", KEY_FLAG, &Settings::zmodem_autostart, 0, 0, 0},
    {"DirectoryAtStartup", KEY_FLAG, &Settings::directory_at_startup, 0, 0, 0},
    {"ImportSSH", KEY_FLAG, &Settings::import_ssh, 0, 0, 0},
    {"ConnectTimeout", KEY_NUMBER, &Settings::connect_timeout, 3, 300, 30},
    {"Petscii40Display", KEY_PETSCII40, &Settings::petscii40_display, 0, 0, 0},
    {"PetsciiWindow", KEY_FLAG, &Settings::petscii_window, 0, 0, 0},
    {"PetsciiZoom", KEY_NUMBER, &Settings::petscii_zoom, 0, 4, 0},
    {"C64Font", KEY_C64_FONT, nullptr, 0, 0, 0},
};

static const char *const kGlyphWords[] = {"auto", "unicode", "cp437"}; // GLYPHS_*
static const char *const kRendererWords[] = {"auto", "legacy", "vt"};  // RENDERER_*

// The index of value among words (any case), else 0, the first choice.
static int word_index(const char *const *words, int count, const char *value) {
    for (int i = 0; i < count; i++)
        if (text_casecmp(value, words[i]) == 0) return i;
    return 0;
}

static void apply_value(Settings *s, const ExtendedKey &key, const char *value) {
    switch (key.kind) {
    // Trimmed again after the cut: written back, trailing blanks would not survive the next read.
    case KEY_UPLOAD_PATH:
        text_copy(s->upload_path, value, sizeof s->upload_path);
        text_trim(s->upload_path);
        break;
    case KEY_C64_FONT:
        text_copy(s->c64_font, value, sizeof s->c64_font);
        text_trim(s->c64_font);
        break;
    case KEY_EMULATION: {
        int emulation = emulation_from_name(value);
        if (emulation >= 0) s->*key.field = emulation;
        break;
    }
    case KEY_NUMBER: {
        int number = file_parse_int(value);
        s->*key.field = (number < key.min || number > key.max) ? key.fallback : number;
        break;
    }
    case KEY_FLAG: s->*key.field = settings_parse_flag(value); break;
    case KEY_GLYPHS: s->*key.field = word_index(kGlyphWords, 3, value); break;
    case KEY_RENDERER: s->*key.field = word_index(kRendererWords, 3, value); break;
    case KEY_PETSCII40:
        s->*key.field = (text_casecmp(value, "centered") == 0 || text_casecmp(value, "centred") == 0)
                            ? PETSCII40_CENTERED
                            : PETSCII40_DOUBLE;
        break;
    }
}

void settings_read_extended(Settings *s, const char *path) {
    FILE *f = fopen(path, "rb");
    if (!f) {
        if (errno != ENOENT) s->save_blocked = 1; // there, but not for us to read
        return;
    }
    char line[EXTENDED_LINE];
    for (bool first = true; file_read_line(f, line, sizeof line); first = false) {
        if (first) file_drop_bom(line);
        char *value = file_line_has_content(line) ? file_split_key_value(line) : nullptr;
        if (!value) continue;
        for (const ExtendedKey &key : kKeys)
            if (text_casecmp(line, key.name) == 0) apply_value(s, key, value);
    }
    if (ferror(f)) s->save_blocked = 1;
    fclose(f);
}

static const char *pick(const char *const *words, int count, int value) {
    return words[(value >= 0 && value < count) ? value : 0];
}

// The value text of one key as written; number is scratch space for decimals.
static const char *value_text(const Settings *s, const ExtendedKey &key, char *number, int size) {
    switch (key.kind) {
    case KEY_UPLOAD_PATH: return s->upload_path;
    case KEY_C64_FONT: return s->c64_font;
    case KEY_EMULATION: return pick(emulation_file_words, EMU_COUNT, s->*key.field);
    case KEY_NUMBER: text_format(number, size, "%d", s->*key.field); return number;
    case KEY_FLAG: return s->*key.field ? "on" : "off";
    case KEY_GLYPHS: return pick(kGlyphWords, 3, s->*key.field);
    case KEY_RENDERER: return pick(kRendererWords, 3, s->*key.field);
    case KEY_PETSCII40: return s->*key.field == PETSCII40_CENTERED ? "centered" : "doubled";
    }
    return "";
}

int settings_write_extended(const Settings *s, const char *path) {
    SafeSave out;
    if (!safe_save_begin(&out, path)) return 0;
    safe_save_text(&out, "; Pelorin NG settings (pelo.cfg holds the classic Pelorin settings)\r\n");
    for (const ExtendedKey &key : kKeys) {
        char number[16];
        safe_save_text(&out, key.name);
        safe_save_text(&out, "=");
        safe_save_line(&out, value_text(s, key, number, sizeof number));
    }
    return safe_save_finish(&out);
}
