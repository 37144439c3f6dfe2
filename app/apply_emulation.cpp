#include "app/apply_emulation.h"

#include "app/connection.h"
#include "display/console.h"
#include "display/frame.h"
#include "settings/settings.h"
#include "term/emulation.h"
#include "term/terminal.h"

// The telnet layer learns the emulation (its terminal type) and the window size here; it is
// wired in when the telnet layer lands.
static void update_telnet_layer(int emulation, int columns, int rows) {
    (void)emulation;
    (void)columns;
    (void)rows;
}

void apply_emulation() {
    int emulation = g_connection.emulation;
    int terminal_rows = (g_settings.status_bar && !emulation_is_petscii(emulation)) ? 24 : 25;
    display_mode_switch(emulation, g_settings.status_bar);
    Terminal *t = &g_terminal;
    if (t->emulation != emulation || t->rows != terminal_rows)
        term_set_emulation(t, emulation, terminal_rows);
    update_telnet_layer(emulation, t->columns, t->rows);
    frame_clear(&g_frame);
}
