#include "app/about_box.h"

#include "app/compose.h"
#include "display/c64_font.h"
#include "display/console.h"
#include "display/frame.h"
#include "display/present.h"
#include "phonebook/phonebook.h"
#include "base/emulation.h"
#include "term/terminal.h"
#include "base/text.h"
#include "ui/toolkit.h"

static const char *const kGlyphModeNames[3] = {
    "CP437",       // GLYPH_MODE_CP437
    "Unicode BMP", // GLYPH_MODE_BMP
    "Unicode",     // GLYPH_MODE_UNICODE
};

static void about_box_text(char *out, int size) {
    const Terminal *t = &g_terminal;
    int mode = g_presenter.glyph_mode >= 0 && g_presenter.glyph_mode < 3 ? g_presenter.glyph_mode : 0;
    int emulation = t->emulation >= 0 && t->emulation < EMU_COUNT ? t->emulation : 0;
    text_format(
        out, size,
        "%s  version %s\n\nA from-scratch rebuild of the classic Pelorin/32\nconsole telnet client.\n\n"
        "Phonebook : %d of %d entries (pelo.fon)\nDisplay   : %s console, %s glyphs\n"
        "Terminal  : %s, %dx%d\nC64 font  : %.60s",
        "Pelorin Next Generation", "1.0", g_phonebook ? phonebook_count_used(g_phonebook) : 0,
        PHONEBOOK_SLOTS, console_is_vt() ? "modern (VT)" : "legacy", kGlyphModeNames[mode],
        emulation_long_names[emulation], t->columns, t->rows, c64_font_label());
}

void about_box_show() {
    compose_frame();
    char text[600];
    about_box_text(text, sizeof text);
    UiRect box = ui_panel("About", text, 1);
    ui_markup(box.column + (box.width - 22) / 2, box.row + box.height - 2, 7, 14, 1,
              "Press ~any key~ to continue");
    g_frame.cursor_visible = 0;
    present_frame();
    ui_wait_key();
    compose_and_present();
}
