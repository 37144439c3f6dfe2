// The classic numbered-line settings file, shared with the older generation of the program: 23 value
// lines, an empty line and a legend. Lines are read by number; "----" (the legend) ends reading.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_text.h"
#include "base/safe_save.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "base/text.h"

enum { CLASSIC_LINE = 512 };

static const char *const kLegend[] = {
    kClassicLegendMark,
    "Line #1  - Download Path",
    "Line #2  - StatusBar Background Color {  1 thru 7  }",
    "Line #3  - StatusBar ALT-Z Color      {  1 thru 15 }",
    "Line #4  - StatusBar TIME Color       {  1 thru 15 }",
    "Line #5  - StatusBar \"Status\" Color   {  1 thru 15 }",
    "Line #6  - vt100 \"Normal\" Color       {  1 thru 7  }",
    "Line #7  - vt100 \"Intense\" Color      {  1 thru 7  }",
    "Line #8-17 - F-Key Macros",
    "Line #18 - statusbar (on / off)",
    "Line #19 - Break Checking (on / off)",
    "Line #20 - Binary Mode (on / off)",
    "Line #21 - Hide Passwords in Phonebook (on / off)",
    "Line #22 - vt100 Function Keys (on / off)",
    "Line #23 - Default terminal emulation type",
};

// Lines 2-7: a decimal value with its range and the value an out-of-range number falls back to.
static int ranged(const char *line, int max, int fallback) {
    int value = file_parse_int(line);
    return (value < 0 || value > max) ? fallback : value;
}

static int trimmed_flag(char *line) {
    text_trim(line);
    return settings_parse_flag(line);
}

static void strip_line_end(char *line) {
    size_t len = strlen(line);
    while (len > 0 && (line[len - 1] == '\r' || line[len - 1] == '\n')) line[--len] = 0;
}

void settings_read_classic(Settings *s, const char *path) {
    FILE *f = fopen(path, "rb");
    if (!f) {
        if (errno != ENOENT) s->save_blocked = 1; // there, but not for us to read
        return;
    }
    char line[CLASSIC_LINE];
    for (int number = 1; number <= 23 && file_read_line(f, line, sizeof line); number++) {
        strip_line_end(line);
        if (strcmp(line, kClassicLegendMark) == 0) break;
        switch (number) {
        case 1:
            text_trim(line);
            text_copy(s->download_path, line, sizeof s->download_path);
            text_trim(s->download_path); // a cut may leave blanks that the next read would drop
            break;
        case 2: s->status_bg = ranged(line, 7, 5); break;
        case 3: s->status_help_colour = ranged(line, 15, 9); break;
        case 4: s->status_clock_colour = ranged(line, 15, 15); break;
        case 5: s->status_text_colour = ranged(line, 15, 13); break;
        case 6: s->vt100_normal_colour = ranged(line, 7, 7); break;
        case 7: s->vt100_intense_colour = ranged(line, 7, 1); break;
        case 18: s->status_bar = trimmed_flag(line); break;
        case 19: s->break_checking = trimmed_flag(line); break;
        case 20: s->telnet_binary = trimmed_flag(line); break;
        case 21: s->hide_passwords = trimmed_flag(line); break;
        case 22: s->vt100_function_keys = trimmed_flag(line); break;
        case 23: {
            text_trim(line);
            text_copy(s->classic_emulation, line, sizeof s->classic_emulation);
            int emulation = emulation_from_name(line);
            if (emulation >= 0) s->default_emulation = emulation;
            break;
        }
        default: { // 8-17, the macros, kept exactly as they stand
            char *macro = s->macros[number - 8];
            text_copy(macro, line, sizeof s->macros[0]);
            strip_line_end(macro); // a cut may expose CRs the next read would drop
            // ...or leave the legend mark, which no line can hold: empty, as the writer stores it
            if (strcmp(macro, kClassicLegendMark) == 0) macro[0] = 0;
            break;
        }
        }
    }
    if (ferror(f)) s->save_blocked = 1;
    fclose(f);
}

static void write_number(SafeSave *out, int value) {
    char line[16];
    text_format(line, sizeof line, "%d", value);
    safe_save_line(out, line);
}

int settings_write_classic(const Settings *s, const char *path) {
    SafeSave file;
    SafeSave *out = &file;
    if (!safe_save_begin(out, path)) return 0;
    // A line "----" would end the next read before anything else was set: line 1 is trimmed when
    // read, so a blank in front keeps the path; a macro cannot be trimmed and is dropped instead
    // (settings_can_carry tells the options dialog so).
    if (strcmp(s->download_path, kClassicLegendMark) == 0)
        safe_save_line(out, " ----");
    else
        safe_save_line(out, s->download_path);
    const int numbers[] = {s->status_bg,          s->status_help_colour,  s->status_clock_colour,
                           s->status_text_colour, s->vt100_normal_colour, s->vt100_intense_colour};
    for (int value : numbers) write_number(out, value);
    for (const auto &macro : s->macros)
        safe_save_line(out, strcmp(macro, kClassicLegendMark) == 0 ? "" : macro);
    const int flags[] = {s->status_bar, s->break_checking, s->telnet_binary, s->hide_passwords,
                         s->vt100_function_keys};
    for (int flag : flags) safe_save_line(out, flag ? "on" : "off");
    // The older program knows only these three words; the extended file carries the real choice.
    safe_save_line(out, emulation_traits(s->default_emulation).classic_word);
    safe_save_line(out, "");
    for (const char *line : kLegend) safe_save_line(out, line);
    return safe_save_finish(out);
}
