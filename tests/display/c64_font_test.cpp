#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/c64_font.h"
#include "tests/settings/file_helpers.h"

namespace {

typedef uint8_t GlyphSet[C64_GLYPHS][8];

// A set of 128 glyphs where every glyph differs from the others and from its neighbours' rows.
void pattern_set(GlyphSet out, int salt) {
    for (int g = 0; g < C64_GLYPHS; g++)
        for (int y = 0; y < 8; y++) out[g][y] = (uint8_t)(g * 7 + y * 31 + salt * 13 + (g >> 3) * y);
}

void put16(std::string &s, int at, uint32_t v) {
    s[at] = (char)v, s[at + 1] = (char)(v >> 8);
}
void put32(std::string &s, int at, uint32_t v) {
    put16(s, at, v & 0xFFFF), put16(s, at + 2, v >> 16);
}

// One bitmap of the pair: 256 x 32 pixels, glyph g at column (g % 32) * 8, row (g / 32) * 8. With
// `inverted` the palette's colour 0 is white and colour 1 black (set pixels still use index 1).
std::string make_bmp(const GlyphSet glyphs, int bits, bool top_down, bool inverted = false) {
    const int width = 256, height = 32;
    int palette = bits <= 8 ? 1 << bits : 0;
    int stride = (width * bits + 31) / 32 * 4, offset = 54 + palette * 4;
    std::string s((size_t)offset + (size_t)stride * height, '\0');
    s[0] = 'B', s[1] = 'M';
    put32(s, 2, (uint32_t)s.size());
    put32(s, 10, (uint32_t)offset);
    put32(s, 14, 40);
    put32(s, 18, width);
    put32(s, 22, (uint32_t)(top_down ? -height : height));
    put16(s, 26, 1);
    put16(s, 28, (uint32_t)bits);
    for (int i = 0; i < palette && i < 2; i++) {
        bool white = (i == 1) != inverted;
        for (int k = 0; k < 3; k++) s[54 + i * 4 + k] = white ? (char)0xFF : 0;
    }
    for (int y = 0; y < height; y++) {
        int file_row = top_down ? y : height - 1 - y;
        char *row = &s[(size_t)offset + (size_t)file_row * stride];
        for (int x = 0; x < width; x++) {
            bool set = glyphs[(y / 8) * 32 + x / 8][y % 8] & (0x80 >> (x % 8));
            int index = set ? 1 : 0;
            if (bits == 1) row[x / 8] |= (char)(index << (7 - x % 8));
            if (bits == 4) row[x / 2] |= (char)(index << (x % 2 ? 0 : 4));
            if (bits == 8) row[x] = (char)index;
            if (bits >= 24) memset(row + x * (bits / 8), set ? 0xC0 : 0x20, 3); // 3 x 0xC0 = 576 is bright
        }
    }
    return s;
}

bool same_set(const GlyphSet a, const GlyphSet b) {
    return memcmp(a, b, sizeof(GlyphSet)) == 0;
}

class C64FontTest : public ::testing::Test {
  protected:
    TempDir dir;
    GlyphSet upper, lower;
    void SetUp() override {
        c64_font_reset();
        pattern_set(upper, 1);
        pattern_set(lower, 2);
    }
    void TearDown() override { c64_font_reset(); }
    bool font_is_builtin() const { return memcmp(c64_font(), &kC64BuiltinFont, sizeof(C64Font)) == 0; }
};

TEST_F(C64FontTest, RomFilesOfBothSizesLoadTheirUnreversedHalves) {
    for (size_t size : {4096u, 8192u}) {
        std::string rom(size, '\0');
        for (size_t i = 0; i < size; i++) rom[i] = (char)(i * 13 + i / 256);
        write_file(dir.file("chargen"), rom);
        c64_font_reset();
        ASSERT_EQ(c64_font_try_source(dir.path.c_str()), 1) << size;
        EXPECT_EQ(memcmp(c64_font()->glyphs[0], rom.data(), 1024), 0);
        EXPECT_EQ(memcmp(c64_font()->glyphs[1], rom.data() + 2048, 1024), 0);
        EXPECT_EQ(std::string(c64_font_label()), dir.file("chargen"));
    }
    for (size_t size : {4095u, 8193u}) {
        write_file(dir.file("chargen"), std::string(size, 'x'));
        c64_font_reset();
        EXPECT_EQ(c64_font_try_source(dir.file("chargen").c_str()), 0) << size;
        EXPECT_TRUE(font_is_builtin());
        EXPECT_STREQ(c64_font_label(), "built-in");
    }
}

TEST_F(C64FontTest, BitmapPairsLoadAtEveryDepthAndRowOrder) {
    const std::string label = dir.path + " (CGTerm upper/lower.bmp)";
    for (int bits : {1, 4, 8, 24, 32})
        for (bool top_down : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << top_down);
            write_file(dir.file("upper.bmp"), make_bmp(upper, bits, top_down));
            write_file(dir.file("lower.bmp"), make_bmp(lower, bits, top_down));
            c64_font_reset();
            ASSERT_EQ(c64_font_try_source(dir.path.c_str()), 1);
            EXPECT_TRUE(same_set(c64_font()->glyphs[0], upper));
            EXPECT_TRUE(same_set(c64_font()->glyphs[1], lower));
            EXPECT_EQ(c64_font_label(), label);
        }
    // Naming either bitmap, or any other .bmp in the directory, loads the pair.
    for (const char *name : {"LOWER.BMP", "anything.bmp"}) {
        c64_font_reset();
        EXPECT_EQ(c64_font_try_source(dir.file(name).c_str()), 1) << name;
        EXPECT_EQ(c64_font_label(), label);
    }
}

