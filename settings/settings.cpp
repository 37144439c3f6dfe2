#include "settings/settings.h"

#include <cerrno>

#include <cstring>

#include "base/safe_save.h"
#include "base/text.h"

Settings g_settings;

void settings_set_defaults(Settings *s) {
    memset(s, 0, sizeof *s);
    s->status_bg = 5;
    s->status_help_colour = 9;
    s->status_clock_colour = 15;
    s->status_text_colour = 13;
    s->vt100_normal_colour = 7;
    s->vt100_intense_colour = 1;
    s->status_bar = 1;
    s->hide_passwords = 1;
    text_copy(s->classic_emulation, "ansi", sizeof s->classic_emulation);
    s->scrollback_lines = 2000;
    s->show_blink = 1;
    s->zmodem_autostart = 1;
    s->directory_at_startup = 1;
    s->connect_timeout = 30;
    s->petscii_window = 1;
}

int settings_parse_flag(const char *word) {
    return text_casecmp(word, "on") == 0 || text_casecmp(word, "yes") == 0 ||
           text_casecmp(word, "true") == 0 || strcmp(word, "1") == 0;
}

int settings_can_carry(SettingsText field, const char *text) {
    static const size_t kLimits[] = {sizeof Settings::download_path, sizeof Settings::macros[0],
                                     sizeof Settings::upload_path, sizeof Settings::c64_font};
    size_t length = strlen(text);
    if (length >= kLimits[field] || strchr(text, '\n')) return 0;
    if (length == 0) return 1;
    if (field == SETTINGS_TEXT_MACRO)
        return text[length - 1] != '\r' && strcmp(text, kClassicLegendMark) != 0;
    return !strchr(" \t\r", text[0]) && !strchr(" \t\r", text[length - 1]);
}

int settings_load(Settings *s, const char *classic_path, const char *extended_path) {
    safe_save_store_path(s->classic_path, classic_path, sizeof s->classic_path);
    safe_save_store_path(s->extended_path, extended_path, sizeof s->extended_path);
    s->save_blocked = 0;
    settings_read_classic(s, classic_path);
    settings_read_extended(s, extended_path);
    return 1;
}

int settings_write(const Settings *s) {
    if (s->save_blocked) {
        errno = EACCES;
        return 0;
    }
    if (!settings_write_classic(s, s->classic_path)) return 0;
    return settings_write_extended(s, s->extended_path);
}
