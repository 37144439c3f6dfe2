#include "app/command_line.h"

#include <cstring>

#include "base/emulation.h"
#include "base/text.h"

#define VERSION_LINE "Pelorin Next Generation " PELONG_VERSION "\n"

const char kVersionText[] = VERSION_LINE;
const char kUsageText[] = VERSION_LINE "usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
                                       "  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
                                       "  -i   import a SyncTERM phonebook (-q: without starting the UI)\n";

// A port argument: decimal digits only, 1 to 65535; 0 for anything else.
static int parse_port(const char *text) {
    long value = 0;
    if (!*text) return 0;
    for (const char *p = text; *p; p++) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + (*p - '0');
        if (value > 65535) return 0;
    }
    return (int)value;
}

void cmdline_read_options(int argc, char *const *argv, StartOptions *out) {
    *out = StartOptions{nullptr, 23, EMU_NONE, nullptr, 0, 0, 0, nullptr};
    if (argc > CMDLINE_MAX_ARGS) argc = CMDLINE_MAX_ARGS; // the rest is ignored
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (strcmp(arg, "--help") == 0) {
            out->show_usage = 1;
            return;
        }
        if (strcmp(arg, "--version") == 0) {
            out->show_version = 1;
            return;
        }
        if ((arg[0] == '-' || arg[0] == '/') && arg[1]) {
            char letter = arg[1];
            bool has_value = i + 1 < argc;
            if ((letter == 'i' || letter == 'I') && has_value) {
                out->import_path = argv[++i];
                continue;
            }
            if (letter == 'q' || letter == 'Q') {
                out->quiet = 1;
                continue;
            }
            if ((letter == 'e' || letter == 'E') && has_value) {
                out->emulation = emulation_from_name(argv[++i]);
                continue;
            }
            if (letter == 'h' || letter == '?') {
                out->show_usage = 1;
                return;
            }
        }
        if (!out->host)
            out->host = arg;
        else if ((out->port = parse_port(arg)) == 0)
            out->bad_port = arg; // the last port given counts
        else
            out->bad_port = nullptr;
    }
}
