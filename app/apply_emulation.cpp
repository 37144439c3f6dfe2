#include "app/apply_emulation.h"

#include "app/connection.h"
#include "display/console.h"
#include "display/frame.h"
#include "net/telnet.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "term/terminal.h"

void apply_emulation() {
    int emulation = g_connection.emulation;
    int terminal_rows = display_mode_switch(emulation, g_settings.status_bar).terminal;
    Terminal *t = &g_terminal;
    if (t->emulation != emulation || t->rows != terminal_rows)
        term_set_emulation(t, emulation, terminal_rows);
    // the terminal type it answers with, and a new window size reported to a host that asked for it
    telnet_update(emulation, t->columns, t->rows);
    frame_clear(&g_frame);
}