TEST_F(C64FontTest, BrightnessDecidesNotThePaletteIndex) {
    GlyphSet inverted;
    for (int g = 0; g < C64_GLYPHS; g++)
        for (int y = 0; y < 8; y++) inverted[g][y] = (uint8_t)~upper[g][y];
    for (int bits : {1, 4, 8}) {
        std::string bmp = make_bmp(upper, bits, false, true);
        GlyphSet out;
        ASSERT_EQ(c64_font_convert_bmp((const uint8_t *)bmp.data(), bmp.size(), out), 1);
        EXPECT_TRUE(same_set(out, inverted)) << bits;
    }
}

TEST_F(C64FontTest, AHalfLoadablePairNeverReplacesTheFont) {
    write_file(dir.file("upper.bmp"), make_bmp(upper, 1, false));
    write_file(dir.file("lower.bmp"), make_bmp(lower, 1, false).substr(0, 300));
    EXPECT_EQ(c64_font_try_source(dir.path.c_str()), 0);
    EXPECT_TRUE(font_is_builtin());
    // The same directory's character ROM is the next candidate.
    write_file(dir.file("chargen.bin"), std::string(4096, '\x55'));
    EXPECT_EQ(c64_font_try_source(dir.path.c_str()), 1);
    EXPECT_EQ(std::string(c64_font_label()), dir.file("chargen.bin"));
}

TEST_F(C64FontTest, UnsuitableBitmapsAreRefused) {
    const std::string good = make_bmp(upper, 1, false);
    struct Case {
        const char *name;
        int at, bytes;
        int64_t value;
    } cases[] = {
        {"signature", 0, 2, 0x4D42 + 1},
        {"width below 256", 18, 4, 255},
        {"16 bits per pixel", 28, 2, 16},
    };
    GlyphSet out;
    ASSERT_EQ(c64_font_convert_bmp((const uint8_t *)good.data(), good.size(), out), 1);
    for (const Case &c : cases) {
        std::string bmp = good;
        if (c.bytes == 2)
            put16(bmp, c.at, (uint32_t)c.value);
        else
            put32(bmp, c.at, (uint32_t)c.value);
        EXPECT_EQ(c64_font_convert_bmp((const uint8_t *)bmp.data(), bmp.size(), out), 0) << c.name;
    }
    for (size_t size : {(size_t)0, (size_t)53, good.size() - 1})
        EXPECT_EQ(c64_font_convert_bmp((const uint8_t *)good.data(), size, out), 0) << size;
}

TEST_F(C64FontTest, DiscoveryTriesTheSettingThenTheProgramDirectory) {
    TempDir program;
    write_file(program.file("chargen"), std::string(8192, '\x11'));
    write_file(dir.file("upper.bmp"), make_bmp(upper, 8, true));
    write_file(dir.file("lower.bmp"), make_bmp(lower, 8, true));

    c64_font_discover(dir.file("upper.bmp").c_str(), program.path.c_str());
    EXPECT_TRUE(same_set(c64_font()->glyphs[0], upper));
    c64_font_discover("auto", program.path.c_str()); // any text is a path; this one holds nothing
    EXPECT_EQ(std::string(c64_font_label()), program.file("chargen"));
    c64_font_discover("", dir.file("missing/").c_str());
    EXPECT_STREQ(c64_font_label(), "built-in");
}

} // namespace
