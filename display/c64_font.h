// The C64 character sets drawn in the graphics window: two sets of 128 glyphs of 8 x 8 pixels (one
// byte per pixel row, leftmost pixel in the top bit) indexed by screen code; set 0 is upper case and
// graphics, set 1 lower and upper case. The program's own design is used until a character ROM or an
// upper/lower bitmap pair is found on the machine.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    C64_GLYPHS = 128,
    C64_FONT_BYTES = 2 * C64_GLYPHS * 8,
    C64_FONT_LABEL_SIZE = 300,
    C64_FILE_MAX = 4 * 1024 * 1024, // larger files are never read
};

struct C64Font {
    uint8_t glyphs[2][C64_GLYPHS][8];
};

// The built-in 8 x 8 design.
extern const C64Font kC64BuiltinFont;

// The font in use (the built-in one until something is loaded) and where it came from: "built-in",
// the path of a character ROM, or "DIR (CGTerm upper/lower.bmp)".
const C64Font *c64_font();
const char *c64_font_label();

// Back to the built-in font.
void c64_font_reset();
// Loads a character ROM file, a directory holding a bitmap pair or a ROM, or the directory of a
// named .bmp file; 1 when a font was loaded. A failed attempt leaves the font in use as it was.
int c64_font_try_source(const char *path);
// The built-in font, then the first source that loads: the setting (any text is tried as a
// path), the program directory, then the usual homes of a C64 emulator's and terminal's data.
void c64_font_discover(const char *setting, const char *program_dir);

// Character ROM image of 4096 or 8192 bytes: the unreversed halves of both sets. 0 for any other size.
int c64_font_from_rom(const uint8_t *bytes, size_t size, C64Font *out);
// One bitmap of the pair (the file's bytes) to 128 glyphs; 0 when the file is unsuitable.
int c64_font_convert_bmp(const uint8_t *bytes, size_t size, uint8_t out[C64_GLYPHS][8]);

// The screen code (glyph index) of a PETSCII character code.
uint8_t c64_screen_code(uint8_t petscii);
// The PETSCII code that shows an ASCII character in the lower-case set (codes below 33 are blank).
uint8_t c64_petscii_from_ascii(uint8_t ascii);
