// SGR, select graphic rendition (ECMA-48 8.3.117), with the 256-colour and 24-bit forms of 38 and 48
// mapped to palette indexes: a cell never holds a 24-bit colour.
#include "term/interp.h"
#include "term/palette.h"

// A basic colour (ANSI order 0-7), normal or bright, in place of any extended one.
static void set_fg(Terminal *t, int colour, int bright) {
    t->fg = colour, t->bright_fg = bright, t->ext_fg = -1;
}
static void set_bg(Terminal *t, int colour, int bright) {
    t->bg = colour, t->bright_bg = bright, t->ext_bg = -1;
}

// Colour k of the 256-colour set as a palette index.
static int indexed_colour(int k) {
    if (k < 8) return kAnsiToPc[k];
    if (k < 16) return kAnsiToPc[k - 8] + 8;
    if (k < 256) return k + PALETTE_C64;
    return PALETTE_SIZE - 1;
}

// 38 or 48 at index i: the palette index through *colour, and how many parameters were used.
static int extended_colour(const Terminal *t, int i, int *colour) {
    const int32_t *p = t->params;
    int count = t->param_count;
    if (i + 2 < count && p[i + 1] == 5) {
        *colour = indexed_colour(p[i + 2]);
        return 3;
    }
    if (i + 4 < count && p[i + 1] == 2) {
        *colour = palette_nearest_rgb(p[i + 2] % 256, p[i + 3] % 256, p[i + 4] % 256);
        return 5;
    }
    return 1; // the parameters after it are read as ordinary SGR parameters
}

void ansi_apply_sgr(Terminal *t) {
    if (t->param_count == 0) term_reset_rendition(t);
    for (int i = 0; i < t->param_count;) {
        int p = t->params[i];
        int used = 1;
        switch (p) {
        case 0: term_reset_rendition(t); break;
        case 1: t->bold = 1; break;
        case 2:
        case 21:
        case 22: t->bold = 0; break;
        case 5:
        case 6: t->blink = 1; break;
        case 7: t->reverse = 1; break;
        case 8: t->concealed = 1; break;
        case 25: t->blink = 0; break;
        case 27: t->reverse = 0; break;
        case 28: t->concealed = 0; break;
        case 38:
        case 48: {
            int colour = -1;
            used = extended_colour(t, i, &colour);
            if (used > 1) (p == 38 ? t->ext_fg : t->ext_bg) = colour;
            break;
        }
        case 39: set_fg(t, 7, 0); break;
        case 49: set_bg(t, 0, 0); break;
        default:
            if (p >= 30 && p <= 37)
                set_fg(t, p - 30, 0);
            else if (p >= 40 && p <= 47)
                set_bg(t, p - 40, 0);
            else if (p >= 90 && p <= 97)
                set_fg(t, p - 90, 1);
            else if (p >= 100 && p <= 107)
                set_bg(t, p - 100, 1);
            break; // anything else (underline, italic, ...) has no meaning here
        }
        i += used;
    }
    term_update_attr(t);
}
