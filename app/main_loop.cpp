#include "app/main_loop.h"

#include "app/compose.h"
#include "app/connection.h"
#include "app/status_bar.h"
#include "input/clock.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "ui/toolkit.h"

MainLoopState g_main_loop;

static const int kBlinkMs = 500;

// Moves the host's data into the terminal; joins with the telnet layer.
static void receive_from_host() {}

// Ends a call in progress; joins with the transport.
static void hang_up() {}

void command_exit() {
    const char *question = g_connection.connected ? "You are still connected.\nHang up and exit Pelorin NG?"
                                                  : "Exit Pelorin NG?";
    if (ui_yes_no("Exit", question)) {
        hang_up();
        g_connection.quit = 1;
        return;
    }
    compose_and_present();
}

void main_loop_dispatch_key(uint32_t key) {
    switch (key) {
    case KEY_RESIZE: compose_and_present(); break;
    case key_alt('x'): command_exit(); break;
    default: break; // the other commands, and keys for the host, join with the key commands
    }
}

void main_loop_turn() {
    uint32_t key;
    int event = event_wait(g_connection.connected ? 20 : 250, &key);
    uint32_t now = clock_ms();
    if (g_connection.connected) receive_from_host();
    if (event == EVENT_KEY) main_loop_dispatch_key(key);

    bool changed = g_terminal.screen_changed != 0;
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
