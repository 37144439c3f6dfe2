#include "term/palette.h"

Rgb g_palette[PALETTE_SIZE];
uint8_t g_standard16[PALETTE_SIZE];

static const Rgb kPcColours[16] = {
    {0x00, 0x00, 0x00}, // 0 black
    {0x00, 0x00, 0xAA}, // 1 blue
    {0x00, 0xAA, 0x00}, // 2 green
    {0x00, 0xAA, 0xAA}, // 3 cyan
    {0xAA, 0x00, 0x00}, // 4 red
    {0xAA, 0x00, 0xAA}, // 5 magenta
    {0xAA, 0x55, 0x00}, // 6 brown
    {0xAA, 0xAA, 0xAA}, // 7 light grey
    {0x55, 0x55, 0x55}, // 8 dark grey
    {0x55, 0x55, 0xFF}, // 9 light blue
    {0x55, 0xFF, 0x55}, // 10 light green
    {0x55, 0xFF, 0xFF}, // 11 light cyan
    {0xFF, 0x55, 0x55}, // 12 light red
    {0xFF, 0x55, 0xFF}, // 13 light magenta
    {0xFF, 0xFF, 0x55}, // 14 yellow
    {0xFF, 0xFF, 0xFF}, // 15 white
};

static const Rgb kC64Colours[16] = {
    {0x00, 0x00, 0x00}, // 0 black
    {0xFD, 0xFE, 0xFC}, // 1 white
    {0xBE, 0x1A, 0x24}, // 2 red
    {0x30, 0xE6, 0xC6}, // 3 cyan
    {0xB4, 0x1A, 0xE2}, // 4 purple
    {0x1F, 0xD2, 0x1E}, // 5 green
    {0x21, 0x1B, 0xAE}, // 6 blue
    {0xDF, 0xF6, 0x0A}, // 7 yellow
    {0xB8, 0x41, 0x04}, // 8 orange
    {0x6A, 0x33, 0x04}, // 9 brown
    {0xFE, 0x4A, 0x57}, // 10 light red
    {0x42, 0x45, 0x40}, // 11 dark grey
    {0x70, 0x74, 0x6F}, // 12 grey
    {0x59, 0xFE, 0x59}, // 13 light green
    {0x5F, 0x53, 0xFE}, // 14 light blue
    {0xA4, 0xA7, 0xA2}, // 15 light grey
};

// Nearest PC colour for each C64 colour, chosen by eye rather than by distance.
static const uint8_t kC64ToStandard16[16] = {0, 15, 4, 11, 5, 2, 1, 14, 6, 6, 12, 8, 7, 10, 9, 7};

static const uint8_t kCubeLevels[6] = {0, 95, 135, 175, 215, 255};

static inline int distance(const Rgb &c, int r, int g, int b) {
    int dr = c.r - r, dg = c.g - g, db = c.b - b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

static int nearest_of_16(int r, int g, int b) {
    int best = 0, best_distance = distance(g_palette[0], r, g, b);
    for (int i = 1; i < 16; i++) {
        int d = distance(g_palette[i], r, g, b);
        if (d < best_distance) best = i, best_distance = d;
    }
    return best;
}

void palette_build() {
    for (int i = 0; i < 16; i++) {
        g_palette[i] = kPcColours[i];
        g_palette[PALETTE_C64 + i] = kC64Colours[i];
        g_standard16[i] = (uint8_t)i;
        g_standard16[PALETTE_C64 + i] = kC64ToStandard16[i];
    }
    for (int i = 0; i < 216; i++)
        g_palette[PALETTE_XTERM + i] = {kCubeLevels[i / 36], kCubeLevels[(i / 6) % 6], kCubeLevels[i % 6]};
    for (int i = 216; i < 240; i++) {
        uint8_t grey = (uint8_t)(8 + 10 * (i - 216));
        g_palette[PALETTE_XTERM + i] = {grey, grey, grey};
    }
    for (int i = PALETTE_XTERM; i < PALETTE_SIZE; i++)
        g_standard16[i] = (uint8_t)nearest_of_16(g_palette[i].r, g_palette[i].g, g_palette[i].b);
}

int palette_nearest_rgb(int r, int g, int b) {
    int best = nearest_of_16(r, g, b), best_distance = distance(g_palette[best], r, g, b);
    for (int i = PALETTE_XTERM; i < PALETTE_SIZE; i++) {
        int d = distance(g_palette[i], r, g, b);
        if (d < best_distance) best = i, best_distance = d;
    }
    return best;
}
