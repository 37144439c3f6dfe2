#include "app/key_commands.h"

#include <cstring>

#include "app/about_box.h"
#include "app/apply_emulation.h"
#include "app/calls.h"
#include "app/capture_log.h"
#include "app/command_entries.h"
#include "app/transfers.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/directory_commands.h"
#include "app/help_pages.h"
#include "app/host_keys.h"
#include "app/options_dialog.h"
#include "app/scrollback_viewer.h"
#include "display/present.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "phonebook/phonebook.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "term/terminal.h"
#include "base/text.h"
#include "ui/toolkit.h"

static const char *const kTextModeNames[PETSCII_TEXT_MODES] = {
    "auto detect ASCII / PETSCII", // PETSCII_TEXT_AUTO
    "ASCII",                       // PETSCII_TEXT_ASCII
    "PETSCII only",                // PETSCII_TEXT_PETSCII
};

static const int kEmulationNoticeMs = 700;
static const int kTextModeNoticeMs = 900;

// A short notice over the screen; keys pressed meanwhile are read on time and stay queued for the
// main loop.
static void show_notice(const char *title, const char *text, int ms) {
    ui_panel(title, text, 0);
    g_frame.cursor_visible = 0;
    present_frame();
    event_wait_fd(-1, 0, ms);
    compose_and_present();
}

void command_exit() {
    const char *question = g_connection.connected ? "You are still connected.\nHang up and exit Pelorin NG?"
                                                  : "Exit Pelorin NG?";
    if (ui_yes_no("Exit", question)) {
        call_hang_up();
        g_connection.quit = 1;
        return;
    }
    compose_and_present();
}

static void command_hang_up() {
    if (!g_connection.connected) return;
    if (ui_yes_no("Hang Up", "Disconnect from the remote system?")) call_hang_up();
    compose_and_present();
}

static void command_cycle_emulation() {
    g_connection.emulation = (g_connection.emulation + 1) % EMU_COUNT;
    apply_emulation();
    compose_and_present();
    char text[64];
    text_format(text, sizeof text, "Emulation: %s", emulation_long_names[g_connection.emulation]);
    show_notice("Emulation", text, kEmulationNoticeMs);
}

static void command_petscii_text_mode() {
    if (!emulation_is_petscii(g_connection.emulation)) return;
    Terminal *t = &g_terminal;
    term_set_text_mode(t, (t->text_mode + 1) % PETSCII_TEXT_MODES);
    compose_frame();
    char text[64];
    text_format(text, sizeof text, "PETSCII text mode: %s", kTextModeNames[t->text_mode]);
    show_notice("PETSCII", text, kTextModeNoticeMs);
}

static void command_toggle_status_bar() {
    g_settings.status_bar = !g_settings.status_bar;
    apply_emulation();
    if (!settings_write(&g_settings)) { // the old files stay as they were; the new bar stays on screen
        compose_frame();
        ui_message("Error", "Could not write pelo.cfg / pelong.cfg");
    }
    compose_and_present();
}

// Alt-W and Alt-P: the login name or password of the entry dialled last, then Enter.
static void command_send_login(int password) {
    int index = g_connection.current_entry;
    if (!g_connection.connected || !g_phonebook || index < 0 || index >= PHONEBOOK_SLOTS) return;
    const PhonebookEntry &entry = g_phonebook->entries[index];
    const char *text = password ? entry.password : entry.login;
    telnet_send_keys((const uint8_t *)text, (int)strlen(text));
    telnet_send_enter();
}

static void command_alt(char letter) {
    bool online = g_connection.connected != 0;
    switch (letter) {
    case 'a': command_petscii_text_mode(); break;
    case 'b': scrollback_view(); break;
    case 'c': term_clear_screen(&g_terminal); break;
    case 'd':
        directory_open();
        if (!g_connection.quit) compose_and_present();
        break;
    case 'e': command_cycle_emulation(); break;
    case 'h': command_hang_up(); break;
    case 'i': about_box_show(); break;
    case 'k':
        if (online) telnet_send_break();
        break;
    case 'l': capture_toggle(); break;
    case 'o': options_open(); break;
    case 'p': command_send_login(1); break;
    case 'q':
        compose_frame();
        directory_quick_dial();
        break;
    case 'r':
        if (online) transfer_download();
        break;
    case 's': command_toggle_status_bar(); break;
    case 'u':
        if (online) transfer_upload(0);
        break;
    case 'w': command_send_login(0); break;
    case 'x': command_exit(); break;
    case 'z': help_pages_show(); break;
    default: break; // Alt with any other letter or digit does nothing
    }
}

void key_dispatch(uint32_t key) {
    uint32_t bare = key & KEY_BARE_MASK;
    if (key == KEY_RESIZE) {
        compose_and_present();
    } else if (key == KEY_ALT_ENTER) {
        fullscreen_toggle();
        compose_and_present();
    } else if ((key & KEY_ALT) && bare == KEY_PGDN) {
        if (g_connection.connected) transfer_download();
    } else if ((key & KEY_ALT) && bare == KEY_PGUP) {
        if (g_connection.connected) transfer_upload(0);
    } else if (key >= key_alt('a') && key <= key_alt('z')) {
        command_alt((char)(key - KEY_ALT));
    } else if (key >= key_alt('0') && key <= key_alt('9')) {
        // Alt with a digit is no command
    } else {
        host_key_send(key);
    }
}
