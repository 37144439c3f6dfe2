// Character mappings where a wrong fallback shows a wrong character: Unicode to CP437, PETSCII in
// both sets, the doubled 40-column split. The CP437 table itself is read back through the interpreters.
#include <gtest/gtest.h>

#include <utility>

#include "term/charset.h"
#include "term/terminal.h"

namespace {

TEST(Charset, UnicodeToCp437KeepsEveryCp437CharacterAndFallsBack) {
    term_build_tables();
    for (int b = 0x21; b < 256; b++) EXPECT_EQ(unicode_to_cp437(cp437_to_unicode[b]), b) << b;
    const struct {
        uint32_t code;
        int byte;
    } kCases[] = {
        {0xC0, 'A'},     // Latin-1 fold
        {0x2501, 0xC5},  // a box drawing character CP437 lacks: the cross
        {0x1FB00, 0xDF}, // a sextant: its quadrant form, then the fallback table
        {0x1F600, 0x01}, // pictographs show as a smiling face
        {0x07, ' '},     // controls are spaces
        {0x4E2D, '?'},   {0x110000, '?'},
    };
    for (auto c : kCases) EXPECT_EQ(unicode_to_cp437(c.code), c.byte) << std::hex << c.code;
}

TEST(Charset, PetsciiGlyphsFoldAndFollowTheCharacterSet) {
    const struct {
        uint32_t code;
        int lower, full;
        uint32_t glyph;
    } kCases[] = {
        {0xC1, 0, 1, 0x2660},  {0xC1, 1, 1, 'A'}, {0x41, 1, 1, 'a'},     {0xFF, 0, 1, 0x3C0},
        {0xFF, 1, 1, 0x1FB96}, {0x8D, 0, 1, ' '}, {0xBA, 0, 1, 0x1FB7F}, {0xBA, 0, 0, 0x2518},
        {0xBA, 1, 1, 0x2713},  {0xE0, 0, 1, ' '}, {0x5C, 0, 1, 0xA3},
    };
    for (auto c : kCases)
        EXPECT_EQ(petscii_to_unicode(c.code, c.lower, c.full), c.glyph)
            << std::hex << c.code << " lower " << c.lower << " full " << c.full;
}

TEST(Charset, DoubledPetsciiCellSplitsIntoTwoHalves) {
    const struct {
        uint32_t glyph;
        int full;
        uint32_t left, right;
    } kCases[] = {
        {0x2502, 1, 0x2595, 0x258F}, {0x2502, 0, ' ', 0x2502},     {'A', 1, 'A', ' '},
        {0x2510, 1, 0x2500, 0x2510}, {0x1FB7E, 0, 0x2500, 0x2510}, {0x259A, 1, 0x2580, 0x2584},
    };
    for (auto c : kCases) {
        uint32_t l = 0, r = 0;
        petscii_double_split(c.glyph, c.full, &l, &r);
        EXPECT_EQ(std::make_pair(l, r), std::make_pair(c.left, c.right)) << std::hex << c.glyph;
    }
}

} // namespace
