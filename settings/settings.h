// The one settings record with its defaults and ranges, and the two settings files.
#pragma once

enum {
    SETTINGS_MACROS = 10,
    SETTINGS_MACRO_LENGTH = 127,
    SETTINGS_PATH_LENGTH = 255,
};

// The classic file's line where the legend begins; reading stops at it.
inline constexpr char kClassicLegendMark[] = "----";

// The texts a user types into the settings, by field.
enum SettingsText {
    SETTINGS_TEXT_DOWNLOAD_PATH, // classic line 1, trimmed when read
    SETTINGS_TEXT_MACRO,         // classic lines 8-17, kept as they stand
    SETTINGS_TEXT_UPLOAD_PATH,   // extended file, trimmed when read
    SETTINGS_TEXT_C64_FONT,      // extended file, trimmed when read
};

// Glyphs setting.
enum { GLYPHS_AUTO = 0, GLYPHS_UNICODE = 1, GLYPHS_CP437 = 2 };
// Renderer setting.
enum { RENDERER_AUTO = 0, RENDERER_LEGACY = 1, RENDERER_VT = 2 };
// PETSCII 40 column display setting.
enum { PETSCII40_DOUBLE = 0, PETSCII40_CENTERED = 1 };

struct Settings {
    char download_path[SETTINGS_PATH_LENGTH + 1];
    int status_bg;           // 0-7
    int status_help_colour;  // 0-15, the "Alt-Z - Help!" text
    int status_clock_colour; // 0-15
    int status_text_colour;  // 0-15
    int vt100_normal_colour; // 0-7, stored and written back only
    int vt100_intense_colour;
    char macros[SETTINGS_MACROS][SETTINGS_MACRO_LENGTH + 1];
    int status_bar;
    int break_checking; // stored and written back only
    int telnet_binary;  // lets the client open telnet negotiation
    int hide_passwords;
    int vt100_function_keys; // F1-F4 send sequences instead of macros
    char classic_emulation[32];
    char upload_path[SETTINGS_PATH_LENGTH + 1];
    int default_emulation; // 0-6
    int scrollback_lines;  // 0-20000
    int ice_colors;
    int show_blink;
    int glyphs;   // GLYPHS_*
    int renderer; // RENDERER_*
    int zmodem_autostart;
    int directory_at_startup;
    int import_ssh;
    int connect_timeout;   // seconds, 3-300
    int petscii40_display; // PETSCII40_*
    int petscii_window;
    int petscii_zoom; // 0 same as console, 1-4
    char c64_font[260];
    char classic_path[512];
    char extended_path[512];
    // Set when a settings file exists but could not be read: saving then refuses, so that a file
    // the program could not read is never replaced by defaults.
    int save_blocked;
};

extern Settings g_settings;

void settings_set_defaults(Settings *s);
// Stores both paths in the record, then reads the classic file and the extended file over the
// current values; a missing file is skipped. Returns 1.
int settings_load(Settings *s, const char *classic_path, const char *extended_path);
// Writes the classic file, then the extended file, to the stored paths. 1 when both were saved in
// full; 0 at once while saving is blocked; on failure the file that failed keeps its old contents (the
// extended file is not tried when the classic one fails).
int settings_write(const Settings *s);
// 1 for "on", "yes" or "true" in any case, or exactly "1"; 0 for anything else.
int settings_parse_flag(const char *word);
// 1 when the settings files give text back unchanged in that field after a save and the next start.
// 0 when they cannot: a line break, blanks at either end of a path, a CR at the end of a macro, a
// macro that is the legend mark "----", or more than the field holds. Whatever loading gives can be
// carried; the options dialog refuses the rest rather than lose it at the next start.
int settings_can_carry(SettingsText field, const char *text);

// The two files on their own (classic_file.cpp, extended_file.cpp).
void settings_read_classic(Settings *s, const char *path);
int settings_write_classic(const Settings *s, const char *path);
void settings_read_extended(Settings *s, const char *path);
int settings_write_extended(const Settings *s, const char *path);
