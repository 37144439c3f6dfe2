// Character mappings: Unicode to CP437 and to the BMP, PETSCII in both sets, the doubled split, UTF-8
// encoding. The CP437 table itself is read back through the interpreter tests.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "term/charset.h"
#include "term/terminal.h"
#include "base/utf8.h"

namespace {

struct Charset : ::testing::Test {
    static void SetUpTestSuite() { term_build_tables(); }
};

TEST_F(Charset, UnicodeToCp437) {
    const struct {
        uint32_t code;
        int byte;
    } kCases[] = {
        {0xC0, 'A'},     // Latin-1 fold
        {0xD7, 'x'},     // multiplication sign folds to x
        {0x2501, 0xC5},  // a box drawing character CP437 lacks: the cross
        {0x1FB00, 0xDF}, // a sextant: quadrant form U+2598, then the fallback table
        {0x1F600, 0x01}, // pictographs show as a smiling face
        {0x07, ' '},     // controls are spaces
        {0x20AC, 'E'},   {0x2019, '\''}, {0x2713, 0xFB}, {0x4E2D, '?'}, // nothing like it
        {0x110000, '?'},                                                // beyond Unicode
    };
    for (auto c : kCases) EXPECT_EQ(unicode_to_cp437(c.code), c.byte) << std::hex << c.code;
    // every CP437 character comes back as its own byte
    for (int b = 0x21; b < 256; b++) EXPECT_EQ(unicode_to_cp437(cp437_to_unicode[b]), b) << b;
}

TEST_F(Charset, UnicodeToBmp) {
    const struct {
        uint32_t in, out;
    } kCases[] = {
        {0xFFFF, 0xFFFF},  {0x1FB00, 0x2598}, {0x1FB3B, 0x259F}, {0x1FB14, 0x259E},
        {0x1FB13, 0x2596}, // middle and lower left: the middle row merges downwards
        {0x1FB70, 0x2502}, {0x1FB7F, 0x2518}, {0x1FB82, 0x2580}, {0x1FB96, 0x2592},
        {0x1FB80, '?'},    {0x1F300, 0x263A}, {0x1FAFF, 0x263A}, {0x20000, '?'},
    };
    for (auto c : kCases) EXPECT_EQ(unicode_to_bmp(c.in), c.out) << std::hex << c.in;
}

TEST_F(Charset, PetsciiToUnicode) {
    const struct {
        uint32_t code;
        int lower, full;
        uint32_t out;
    } kCases[] = {
        {0xC1, 0, 1, 0x2660},  {0xC1, 1, 1, 'A'},     {0x41, 1, 1, 'a'},    {0x41, 0, 1, 'A'},
        {0xFF, 0, 1, 0x3C0},   {0xFF, 1, 1, 0x1FB96}, {0x8D, 0, 1, ' '},    {0xBA, 1, 1, 0x2713},
        {0xBA, 0, 1, 0x1FB7F}, {0xBA, 0, 0, 0x2518},  {0x5C, 0, 1, 0xA3},   {0x5E, 1, 1, 0x2191},
        {0xE0, 0, 1, ' '},     {0x74, 0, 0, 0x258F},  {0xB7, 0, 0, 0x2580}, {0x62, 0, 1, 0x1FB72},
        {0x05, 0, 1, ' '},     {0xA9, 1, 0, 0x2592},
    };
    for (auto c : kCases)
        EXPECT_EQ(petscii_to_unicode(c.code, c.lower, c.full), c.out)
            << std::hex << c.code << " lower " << c.lower << " full " << c.full;
}

TEST_F(Charset, PetsciiDoubleSplit) {
    const struct {
        uint32_t glyph;
        int full;
        uint32_t left, right;
    } kCases[] = {
        {0x2502, 1, 0x2595, 0x258F}, {0x2502, 0, ' ', 0x2502},      {'A', 1, 'A', ' '},
        {0x2510, 1, 0x2500, 0x2510}, {0x1FB7E, 1, 0x2594, 0x1FB7E}, {0x1FB7E, 0, 0x2500, 0x2510},
        {0x258C, 1, 0x2588, ' '},    {0x259A, 1, 0x2580, 0x2584},   {0x25E5, 1, 0x2580, 0x2588},
        {0x1FB74, 0, ' ', 0x2502},
    };
    for (auto c : kCases) {
        uint32_t l = 0, r = 0;
        petscii_double_split(c.glyph, c.full, &l, &r);
        EXPECT_EQ(std::make_pair(l, r), std::make_pair(c.left, c.right)) << std::hex << c.glyph;
    }
}

TEST_F(Charset, Utf8EncodeAtEachLengthBoundary) {
    const struct {
        uint32_t code;
        const char *bytes;
        // clang-format off
    } kCases[] = {{0x7F, "\x7f"}, {0x80, "\xC2\x80"}, {0x7FF, "\xDF\xBF"}, {0xFFFF, "\xEF\xBF\xBF"},
                  {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
    // clang-format on
    for (auto c : kCases) {
        uint8_t out[4];
        EXPECT_EQ(std::string((char *)out, (size_t)utf8_encode(c.code, out)), c.bytes) << std::hex << c.code;
    }
}

} // namespace
