#include "term/charset.h"

// VT100 special graphics, 0x5F-0x7E.
const uint16_t dec_special_graphics[32] = {
    0x00A0, // 0x5F blank
    0x25C6, // 0x60 diamond
    0x2592, // 0x61 checkerboard
    0x2409, // 0x62 HT
    0x240C, // 0x63 FF
    0x240D, // 0x64 CR
    0x240A, // 0x65 LF
    0x00B0, // 0x66 degree
    0x00B1, // 0x67 plus/minus
    0x2424, // 0x68 NL
    0x240B, // 0x69 VT
    0x2518, // 0x6A lower right corner
    0x2510, // 0x6B upper right corner
    0x250C, // 0x6C upper left corner
    0x2514, // 0x6D lower left corner
    0x253C, // 0x6E crossing lines
    0x23BA, // 0x6F scan line 1
    0x23BB, // 0x70 scan line 3
    0x2500, // 0x71 scan line 5
    0x23BC, // 0x72 scan line 7
    0x23BD, // 0x73 scan line 9
    0x251C, // 0x74 left tee
    0x2524, // 0x75 right tee
    0x2534, // 0x76 bottom tee
    0x252C, // 0x77 top tee
    0x2502, // 0x78 vertical bar
    0x2264, // 0x79 less or equal
    0x2265, // 0x7A greater or equal
    0x03C0, // 0x7B pi
    0x2260, // 0x7C not equal
    0x00A3, // 0x7D pound
    0x00B7, // 0x7E centred dot
};

// ---------------------------------------------------------------- reverse CP437

struct Cp437Pair {
    uint16_t code;
    uint8_t byte;
};
static Cp437Pair cp437_index[255];
static int cp437_index_count;

void cp437_build_index() {
    cp437_index_count = 0;
    for (int b = 1; b < 256; b++) {
        if (b == 0x20) continue;
        uint16_t code = cp437_to_unicode[b];
        int pos = 0;
        while (pos < cp437_index_count && cp437_index[pos].code < code) pos++;
        if (pos < cp437_index_count && cp437_index[pos].code == code) continue; // lowest byte wins
        for (int i = cp437_index_count; i > pos; i--) cp437_index[i] = cp437_index[i - 1];
        cp437_index[pos] = Cp437Pair{code, (uint8_t)b};
        cp437_index_count++;
    }
}

static int cp437_lookup(uint32_t c) {
    int lo = 0, hi = cp437_index_count - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (cp437_index[mid].code == c) return cp437_index[mid].byte;
        if (cp437_index[mid].code < c)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return -1;
}

// ---------------------------------------------------------------- BMP fallback

// Quadrant characters by mask: bit 0 upper left, 1 upper right, 2 lower left, 3 lower right.
static const uint16_t kQuadrants[16] = {
    0x0020, 0x2598, 0x259D, 0x2580, 0x2596, 0x258C, 0x259E, 0x259B,
    0x2597, 0x259A, 0x2590, 0x259C, 0x2584, 0x2599, 0x259F, 0x2588,
};

// Symbols for Legacy Computing U+1FB70-U+1FB99: lines and blocks that have a BMP cousin.
static uint32_t legacy_line_to_bmp(uint32_t c) {
    if (c <= 0x1FB75) return 0x2502;
    if (c <= 0x1FB7B) return 0x2500;
    switch (c) {
    case 0x1FB7C: return 0x2514;
    case 0x1FB7D: return 0x250C;
    case 0x1FB7E: return 0x2510;
    case 0x1FB7F: return 0x2518;
    }
    if (c >= 0x1FB82 && c <= 0x1FB84) return 0x2580;
    if (c >= 0x1FB87 && c <= 0x1FB89) return 0x2590;
    if ((c >= 0x1FB8C && c <= 0x1FB8F) || (c >= 0x1FB96 && c <= 0x1FB99)) return 0x2592;
    return '?';
}

uint32_t unicode_to_bmp(uint32_t c) {
    if (c < 0x10000) return c;
    if (c >= 0x1FB00 && c <= 0x1FB3B) {
        // Block sextants skip the two patterns that exist as half blocks (21 left, 42 right).
        int p = (int)(c - 0x1FB00) + 1;
        if (c >= 0x1FB14) p++;
        if (p >= 42) p++;
        int ul = p & 1, ur = (p >> 1) & 1, ml = (p >> 2) & 1, mr = (p >> 3) & 1, ll = (p >> 4) & 1,
            lr = (p >> 5) & 1;
        int upper_left = ul | (ml & !ll), upper_right = ur | (mr & !lr);
        return kQuadrants[upper_left | upper_right << 1 | ll << 2 | lr << 3];
    }
    if (c >= 0x1FB70 && c <= 0x1FB99) return legacy_line_to_bmp(c);
    if (c >= 0x1F300 && c <= 0x1FAFF) return 0x263A; // pictographs: a smiling face
    return '?';
}

