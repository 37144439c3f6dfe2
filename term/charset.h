// Fixed character mappings: CP437, the BMP and CP437 fallbacks, PETSCII in both C64 sets,
// the doubled-PETSCII split and DEC Special Graphics. Pure lookups.
#pragma once
#include <cstdint>

extern const uint16_t cp437_to_unicode[256];
// Code points for the bytes 0x5F-0x7E of the DEC Special Graphics set (ESC ( 0).
extern const uint16_t dec_special_graphics[32];

// Builds the reverse CP437 index; called once at start before any unicode_to_cp437.
void cp437_build_index();
// A code point at most U+FFFF standing for c.
uint32_t unicode_to_bmp(uint32_t c);
// The CP437 byte standing for c.
uint8_t unicode_to_cp437(uint32_t c);
// The code a printable PETSCII byte is kept as: the duplicate ranges 0xC0-0xDF, 0xE0-0xFE and 0xFF fold
// onto 0x60-0x7F, 0xA0-0xBE and 0x7E, which the character tables cover.
inline uint32_t petscii_fold(uint32_t code) {
    if (code == 0xFF) return 0x7E;
    if (code >= 0xE0) return code - 0x40;
    if (code >= 0xC0) return code - 0x60;
    return code;
}
// The glyph of a PETSCII character code in the upper-case/graphics set or the lower/upper-case set.
uint32_t petscii_to_unicode(uint32_t code, int lower, int full_unicode);
// The two half-width glyphs of one doubled 40-column PETSCII cell.
void petscii_double_split(uint32_t glyph, int full_unicode, uint32_t *left, uint32_t *right);
