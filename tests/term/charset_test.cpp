// Character mappings: CP437 both ways, the BMP fallback, PETSCII in both sets, the doubled split,
// UTF-8 encoding.
#include <gtest/gtest.h>

#include <cstring>

#include "term/charset.h"
#include "term/terminal.h"

namespace {

struct Charset : ::testing::Test {
    static void SetUpTestSuite() { term_build_tables(); }
};

TEST_F(Charset, Cp437TableSpots) {
    struct {
        int byte;
        uint32_t code;
    } spots[] = {{0x00, 0x20}, {0x01, 0x263A}, {0x03, 0x2665}, {0x1F, 0x25BC}, {0x41, 'A'},
                 {0x7F, 0x2302}, {0x80, 0xC7}, {0x82, 0xE9}, {0xB0, 0x2591}, {0xC4, 0x2500},
                 {0xC9, 0x2554}, {0xDB, 0x2588}, {0xE3, 0x3C0}, {0xFE, 0x25A0}, {0xFF, 0xA0}};
    for (auto s : spots) EXPECT_EQ(cp437_to_unicode[s.byte], s.code) << s.byte;
}

TEST_F(Charset, UnicodeToCp437) {
    struct {
        uint32_t code;
        int byte;
    } cases[] = {
        {0xE9, 0x82},    // in the code page
        {0xC0, 'A'},     // Latin-1 fold
        {0xD7, 'x'},     // multiplication sign folds to x
        {0x2554, 0xC9},  // double box corner
        {0x2501, 0xC5},  // a box drawing character CP437 lacks: the cross
        {0x2580, 0xDF},  // upper half block
        {0x1FB00, 0xDF}, // a sextant: quadrant form U+2598, then the fallback table
        {0x1F600, 0x01}, // pictographs show as a smiling face
        {0x07, ' '},     // controls are spaces
        {0x20, ' '},
        {0x7F, 0x7F},
        {0x20AC, 'E'},   // euro
        {0x2019, '\''},
        {0x2713, 0xFB},
        {0x263A, 0x01},
        {0x4E2D, '?'},   // nothing like it
        {0x110000, '?'}, // beyond Unicode
        {0xFFFD, '?'},
    };
    for (auto c : cases) EXPECT_EQ(unicode_to_cp437(c.code), c.byte) << std::hex << c.code;
    // every CP437 character comes back as its own byte
    for (int b = 0x21; b < 256; b++) EXPECT_EQ(unicode_to_cp437(cp437_to_unicode[b]), b) << b;
}

TEST_F(Charset, UnicodeToBmp) {
    struct {
        uint32_t in, out;
    } cases[] = {
        {0x41, 0x41},       {0xFFFF, 0xFFFF},  {0x1FB00, 0x2598}, {0x1FB3B, 0x259F}, {0x1FB14, 0x259E},
        {0x1FB13, 0x2596},  // middle and lower left: the middle row merges downwards
        {0x1FB70, 0x2502},  {0x1FB7B, 0x2500}, {0x1FB7F, 0x2518}, {0x1FB82, 0x2580}, {0x1FB89, 0x2590},
        {0x1FB96, 0x2592},  {0x1FB80, '?'},    {0x1F300, 0x263A}, {0x1FAFF, 0x263A}, {0x20000, '?'},
        {0x110000, '?'},
    };
    for (auto c : cases) EXPECT_EQ(unicode_to_bmp(c.in), c.out) << std::hex << c.in;
}

TEST_F(Charset, PetsciiToUnicode) {
    struct {
        uint32_t code;
        int lower, full;
        uint32_t out;
    } cases[] = {
        {0xC1, 0, 1, 0x2660},  {0xC1, 1, 1, 'A'},     {0x41, 1, 1, 'a'},     {0x41, 0, 1, 'A'},
        {0xFF, 0, 1, 0x3C0},   {0xFF, 1, 1, 0x1FB96}, {0x8D, 0, 1, ' '},     {0xBA, 1, 1, 0x2713},
        {0xBA, 1, 0, 0x2713},  {0xBA, 0, 1, 0x1FB7F}, {0xBA, 0, 0, 0x2518},  {0x5C, 0, 1, 0xA3},
        {0x5E, 1, 1, 0x2191},  {0x5F, 0, 1, 0x2190},  {0xA0, 0, 1, ' '},     {0xE0, 0, 1, ' '},
        {0x74, 0, 0, 0x258F},  {0x79, 0, 0, 0x2595},  {0x65, 0, 0, 0x2594},  {0x72, 0, 0, 0x2581},
        {0xB7, 0, 0, 0x2580},  {0xAA, 0, 0, 0x2590},  {0x7C, 0, 0, 0x2592},  {0x62, 0, 0, 0x2502},
        {0x62, 0, 1, 0x1FB72}, {0x31, 1, 1, '1'},     {0x05, 0, 1, ' '},     {0xA9, 1, 0, 0x2592},
    };
    for (auto c : cases)
        EXPECT_EQ(petscii_to_unicode(c.code, c.lower, c.full), c.out)
            << std::hex << c.code << " lower " << c.lower << " full " << c.full;
}

TEST_F(Charset, PetsciiDoubleSplit) {
    struct {
        uint32_t glyph;
        int full;
        uint32_t left, right;
    } cases[] = {
        {0x2502, 1, 0x2595, 0x258F}, {0x2502, 0, ' ', 0x2502},     {0x2500, 0, 0x2500, 0x2500},
        {'A', 1, 'A', ' '},          {0x250C, 1, ' ', 0x250C},     {0x2510, 1, 0x2500, 0x2510},
        {0x1FB7E, 1, 0x2594, 0x1FB7E}, {0x1FB7F, 1, 0x1FB7B, 0x1FB7F}, {0x1FB7E, 0, 0x2500, 0x2510},
        {0x258C, 1, 0x2588, ' '},    {0x2590, 1, ' ', 0x2588},     {0x259A, 1, 0x2580, 0x2584},
        {0x25E5, 1, 0x2580, 0x2588}, {0x1FB74, 0, ' ', 0x2502},    {0x1FB76, 0, 0x2500, 0x2500},
    };
    for (auto c : cases) {
        uint32_t l = 0, r = 0;
        petscii_double_split(c.glyph, c.full, &l, &r);
        EXPECT_EQ(l, c.left) << std::hex << c.glyph;
        EXPECT_EQ(r, c.right) << std::hex << c.glyph;
    }
}

TEST_F(Charset, Utf8Encode) {
    struct {
        uint32_t code;
        const char *bytes;
    } cases[] = {{0x41, "A"},
                 {0xE9, "\xC3\xA9"},
                 {0x20AC, "\xE2\x82\xAC"},
                 {0xFFFF, "\xEF\xBF\xBF"},
                 {0x1F600, "\xF0\x9F\x98\x80"},
                 {0x10FFFF, "\xF4\x8F\xBF\xBF"}};
    for (auto c : cases) {
        uint8_t out[4] = {};
        int n = utf8_encode(c.code, out);
        ASSERT_EQ(n, (int)strlen(c.bytes));
        EXPECT_EQ(memcmp(out, c.bytes, n), 0) << std::hex << c.code;
    }
}

TEST_F(Charset, DecSpecialGraphics) {
    EXPECT_EQ(dec_special_graphics['l' - 0x5F], 0x250Cu);
    EXPECT_EQ(dec_special_graphics['q' - 0x5F], 0x2500u);
    EXPECT_EQ(dec_special_graphics['k' - 0x5F], 0x2510u);
    EXPECT_EQ(dec_special_graphics['~' - 0x5F], 0xB7u);
}

} // namespace
