// pelong-termdump: feeds a capture (or standard input) through the terminal interpreter, as the
// program does with a host's data, and prints the resulting screen as text. For tests and for
// debugging captures.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/screen_rows.h"
#include "term/terminal.h"
#include "base/utf8.h"

static const char kUsage[] =
    "usage: pelong-termdump [-e EMULATION] [-r ROWS] [--ice] [--cells] [--replies] [FILE]\n"
    "  Feeds FILE (standard input when absent or \"-\") through the terminal in 4096-byte pieces,\n"
    "  settles an unfinished UTF-8 sequence at the end, then prints the rows in use as UTF-8 lines\n"
    "  (trailing spaces removed) and a line \"cursor ROW COL\".\n"
    "  -e EMULATION  ansi (default), cp437, utf8, vt100, tty, petscii40, petscii80\n"
    "  -r ROWS       screen rows, 1 to 26 (default 25 for PETSCII, else 24)\n"
    "  --ice         iCE colours: blink shows as a bright background\n"
    "  --cells       one line \"ROW COL U+XXXX FG BG FLAGS\" per cell that is not blank (a blank is\n"
    "                a space on the default background, 0 or C64 black 16, without blink)\n"
    "  --replies     one line \"reply TEXT\" per answer to the host, bytes outside 0x21-0x7E\n"
    "                and the backslash written as \\xNN\n";

static std::vector<std::string> g_replies;

static void collect_reply(const uint8_t *bytes, int length) {
    g_replies.emplace_back((const char *)bytes, (size_t)length);
}

static void print_code(uint32_t code) {
    uint8_t utf8[4];
    fwrite(utf8, 1, (size_t)utf8_encode(code, utf8), stdout);
}

static void print_rows(const Terminal *t) {
    uint32_t line[TERM_MAX_COLUMNS];
    for (int r = 0; r < t->rows; r++) {
        const Cell *cells = term_row(t, r);
        int length = 0;
        for (int c = 0; c < t->columns; c++) {
            if (cells[c].code == 0 && !(cells[c].flags & CELL_PETSCII))
                continue; // right half of a wide glyph
            line[length++] = term_cell_glyph(t, cells[c], 1);
        }
        while (length > 0 && line[length - 1] == ' ') length--;
        for (int i = 0; i < length; i++) print_code(line[i]);
        putchar('\n');
    }
    printf("cursor %d %d\n", t->cursor_row, t->cursor_column);
}

static void print_cells(const Terminal *t) {
    int blank_bg = emulation_is_petscii(t->emulation) ? 16 : 0;
    for (int r = 0; r < t->rows; r++) {
        const Cell *cells = term_row(t, r);
        for (int c = 0; c < t->columns; c++) {
            const Cell &cell = cells[c];
            if (cell.code == ' ' && cell.bg == blank_bg && !(cell.flags & CELL_BLINK)) continue;
            printf("%d %d U+%04X %u %u %u\n", r, c, cell.code, cell.fg, cell.bg, cell.flags);
        }
    }
}

static void print_replies() {
    for (const std::string &reply : g_replies) {
        fputs("reply ", stdout);
        for (unsigned char b : reply) {
            if (b > 0x20 && b < 0x7F && b != '\\')
                putchar(b);
            else
                printf("\\x%02x", b);
        }
        putchar('\n');
    }
}

int main(int argc, char **argv) {
    int emulation = EMU_ANSI, rows = 0, ice = 0, want_cells = 0, want_replies = 0;
    const char *path = nullptr;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (strcmp(arg, "-e") == 0 && i + 1 < argc) {
            emulation = emulation_from_name(argv[++i]);
            if (emulation < 0) {
                fprintf(stderr, "pelong-termdump: unknown emulation: %s\n", argv[i]);
                return 2;
            }
        } else if (strcmp(arg, "-r") == 0 && i + 1 < argc) {
            rows = atoi(argv[++i]);
            if (rows < 1 || rows > TERM_MAX_ROWS) {
                fprintf(stderr, "pelong-termdump: rows must be 1 to %d\n", TERM_MAX_ROWS);
                return 2;
            }
        } else if (strcmp(arg, "--ice") == 0) {
            ice = 1;
        } else if (strcmp(arg, "--cells") == 0) {
            want_cells = 1;
        } else if (strcmp(arg, "--replies") == 0) {
            want_replies = 1;
        } else if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            fputs(kUsage, stdout);
            return 0;
        } else if (!path && (arg[0] != '-' || strcmp(arg, "-") == 0)) {
            path = arg;
        } else {
            fputs(kUsage, stderr);
            return 2;
        }
    }
    if (rows == 0) rows = screen_rows(emulation, 1, 0).terminal;

    FILE *in = stdin;
    if (path && strcmp(path, "-") != 0) {
        in = fopen(path, "rb");
        if (!in) {
            fprintf(stderr, "pelong-termdump: cannot open %s\n", path);
            return 1;
        }
    }

    static Terminal terminal;
    term_build_tables();
    terminal.ice_colors = ice;
    terminal.reply_sink = collect_reply;
    term_create(&terminal, emulation, rows, 0);
    uint8_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) term_feed(&terminal, buffer, (int)got);
    bool failed = ferror(in);
    if (in != stdin) fclose(in);
    if (failed) {
        fprintf(stderr, "pelong-termdump: read error on %s\n", path ? path : "standard input");
        return 1;
    }
    term_resolve_pending(&terminal);

    print_rows(&terminal);
    if (want_cells) print_cells(&terminal);
    if (want_replies) print_replies();
    term_release(&terminal);
    return 0;
}
