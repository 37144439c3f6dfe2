#include "app/main_loop.h"

#include "app/apply_emulation.h"
#include "app/calls.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/key_commands.h"
#include "app/status_bar.h"
#include "base/clock.h"
#include "display/console.h"
#include "input/event_wait.h"
#include "settings/settings.h"
#include "term/terminal.h"

MainLoopState g_main_loop;

static const int kOnlineWaitMs = 20;
static const int kOfflineWaitMs = 250;
static const int kBlinkMs = 500;

void main_loop_turn() {
    uint32_t key;
    int event = event_wait(g_connection.connected ? kOnlineWaitMs : kOfflineWaitMs, &key);
    uint32_t now = clock_ms();
    if (g_connection.connected) call_receive(now);
    if (event == EVENT_KEY) key_dispatch(key);

    call_resolve_stalled(now);
    bool changed = g_terminal.screen_changed != 0;
    // A resize (also one a dialog saw) may leave room for the status bar again, or take it away.
    if (!g_connection.quit && display_mode_changed(g_connection.emulation, g_settings.status_bar)) {
        apply_emulation();
        changed = true;
    }
    if (g_settings.show_blink && now - g_main_loop.blink_ms >= (uint32_t)kBlinkMs) {
        g_main_loop.blink_ms = now;
        g_compose.blink_hidden = !g_compose.blink_hidden;
        changed = true;
    }
    if (status_bar_clock_stale()) changed = true;
    if (changed && !g_connection.quit) compose_and_present();
}

void main_loop_run() {
    g_main_loop.blink_ms = clock_ms();
    while (!g_connection.quit) main_loop_turn();
}
