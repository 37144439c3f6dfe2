// Time to rasterise one full 80 x 25 frame into the graphics window's bitmap: an ANSI screen (text
// left to the overlay, blocks, shades and box lines) and a PETSCII screen at double width, at the
// window's 8 x 16 cells and at the cells full screen picks on a 1920 x 1080 monitor.
#include <chrono>
#include <cstdio>
#include <vector>

#include "display/c64_font.h"
#include "display/raster.h"
#include "term/terminal.h"

static DisplayFrame frame;

static void fill_ansi() {
    static const uint32_t kGlyphs[] = {'A',    'z',    0x2588, 0x2591, 0x2592, 0x2593, 0x2580, 0x2584,
                                       0x2550, 0x2551, 0x256C, 0x253C, 0x2554, 0x259A, 0x25A0, '#'};
    for (int r = 0; r < 25; r++)
        for (int c = 0; c < 80; c++)
            frame.cells[r][c] =
                DisplayCell{kGlyphs[(r * 7 + c) % 16], (uint16_t)(c % 16), (uint16_t)(r % 8), 0, {}};
}

static void fill_petscii() {
    for (int r = 0; r < 25; r++)
        for (int c = 0; c < 80; c += 2) {
            uint32_t code = (uint32_t)(0x20 + (r * 40 + c / 2) % 0xA0);
            frame.cells[r][c] =
                DisplayCell{code, (uint16_t)(16 + c % 16), 16, DCELL_C64 | DCELL_C64_DOUBLE, {}};
            frame.cells[r][c + 1] = DisplayCell{code, 0, 0, DCELL_RIGHT_HALF, {}};
        }
}

static double frame_us(int w, int h) {
    std::vector<uint32_t> pixels((size_t)80 * w * 25 * h);
    const C64Font *font = c64_font();
    RasterCursor cursor{10, 10, 1, 1};
    raster_frame(pixels.data(), 80 * w, &frame, 80, 25, cursor, w, h, 1, font);
    int frames = 0;
    auto start = std::chrono::steady_clock::now();
    double elapsed;
    do {
        for (int i = 0; i < 20; i++, frames++)
            raster_frame(pixels.data(), 80 * w, &frame, 80, 25, cursor, w, h, 1, font);
        elapsed = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    } while (elapsed < 500000);
    return elapsed / frames;
}

int main() {
    term_build_tables();
    const int sizes[][2] = {{8, 16}, {21, 43}}; // window cells; full screen on 1920 x 1080 (25 rows)
    for (auto &s : sizes) {
        fill_ansi();
        double ansi = frame_us(s[0], s[1]);
        fill_petscii();
        double petscii = frame_us(s[0], s[1]);
        printf("raster %dx%d cells (%dx%d pixels): ANSI frame %.0f us, PETSCII frame %.0f us\n", s[0], s[1],
               80 * s[0], 25 * s[1], ansi, petscii);
    }
    return 0;
}
