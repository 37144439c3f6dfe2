#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/apply_emulation.h"
#include "app/calls.h"
#include "app/capture_log.h"
#include "app/command_line.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/directory_commands.h"
#include "app/main_loop.h"
#include "app/program_dir.h"
#include "app/status_bar.h"
#include "app/transfer_window.h"
#include "app/welcome_banner.h"
#include "display/c64_font.h"
#include "display/console.h"
#include "display/present.h"
#include "input/event_wait.h"
#include "net/telnet.h"
#include "net/transport.h"
#include "phonebook/address.h"
#include "phonebook/phonebook.h"
#include "phonebook/syncterm_import.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "base/text.h"
#include "ui/toolkit.h"

// ---------------------------------------------------------------- start-up steps

// The tables, the program's files and the command line: all the program reads before it starts.
static void read_start_up(int argc, char **argv, StartOptions *options) {
    term_build_tables();
    program_paths_find(&g_paths);
    settings_set_defaults(&g_settings);
    settings_load(&g_settings, g_paths.classic_settings, g_paths.extended_settings);
    cmdline_read_options(argc, argv, options);
}

// Takes the phonebook memory and loads it; 0 when the memory cannot be had.
static int load_phonebook() {
    g_phonebook = phonebook_create();
    if (!g_phonebook) return 0;
    // A missing file is a new, empty phonebook.
    phonebook_load(g_phonebook, g_paths.phonebook, g_paths.phonebook_ext);
    return 1;
}

// Runs the SyncTERM import without a screen; 1 when it succeeded.
static int run_quiet_import(const char *path) {
    return syncterm_import(g_phonebook, path, nullptr, &g_settings, g_paths.dir);
}

// The transport, and the telnet layer's waits through the program's event wait.
static int start_network() {
    if (!transport_start()) return 0;
    transport_set_wait_hook(event_wait_fd);
    telnet_set_wait_hook(event_wait);
    return 1;
}

// A terminal without cursor movement would show the escape sequences as text.
static int terminal_can_move_cursor() {
    const char *term = getenv("TERM");
    if (term && *term && strcmp(term, "dumb") != 0) return 1;
    fprintf(stderr, "pelong needs a terminal that understands cursor movement (TERM=%s)\n", term ? term : "");
    return 0;
}

// Takes over the terminal; 0 when standard input and output are not a terminal.
static int open_console() {
    if (!console_open(g_settings.renderer)) return 0;
    g_ui_hooks.redraw_background = compose_frame;
    g_ui_hooks.compose_terminal = compose_frame;
    g_ui_hooks.refresh_clock = status_bar_refresh_clock;
    transfer_window_install(); // Zmodem progress and the abort prompt on screen
    event_wait_set_socket_source(transport_ready_fd);
    return 1;
}

static_assert((int)HOST_LEGACY == (int)GLYPH_MODE_CP437 && (int)HOST_VT == (int)GLYPH_MODE_BMP &&
                  (int)HOST_WINDOWS == (int)GLYPH_MODE_UNICODE,
              "the automatic glyph mode is the host kind");

void settle_glyph_mode() {
    int mode = g_settings.glyphs == GLYPHS_UNICODE ? GLYPH_MODE_UNICODE
               : g_settings.glyphs == GLYPHS_CP437 ? GLYPH_MODE_CP437
                                                   : console_host_kind(); // host kinds match the modes
    g_presenter.glyph_mode = mode;
}

void load_c64_font() {
    c64_font_discover(g_settings.c64_font, g_paths.dir);
}

static int start_emulation(const StartOptions &options) {
    int emulation = options.emulation >= 0 ? options.emulation : g_settings.default_emulation;
    return emulation >= 0 && emulation < EMU_COUNT ? emulation : EMU_ANSI;
}

// The terminal gets the rows the frame's layout leaves it. Its answers to the host's status queries
// go out through the telnet layer, only while a call is up.
static void create_terminal(int emulation) {
    g_terminal.ice_colors = g_settings.ice_colors;
    int rows = display_mode_switch(emulation, g_settings.status_bar).terminal;
    term_create(&g_terminal, emulation, rows, g_settings.scrollback_lines);
    g_terminal.reply_sink = call_send_reply;
}

static void feed_banner() {
    uint8_t banner[512];
    int length = welcome_banner(banner, sizeof banner);
    term_feed(&g_terminal, banner, length);
}

// The first screen: window title, glyphs, the C64 font, the terminal in its emulation, and the welcome banner.
static void show_first_screen(const StartOptions &options) {
    app_set_window_title("Pelorin Next Generation");
    settle_glyph_mode();
    load_c64_font();
    g_connection.emulation = start_emulation(options);
    create_terminal(g_connection.emulation);
    apply_emulation();
    feed_banner();
    compose_and_present();
}

// The host argument may carry its own port ("bbs:2323"); a port given as an argument of its own
// wins unless it is 23, so "bbs:2323 23" dials 2323. The call gets an empty entry name.
static void dial_command_line_host(const StartOptions &options) {
    char host[ADDRESS_TEXT];
    int port;
    address_parse(options.host, host, sizeof host, &port);
    if (options.port != ADDRESS_DEFAULT_PORT) port = options.port;
    call_place("", host, port, g_connection.emulation);
}

// -i without -q: the import asks its questions on screen (the quiet import ended the run earlier).
static void import_list_on_screen(const StartOptions &options) {
    if (options.import_path) directory_import_list(options.import_path);
}

// Without a host to call, the directory may be the first screen; the user can leave the program
// from there.
static void open_directory_at_start(const StartOptions &options) {
    if (options.host || !g_settings.directory_at_startup) return;
    directory_open();
    if (!g_connection.quit) compose_and_present();
}

// ---------------------------------------------------------------- shutdown, the start-up reversed

static void shut_down() {
    call_hang_up();
    capture_close();
    console_restore();
    term_release(&g_terminal);
    phonebook_destroy(g_phonebook);
    g_phonebook = nullptr;
}

int app_main(int argc, char **argv) {
    StartOptions options;
    read_start_up(argc, argv, &options);
    if (options.show_usage || options.show_version) {
        text_write_stdout(options.show_usage ? kUsageText : kVersionText);
        return 0;
    }
    if (options.bad_port) {
        fprintf(stderr, "Bad port: %s\n", options.bad_port);
        return 1;
    }
    if (!load_phonebook()) return 1;
    if (options.import_path && options.quiet) return run_quiet_import(options.import_path) ? 0 : 1;
    if (!start_network()) {
        text_write_stdout("Winsock initialisation failed\n");
        return 1;
    }
    if (!terminal_can_move_cursor()) return 1;
    if (!open_console()) {
        text_write_stdout("Console initialisation failed\n");
        return 1;
    }
    show_first_screen(options);
    import_list_on_screen(options);
    if (options.host) dial_command_line_host(options);
    open_directory_at_start(options);
    if (!g_connection.quit) main_loop_run();
    shut_down();
    return 0;
}

int app_entry(int argc, char **argv) {
    int status = app_main(argc, argv);
    console_restore(); // a second restore does nothing; this one covers early returns
    fflush(nullptr);
    return status;
}
