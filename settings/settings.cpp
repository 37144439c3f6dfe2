#include "settings/settings.h"

#include <cstring>

#include "term/text.h"

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
