#include "app/help_pages.h"

#include "app/compose.h"
#include "display/frame.h"
#include "display/present.h"
#include "input/keys.h"
#include "ui/toolkit.h"

struct HelpLine {
    const char *key;
    const char *text;
};

static const HelpLine kPage1[] = {
    {"Alt-D", "Dialing Directory"},
    {"Alt-H", "Hangup"},
    {"Alt-Q", "Quick-Dial A Host"},
    {"Alt-E", "Cycle Emulation (ANSI/UTF-8/VT100/TTY/PETSCII)"},
    {"Alt-A", "PETSCII Text Mode (Auto/ASCII/PETSCII)"},
    {"Alt-B", "Backscroll"},
    {"Alt-L", "Capture Log On/Off"},
    {"Alt-W", "Send Login Name from Dialing Entry"},
    {"Alt-P", "Send Password from Dialing Entry"},
    {"Alt-X", "Exit Pelorin NG!"},
    {"Alt-O", "Pelorin NG configuration"},
    {"Alt-S", "Toggle Statusline On/Off"},
    {"Alt-Ent", "Toggle Full Screen"},
    {"f1-f10", "Macros"},
};

static const HelpLine kPage2[] = {
    {"Alt-C", "Clear Screen"},
    {"Alt-R", "Zmodem Download (also Alt-PgDn)"},
    {"Alt-U", "Zmodem Upload (also Alt-PgUp)"},
    {"Alt-K", "Send Break"},
    {"Alt-I", "About Pelorin NG"},
    {"Alt-Z", "This Help"},
    {"", ""},
    {"", "Dialing Directory:"},
    {"Enter", "Dial            Ins  Add entry"},
    {"E", "Edit entry      Del  Delete entry"},
    {"F / N", "Find / Next     S    Sort entries"},
    {"I", "Import SyncTERM phonebook (syncterm.lst)"},
    {"V / Q", "View used only  /  Quick-Dial"},
};

// The word HELP in block characters.
static const char *const kTitlePattern[4] = {
    "#  # #### #    ###  ",
    "#### ###  #    #  # ",
    "#  # #    #    ###  ",
    "#  # #### #### #    ",
};

struct TitleDecoration {
    int row; // rows below the title area's top edge, from 1
    int column;
    uint32_t glyph;
    int fg;
};

static const TitleDecoration kDecorations[] = {
    {1, 2, 0x2580, 10},  // upper half block, light green
    {1, 27, 0x2584, 9},  // lower half block, light blue
    {1, 28, 0x2588, 13}, // full block, light magenta
    {1, 29, 0x2580, 5},  // upper half block, magenta
    {2, 27, 0x2584, 13}, // lower half block, light magenta
};

enum { HELP_BG = 1, HELP_FRAME = 3, TITLE_WIDTH = 34, TITLE_HEIGHT = 6 };

static void put_glyph(int column, int row, uint32_t glyph, int fg) {
    if (column < 0 || column >= FRAME_COLUMNS || row < 0 || row >= g_frame.rows) return;
    g_frame.cells[row][column] = DisplayCell{glyph, (uint16_t)fg, HELP_BG, 0, {0, 0, 0}};
}

void help_pages_draw(int page) {
    int top = g_frame.status_rows;
    int height = g_frame.rows - top;
    ui_box(0, top, FRAME_COLUMNS, height, HELP_FRAME, HELP_BG, 1, "");
    ui_box(1, top + 1, TITLE_WIDTH, TITLE_HEIGHT, HELP_FRAME, HELP_BG, 0, "");
    for (int r = 0; r < 4; r++)
        for (int c = 0; kTitlePattern[r][c]; c++)
            if (kTitlePattern[r][c] == '#')
                put_glyph(c + c / 5 + 3, top + 2 + r, r < 3 ? 0x2588 : 0x2580, r < 2 ? 15 : 7);
    for (const TitleDecoration &d : kDecorations) put_glyph(d.column, top + 1 + d.row, d.glyph, d.fg);

    const HelpLine *lines = page == 0 ? kPage1 : kPage2;
    int count = page == 0 ? (int)(sizeof kPage1 / sizeof *kPage1) : (int)(sizeof kPage2 / sizeof *kPage2);
    int page_row = top + height - 2;
    for (int i = 0; i < count && top + 7 + i < page_row; i++) {
        ui_text(3, top + 7 + i, 7, HELP_BG, lines[i].key);
        ui_text(12, top + 7 + i, 15, HELP_BG, lines[i].text);
    }
    if (page == 0)
        ui_text(20, page_row, 12, HELP_BG, "Page 1/2 - Press <space> for next page!");
    else
        ui_text(22, page_row, 12, HELP_BG, "Page 2/2 - Press <space> for page #1!");
    g_frame.cursor_visible = 0;
}

static bool turns_page(uint32_t key) {
    return key == ' ' || key == KEY_UP || key == KEY_DOWN || key == KEY_PGUP || key == KEY_PGDN;
}

void help_pages_show() {
    int page = 0;
    for (;;) {
        compose_frame();
        help_pages_draw(page);
        present_frame();
        if (!turns_page(ui_wait_key())) break;
        page = 1 - page;
    }
    compose_and_present();
}
