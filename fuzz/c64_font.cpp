// Bytes as a bitmap of the upper/lower pair and as a character ROM. Any header may be hostile: the
// converter must refuse it or read only inside the data, and a glyph conversion is all or nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "display/c64_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    uint8_t glyphs[C64_GLYPHS][8];
    c64_font_convert_bmp(data, size, glyphs);
    C64Font font;
    if (c64_font_from_rom(data, size, &font) != (size == 4096 || size == 8192)) __builtin_trap();
    if ((size == 4096 || size == 8192) && memcmp(font.glyphs[1], data + 2048, 1024) != 0) __builtin_trap();
    return 0;
}
