#include "app/command_line.h"

#include <cstdlib>
#include <cstring>

#include "base/emulation.h"
#include "base/text.h"

#define VERSION_LINE "Pelorin Next Generation " PELONG_VERSION "\n"

const char kVersionText[] = VERSION_LINE;
const char kUsageText[] = VERSION_LINE "usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
                                       "  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
                                       "  -i   import a SyncTERM phonebook (-q: without starting the UI)\n";

void cmdline_join(int argc, const char *const *argv, char *out, int size) {
    if (size < 1) return;
    int n = 0;
    auto put = [&](char c) {
        if (n < size - 1) out[n++] = c;
    };
    for (int i = 0; i < argc; i++) {
        const char *arg = argv[i];
        bool quote = !*arg || strpbrk(arg, " \t") != nullptr;
        if (i > 0) put(' ');
        if (quote) put('"');
        for (const char *p = arg; *p; p++) put(*p);
        if (quote) put('"');
    }
    out[n] = 0;
}

void cmdline_split(CommandLine *cl, const char *line) {
    text_copy(cl->buffer, line, CMDLINE_BUFFER);
    cl->argc = 0;
    char *p = cl->buffer;
    while (cl->argc < CMDLINE_MAX_ARGS) {
        while (*p == ' ' || *p == '\t') p++;
        if (!*p) break;
        if (*p == '"') {
            cl->argv[cl->argc++] = ++p;
            while (*p && *p != '"') p++;
        } else {
            cl->argv[cl->argc++] = p;
            while (*p && *p != ' ' && *p != '\t') p++;
        }
        if (!*p) break;
        *p++ = 0;
    }
    cl->argv[cl->argc] = nullptr;
}

void cmdline_read_options(int argc, char *const *argv, StartOptions *out) {
    *out = StartOptions{nullptr, 23, EMU_NONE, nullptr, 0, 0, 0};
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
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
        else
            out->port = atoi(arg);
    }
}
