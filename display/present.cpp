#include "display/present.h"

#include <clocale>
#include <cstring>
#include <cwchar>

#include "base/text.h"
#include "display/window.h"
#include "term/charset.h"
#include "term/palette.h"
#include "term/terminal.h"
#include "base/utf8.h"

Presenter g_presenter = {{}, 0, 1, GLYPH_MODE_UNICODE, FRAME_COLUMNS, FRAME_MAX_ROWS, {}, 0, 0, {}, 0, 0};

static ConsoleWriter writer;

// A failing write loses the rest of this frame.
static void write_stdout(const uint8_t *bytes, int length) {
    if (length > 0) text_write_stdout_bytes(bytes, (size_t)length);
}

void console_set_writer(ConsoleWriter w) {
    writer = w;
}
void console_write(const uint8_t *bytes, int length) {
    (writer ? writer : write_stdout)(bytes, length);
}
void console_write_text(const char *text) {
    console_write((const uint8_t *)text, (int)strlen(text));
}

void display_invalidate() {
    g_presenter.previous_valid = 0;
}

void set_console_colours(int petscii) {
    Presenter *p = &g_presenter;
    if (p->colours_ready && p->colours_petscii == petscii) return;
    p->colours_petscii = petscii;
    p->colours_ready = 1;
    memcpy(p->colour_map, g_standard16, sizeof p->colour_map);
    display_invalidate();
}

void frame_reduce_glyphs(DisplayFrame *frame, int glyph_mode) {
    if (glyph_mode == GLYPH_MODE_UNICODE) return;
    for (int r = 0; r < frame->rows && r < FRAME_MAX_ROWS; r++)
        for (DisplayCell &cell : frame->cells[r]) {
            if (cell.glyph < 128 || (cell.flags & DCELL_KEEP_GLYPH)) continue;
            cell.glyph = glyph_mode == GLYPH_MODE_BMP ? unicode_to_bmp(cell.glyph)
                                                      : cp437_to_unicode[unicode_to_cp437(cell.glyph)];
        }
}

void present_frame() {
    frame_reduce_glyphs(&g_frame, g_presenter.glyph_mode);
    show_frame(&g_frame, FRAME_COLUMNS, g_frame.rows, g_frame.cursor_column, g_frame.cursor_row,
               g_frame.cursor_visible);
}

static const char kPlaceholder[] = "Pelorin NG is shown in its own window (ALT-Enter / PETSCII)";

// While the graphics window shows the frame the console says so, once per opening.
static void show_placeholder(int rows) {
    static DisplayFrame console;
    for (auto &row : console.cells)
        for (DisplayCell &cell : row) cell = DisplayCell{' ', 7, 0, 0, {0, 0, 0}};
    DisplayCell *line = console.cells[rows / 2];
    for (int i = 0; kPlaceholder[i]; i++) line[10 + i].glyph = (uint8_t)kPlaceholder[i], line[10 + i].fg = 15;
    display_invalidate();
    if (g_presenter.truecolour)
        vt_write_frame(&console, FRAME_COLUMNS, rows, 0, 0, 0);
    else
        legacy_write_frame(&console, FRAME_COLUMNS, rows, 0, 0, 0);
    display_invalidate(); // the console is written whole again once the window closes
    g_presenter.placeholder_shown = 1;
}

void show_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                int cursor_visible) {
    if (window_present(frame, columns, rows, cursor_column, cursor_row, cursor_visible)) {
        if (!g_presenter.placeholder_shown) show_placeholder(rows);
        return;
    }
    if (g_presenter.truecolour)
        vt_write_frame(frame, columns, rows, cursor_column, cursor_row, cursor_visible);
    else
        legacy_write_frame(frame, columns, rows, cursor_column, cursor_row, cursor_visible);
    memcpy((void *)g_presenter.previous, (const void *)frame->cells, sizeof g_presenter.previous);
    g_presenter.previous_valid = 1;
}

// ---------------------------------------------------------------- the diffing writer