// ---------------------------------------------------------------- CP437 fallback

static const char kLatin1Fold[65] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPsaaaaaaaceeeeiiiidnooooo/ouuuuypy";

// Characters CP437 lacks, by range, with the byte that looks most like them.
static const struct {
    uint16_t first, last;
    uint8_t byte;
} kCp437Fallbacks[] = {
    {0x00A9, 0x00A9, 'c'},  {0x00AE, 0x00AE, 'R'},  {0x2010, 0x2015, '-'},  {0x2018, 0x201A, '\''},
    {0x201C, 0x201E, '"'},  {0x2026, 0x2026, '.'},  {0x2032, 0x2032, '\''}, {0x2033, 0x2033, '"'},
    {0x20AC, 0x20AC, 'E'},  {0x2122, 0x2122, 'T'},  {0x2212, 0x2212, '-'},  {0x256D, 0x256D, 0xDA},
    {0x256E, 0x256E, 0xBF}, {0x256F, 0x256F, 0xD9}, {0x2570, 0x2570, 0xC0}, {0x2571, 0x2571, '/'},
    {0x2572, 0x2572, '\\'}, {0x2573, 0x2573, 'X'},  {0x2581, 0x2581, '_'},  {0x2582, 0x2583, 0xDC},
    {0x2585, 0x2586, 0xDC}, {0x2587, 0x258A, 0xDB}, {0x258B, 0x258B, 0xDD}, {0x258D, 0x258E, 0xDD},
    {0x258F, 0x258F, 0xB3}, {0x2594, 0x2594, 0xDF}, {0x2595, 0x2595, 0xB3}, {0x2596, 0x2597, 0xDC},
    {0x2598, 0x2598, 0xDF}, {0x2599, 0x2599, 0xDB}, {0x259A, 0x259A, 0xB1}, {0x259B, 0x259C, 0xDB},
    {0x259D, 0x259D, 0xDF}, {0x259E, 0x259E, 0xB1}, {0x259F, 0x259F, 0xDB}, {0x25A1, 0x25A1, 0xFE},
    {0x25AA, 0x25AA, 0xFE}, {0x25CF, 0x25CF, 0x07}, {0x25E2, 0x25E3, 0xDC}, {0x25E4, 0x25E5, 0xDF},
    {0x25FC, 0x25FC, 0xFE}, {0x2650, 0x2650, '='},  {0x2713, 0x2713, 0xFB}, {0x2B24, 0x2B24, 0x07},
    {0xFFFD, 0xFFFD, '?'},
};

uint8_t unicode_to_cp437(uint32_t c) {
    if (c <= 0x7F) return c < 33 ? ' ' : (uint8_t)c;
    c = unicode_to_bmp(c);
    if (c < 0x80) return (uint8_t)c;
    int byte = cp437_lookup(c);
    if (byte >= 0) return (uint8_t)byte;
    if (c >= 0xC0 && c <= 0xFF) return (uint8_t)kLatin1Fold[c - 0xC0];
    for (const auto &f : kCp437Fallbacks)
        if (c >= f.first && c <= f.last) return f.byte;
    if (c >= 0x2500 && c <= 0x257F) return 0xC5; // any other box drawing: the cross
    return '?';
}

// ---------------------------------------------------------------- PETSCII

// Upper-case / graphics set, codes 0x60-0x7F.
static const uint32_t kPetsciiGraphics60[32] = {
    0x2500,  0x2660,  0x1FB72, 0x1FB78, 0x1FB77, 0x1FB76, 0x1FB7A, 0x1FB71, // 0x60
    0x1FB74, 0x256E,  0x2570,  0x256F,  0x1FB7C, 0x2572,  0x2571,  0x1FB7D, // 0x68
    0x1FB7E, 0x25CF,  0x1FB7B, 0x2665,  0x1FB70, 0x256D,  0x2573,  0x25CB,  // 0x70
    0x2663,  0x1FB75, 0x2666,  0x253C,  0x1FB8C, 0x2502,  0x03C0,  0x25E5,  // 0x78
};
// Codes 0xA0-0xBF, shared by both sets except 0xA9 and 0xBA.
static const uint32_t kPetsciiGraphicsA0[32] = {
    0x00A0,  0x258C, 0x2584,  0x2594, 0x2581, 0x258F, 0x2592,  0x2595,  // 0xA0
    0x1FB8F, 0x25E4, 0x1FB87, 0x251C, 0x2597, 0x2514, 0x2510,  0x2582,  // 0xA8
    0x250C,  0x2534, 0x252C,  0x2524, 0x258E, 0x258D, 0x1FB88, 0x1FB82, // 0xB0
    0x1FB83, 0x2583, 0x1FB7F, 0x2596, 0x259D, 0x2518, 0x2598,  0x259A,  // 0xB8
};

