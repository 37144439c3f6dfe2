#include "app/scrollback_viewer.h"

#include <cstring>

#include "app/compose.h"
#include "display/frame.h"
#include "display/present.h"
#include "input/keys.h"
#include "base/text.h"
#include "term/terminal.h"
#include "ui/toolkit.h"

enum { HINT_COLUMN = 48 };
enum { BLACK = 0, RED = 4, GREY = 7 };

int scrollback_key(ScrollbackPosition *p, uint32_t key) {
    switch (key) {
    case KEY_ENTER:
    case KEY_ESC:
    case key_alt('b'): return 0;
    case KEY_UP: p->back += 1; break;
    case KEY_DOWN: p->back -= 1; break;
    case KEY_PGUP: p->back += p->rows - 1; break;
    case KEY_PGDN: p->back -= p->rows - 1; break;
    case KEY_HOME: p->back = p->stored; break;
    case KEY_END: p->back = 0; break;
    default: break;
    }
    if (p->back > p->stored) p->back = p->stored;
    if (p->back < 0) p->back = 0;
    return 1;
}

int scrollback_first_line(const ScrollbackPosition *p) {
    return p->stored - p->back + 1;
}

static void draw_header(const ScrollbackPosition &p) {
    int first = scrollback_first_line(&p), total = p.stored + p.rows;
    char text[64];
    if (g_frame.status_rows) { // the bar's row, unless it stepped aside for a short terminal
        ui_fill(0, 0, FRAME_COLUMNS, 1, BLACK, GREY);
        text_format(text, sizeof text, " SCROLLBACK  line %d of %d", first, total);
        ui_text(0, 0, BLACK, GREY, text);
        ui_markup(HINT_COLUMN, 0, BLACK, RED, GREY, "~\x18\x19~ ~PgUp~ ~PgDn~ ~Home~ ~End~ ~Esc~");
    } else {
        text_format(text, sizeof text, "[ SCROLLBACK %d/%d - Esc exits ]", first, total);
        ui_text(FRAME_COLUMNS - (int)strlen(text), 0, BLACK, GREY, text);
    }
}

static void draw(const ScrollbackPosition &p) {
    const Terminal *t = &g_terminal;
    compose_frame(); // status row and the rows below the terminal's as on the live screen
    int top = g_frame.status_rows;
    for (int i = 0; i < p.rows; i++) {
        int line = p.stored - p.back + i;
        const Cell *cells = line < p.stored ? term_scrollback_line(t, line) : term_row(t, line - p.stored);
        if (cells) compose_row(cells, top + i);
    }
    draw_header(p);
    g_frame.cursor_visible = 0;
    present_frame();
}

void scrollback_view() {
    Terminal *t = &g_terminal;
    if (t->scrollback_count <= 0) {
        compose_frame();
        ui_message("Scrollback", "The scrollback buffer is empty.");
        return;
    }
    ScrollbackPosition p{t->scrollback_count, t->rows, 0};
    // The minute's redraw of the status bar would put the bar back over the header.
    int (*refresh_clock)(void) = g_ui_hooks.refresh_clock;
    g_ui_hooks.refresh_clock = nullptr;
    do draw(p);
    while (scrollback_key(&p, ui_wait_key()));
    g_ui_hooks.refresh_clock = refresh_clock;
    compose_and_present();
}