static void put_bytes(const char *s, int n) {
    Presenter *p = &g_presenter;
    if (p->fill + n > PRESENT_BUFFER_SIZE) return; // cannot happen within the worst-case size
    memcpy(p->out + p->fill, s, (size_t)n);
    p->fill += n;
}

static void put_text(const char *s) {
    put_bytes(s, (int)strlen(s));
}

static void put_number(unsigned v) {
    char digits[12];
    int n = 0;
    do digits[n++] = (char)('0' + v % 10), v /= 10;
    while (v);
    char text[12];
    for (int i = 0; i < n; i++) text[i] = digits[n - 1 - i];
    put_bytes(text, n);
}

static void put_position(int row, int column) {
    put_text("\x1b[");
    put_number((unsigned)(row < 0 ? 0 : row) + 1);
    put_text(";");
    put_number((unsigned)(column < 0 ? 0 : column) + 1);
    put_text("H");
}

static void put_rgb(const Rgb &c) {
    put_number(c.r);
    put_text(";");
    put_number(c.g);
    put_text(";");
    put_number(c.b);
}

static void put_colours(uint16_t fg, uint16_t bg, bool truecolour) {
    if (truecolour) {
        put_text("\x1b[38;2;");
        put_rgb(g_palette[fg % PALETTE_SIZE]);
        put_text(";48;2;");
        put_rgb(g_palette[bg % PALETTE_SIZE]);
        put_text("m");
        return;
    }
    // Console colours are in PC order (black, blue, green, cyan, red, ...); SGR wants ANSI order.
    int f = g_presenter.colour_map[fg % PALETTE_SIZE] & 15,
        b = g_presenter.colour_map[bg % PALETTE_SIZE] & 15;
    put_text("\x1b[");
    put_number((f < 8 ? 30u : 90u) + kPcToAnsi[f & 7]);
    put_text(";");
    put_number((b < 8 ? 40u : 100u) + kPcToAnsi[b & 7]);
    put_text("m");
}

static void put_glyph(uint32_t c) {
    uint8_t utf8[4];
    put_bytes((const char *)utf8, utf8_encode(c, utf8));
}

static const uint32_t kNoGlyph = 0xFFFFFFFFu;

// Columns the user's terminal gives each BMP code point (wcwidth under its locale, -1 when it
// cannot say), plus two; 0 while not yet asked. Below U+0300 every printable character takes one
// column. The locale is used only here: setting it for the whole program upsets the graphics
// window's library.
static int8_t g_bmp_widths[0x10000];
static locale_t g_width_locale;

int present_set_width_locale(const char *name) {
    memset(g_bmp_widths, 0, sizeof g_bmp_widths);
    locale_t made = newlocale(LC_CTYPE_MASK, name, (locale_t)0);
    if (!made) return 0;
    if (g_width_locale) freelocale(g_width_locale);
    g_width_locale = made;
    return 1;
}

// wcwidth under the terminal's locale; -1 before one is set.
static int terminal_width(uint32_t g) {
    if (!g_width_locale) return -1;
    locale_t previous = uselocale(g_width_locale);
    int width = wcwidth((wchar_t)g);
    uselocale(previous);
    return width;
}

// 1 when the terminal draws g in one column, or cannot say (wcwidth -1: not printable in this
// locale, where the model's width is the best guess).
static bool drawn_narrow(uint32_t g) {
    if (g < 0x300) return true;
    int width;
    if (g <= 0xFFFF) {
        if (!g_bmp_widths[g]) g_bmp_widths[g] = (int8_t)(terminal_width(g) + 2);
        width = g_bmp_widths[g] - 2;
    } else {
        width = terminal_width(g);
    }
    return width == 1 || width < 0;
}

// A narrow glyph the terminal would draw wider (an emoji) or not at all (a combining mark) would
// shift the rest of the row: the glyph mode's narrow stand-in goes instead.
static uint32_t narrow_stand_in(uint32_t g) {
    uint32_t bmp = unicode_to_bmp(g);
    if (bmp != g && !term_is_wide(bmp) && drawn_narrow(bmp)) return bmp;
    uint32_t cp437 = cp437_to_unicode[unicode_to_cp437(g)];
    return drawn_narrow(cp437) ? cp437 : ' ';
}