static uint32_t petscii_reduce(uint32_t g) {
    switch (g) {
    case 0x1FB70: return 0x258F;
    case 0x1FB75: return 0x2595;
    case 0x1FB76: return 0x2594;
    case 0x1FB7B: return 0x2581;
    case 0x1FB82:
    case 0x1FB83: return 0x2580;
    case 0x1FB87:
    case 0x1FB88: return 0x2590;
    case 0x1FB8C:
    case 0x1FB8F: return 0x2592;
    }
    return unicode_to_bmp(g);
}

uint32_t petscii_to_unicode(uint32_t code, int lower, int full_unicode) {
    code = petscii_fold(code & 0xFF);

    uint32_t g;
    if (code < 0x20 || (code >= 0x80 && code < 0xA0)) return ' ';
    if (code < 0x40) return code;
    if (code < 0x60) {
        if (code == 0x5C) return 0x00A3;
        if (code == 0x5E) return 0x2191;
        if (code == 0x5F) return 0x2190;
        if (lower && code >= 0x41 && code <= 0x5A) return code + 0x20;
        return code;
    }
    if (code < 0x80) {
        if (lower && code >= 0x61 && code <= 0x7A)
            g = code - 0x20;
        else if (lower && code == 0x7E)
            g = 0x1FB96;
        else if (lower && code == 0x7F)
            g = 0x1FB98;
        else
            g = kPetsciiGraphics60[code - 0x60];
    } else {
        if (lower && code == 0xA9)
            g = 0x1FB99;
        else if (lower && code == 0xBA)
            g = 0x2713;
        else
            g = kPetsciiGraphicsA0[code - 0xA0];
    }
    if (g == 0x00A0) return ' ';
    return full_unicode ? g : petscii_reduce(g);
}

void petscii_double_split(uint32_t g, int full, uint32_t *left, uint32_t *right) {
    uint32_t l = g, r = ' ';
    switch (g) {
    // lines and blocks that run across the whole cell: both halves the same
    case 0x2500:
    case 0x2580:
    case 0x2581:
    case 0x2582:
    case 0x2583:
    case 0x2584:
    case 0x2588:
    case 0x2591:
    case 0x2592:
    case 0x2593:
    case 0x2594:
    case 0x1FB76:
    case 0x1FB77:
    case 0x1FB78:
    case 0x1FB7A:
    case 0x1FB7B:
    case 0x1FB82:
    case 0x1FB83:
    case 0x1FB8F:
    case 0x1FB96:
    case 0x1FB98:
    case 0x1FB99: r = g; break;
    // a vertical line in the middle of the cell: the edges of both halves meet there
    case 0x2502:
    case 0x1FB72:
        l = full ? 0x2595 : ' ';
        r = full ? 0x258F : 0x2502;
        break;
    // left-open corners and tees: drawn in the right half
    case 0x250C:
    case 0x2514:
    case 0x251C:
    case 0x256D:
    case 0x2570:
    case 0x2595:
    case 0x1FB75:
    case 0x1FB7C:
    case 0x1FB7D:
        l = ' ';
        r = g;
        break;
    // right-open corners and crossings: the left half carries the horizontal line
    case 0x2510:
    case 0x2518:
    case 0x2524:
    case 0x252C:
    case 0x2534:
    case 0x253C:
    case 0x256E:
    case 0x256F:
    case 0x1FB7E:
    case 0x1FB7F:
        l = !full ? 0x2500 : g == 0x1FB7E ? 0x2594 : (g == 0x1FB7F ? 0x1FB7B : 0x2500);
        r = g;
        break;
    case 0x1FB71: l = full ? 0x1FB71 : 0x2502; break;
    case 0x1FB74:
        l = ' ';
        r = full ? 0x1FB71 : 0x2502;
        break;
    case 0x258C: l = 0x2588; break;
    case 0x258D:
    case 0x258E: l = 0x258C; break;
    case 0x2590:
        l = ' ';
        r = 0x2588;
        break;
    case 0x1FB87:
    case 0x1FB88:
        l = ' ';
        r = 0x2590;
        break;
    case 0x1FB8C: l = 0x2592; break;
    case 0x2596: l = 0x2584; break;
    case 0x2597:
        l = ' ';
        r = 0x2584;
        break;
    case 0x2598: l = 0x2580; break;
    case 0x259A:
        l = 0x2580;
        r = 0x2584;
        break;
    case 0x259D:
        l = ' ';
        r = 0x2580;
        break;
    case 0x259E:
        l = 0x2584;
        r = 0x2580;
        break;
    case 0x25E4:
        l = 0x2588;
        r = 0x2580;
        break;
    case 0x25E5:
        l = 0x2580;
        r = 0x2588;
        break;
    }
    if (!full) {
        l = unicode_to_bmp(l);
        r = unicode_to_bmp(r);
    }
    *left = l;
    *right = r;
}
