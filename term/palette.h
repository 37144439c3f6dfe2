// The 272-entry palette (PC colours, C64 colours, the 256-colour set from 16 on) and its
// nearest-of-16 approximation for 16-colour output.
#pragma once
#include <cstdint>

enum { PALETTE_SIZE = 272, PALETTE_C64 = 16, PALETTE_XTERM = 32 };

struct Rgb {
    uint8_t r, g, b;
};

extern Rgb g_palette[PALETTE_SIZE];
extern uint8_t g_standard16[PALETTE_SIZE];
// ANSI colour order (black, red, green, yellow, ...) to PC order (black, blue, green, cyan, ...). It
// swaps red with blue and yellow with cyan, so the same table turns PC order back into ANSI order.
inline constexpr uint8_t kAnsiToPc[8] = {0, 4, 2, 6, 1, 5, 3, 7};
inline constexpr const uint8_t (&kPcToAnsi)[8] = kAnsiToPc;

// Builds g_palette and g_standard16 (part of term_build_tables).
void palette_build();
// The palette entry among 0-15 and 32-271 nearest to an RGB colour (weighted 3/4/2), lowest index on a tie.
int palette_nearest_rgb(int r, int g, int b);
