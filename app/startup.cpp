#include "app/startup.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "app/command_line.h"
#include "app/program_dir.h"
#include "app/welcome_banner.h"
#include "phonebook/phonebook.h"
#include "phonebook/syncterm_import.h"
#include "settings/settings.h"
#include "term/terminal.h"

static void write_stdout(const char *text) {
    size_t left = strlen(text);
    while (left > 0) {
        ssize_t n = write(STDOUT_FILENO, text, left);
        if (n <= 0) return;
        text += n;
        left -= (size_t)n;
    }
}

// ---------------------------------------------------------------- start-up steps

static void load_settings() {
    settings_set_defaults(&g_settings);
    settings_load(&g_settings, g_paths.classic_settings, g_paths.extended_settings);
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

static int start_network() { return 1; }

static int open_console() { return 1; }

static int start_emulation(const StartOptions &options) {
    return options.emulation >= 0 ? options.emulation : g_settings.default_emulation;
}

static void create_terminal(int emulation) {
    g_terminal.ice_colors = g_settings.ice_colors;
    int rows = (g_settings.status_bar && !emulation_is_petscii(emulation)) ? 24 : 25;
    term_create(&g_terminal, emulation, rows, g_settings.scrollback_lines);
}

static void feed_banner() {
    uint8_t banner[512];
    int length = welcome_banner(banner, sizeof banner);
    term_feed(&g_terminal, banner, length);
}

// ---------------------------------------------------------------- shutdown

static void shut_down() {
    term_release(&g_terminal);
}

int app_main(int argc, char **argv) {
    term_build_tables();                  // 1
    program_paths_find(&g_paths);         // 2
    load_settings();                      // 3
    StartOptions options;
    cmdline_read_options(argc, argv, &options); // 4
    if (options.show_usage) {
        write_stdout(kUsageText);
        return 0;
    }
    if (!load_phonebook()) return 1; // 5
    if (options.import_path && options.quiet) return run_quiet_import(options.import_path) ? 0 : 1; // 6
    if (!start_network()) { // 7
        write_stdout("Winsock initialisation failed\n");
        return 1;
    }
    if (!open_console()) { // 8
        write_stdout("Console initialisation failed\n");
        return 1;
    }
    int emulation = start_emulation(options); // 12
    create_terminal(emulation);               // 13
    feed_banner();                            // 16
    shut_down();
    return 0;
}

int app_entry(int argc, char **argv) {
    // The arguments are joined and split again so that quoting and the argument limit behave
    // the same whatever shell started the program.
    char line[CMDLINE_BUFFER];
    cmdline_join(argc, argv, line, sizeof line);
    static CommandLine cl;
    cmdline_split(&cl, line);
    int status = app_main(cl.argc, cl.argv);
    fflush(nullptr);
    return status;
}