// What the terminal gets for one cell. A wide glyph is sent only with the empty right half that
// belongs to it, and that right half then sends nothing; any other pairing (a dialog drawn over
// one half, a wide glyph reduced to a narrow one) sends a space, so the row never shifts.
static uint32_t cell_output(const DisplayCell *row, int c, int visible_columns, bool truecolour) {
    uint32_t g = row[c].glyph;
    if (g == 0) {
        bool covered = c > 0 && row[c - 1].glyph != 0 &&
                       term_is_wide(cell_output(row, c - 1, visible_columns, truecolour));
        return covered ? kNoGlyph : ' ';
    }
    if (g < 33 || g == 127 || (g >= 0x80 && g < 0xA0) || (g >= 0xD800 && g <= 0xDFFF) || g > 0x10FFFF)
        return ' ';
    bool wide = term_is_wide(g);
    if (wide && !(c + 1 < visible_columns && row[c + 1].glyph == 0)) return ' ';
    if (!truecolour && g > 0xFFFF) g = cp437_to_unicode[unicode_to_cp437(g)];
    if (!wide && !drawn_narrow(g)) return narrow_stand_in(g);
    return g;
}

static bool cell_differs(const DisplayCell &a, const DisplayCell &b) {
    return a.glyph != b.glyph || a.fg != b.fg || a.bg != b.bg;
}

static void write_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                        int cursor_visible, bool truecolour) {
    Presenter *p = &g_presenter;
    p->fill = 0;
    int visible_columns = columns < p->visible_columns ? columns : p->visible_columns;
    int visible_rows = rows < p->visible_rows ? rows : p->visible_rows;
    if (visible_columns > FRAME_COLUMNS) visible_columns = FRAME_COLUMNS;
    if (visible_rows > FRAME_MAX_ROWS) visible_rows = FRAME_MAX_ROWS;
    put_text("\x1b[?25l");
    bool have_pair = false;
    uint16_t last_fg = 0, last_bg = 0;
    for (int r = 0; r < visible_rows; r++) {
        const DisplayCell *row = frame->cells[r];
        const DisplayCell *old = p->previous[r];
        int first = 0, last = visible_columns - 1;
        if (p->previous_valid) {
            while (first < visible_columns && !cell_differs(row[first], old[first])) first++;
            if (first == visible_columns) continue;
            while (last > first && !cell_differs(row[last], old[last])) last--;
            // Writing over one half of a wide glyph on screen clears the other half on some
            // terminals and not on others: rewrite the neighbour too, so all of them agree.
            if (first > 0 && old[first].glyph == 0) first--;
            if (last + 1 < visible_columns && old[last + 1].glyph == 0) last++;
        }
        if (first > 0 && row[first].glyph == 0) first--; // rewrite a wide glyph whole
        put_position(r, first);
        for (int c = first; c <= last; c++) {
            const DisplayCell &cell = row[c];
            if (!have_pair || cell.fg != last_fg || cell.bg != last_bg) {
                put_colours(cell.fg, cell.bg, truecolour);
                have_pair = true;
                last_fg = cell.fg;
                last_bg = cell.bg;
            }
            uint32_t g = cell_output(row, c, visible_columns, truecolour);
            if (g != kNoGlyph) put_glyph(g);
        }
    }
    put_text("\x1b[0m");
    put_position(cursor_row, cursor_column);
    if (cursor_visible) put_text("\x1b[?25h");
    console_write(p->out, p->fill);
}

void vt_write_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                    int cursor_visible) {
    write_frame(frame, columns, rows, cursor_column, cursor_row, cursor_visible, true);
}

void legacy_write_frame(const DisplayFrame *frame, int columns, int rows, int cursor_column, int cursor_row,
                        int cursor_visible) {
    write_frame(frame, columns, rows, cursor_column, cursor_row, cursor_visible, false);
}
