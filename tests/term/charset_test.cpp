// Unicode to CP437, where a wrong fallback shows a wrong character. PETSCII glyphs are checked through
// the PETSCII screen and the composer.
#include <gtest/gtest.h>

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

} // namespace
