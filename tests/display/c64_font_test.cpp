#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "display/c64_font.h"
#include "tests/settings/file_helpers.h"

namespace {

typedef uint8_t GlyphSet[C64_GLYPHS][8];

// A little-endian field of a bitmap header.
void put(std::string &s, int at, int bytes, int64_t value) {
    for (int i = 0; i < bytes; i++) s[at + i] = (char)(value >> 8 * i);
}

// One bitmap of the pair: 256 x 32 pixels, glyph g at column (g % 32) * 8, row (g / 32) * 8. With
// `inverted` the palette's colour 0 is the white one and set pixels use index 0: the picture is the same.
std::string make_bmp(const GlyphSet glyphs, int bits, bool top_down, bool inverted = false) {
    const int width = 256, height = 32, palette = bits <= 8 ? 1 << bits : 0;
    const int stride = (width * bits + 31) / 32 * 4, offset = 54 + palette * 4;
    std::string s((size_t)offset + (size_t)stride * height, '\0');
    s.replace(0, 2, "BM");
    put(s, 10, 4, offset);
    put(s, 14, 4, 40); // header size
    put(s, 18, 4, width);
    put(s, 22, 4, top_down ? -height : height);
    put(s, 28, 2, bits);
    if (palette) s.replace(54 + (inverted ? 0 : 4), 3, "\xFF\xFF\xFF");
    for (int y = 0; y < height; y++) {
        char *row = &s[(size_t)offset + (size_t)(top_down ? y : height - 1 - y) * stride];
        for (int x = 0; x < width; x++) {
            bool set = glyphs[(y / 8) * 32 + x / 8][y % 8] & (0x80 >> (x % 8));
            if (bits <= 8)
                row[x * bits / 8] |= (char)((set != inverted) << (8 - bits - x * bits % 8));
            else
                memset(row + x * (bits / 8), set ? 0xC0 : 0x20, 3); // 3 x 0xC0 = 576 is bright
        }
    }
    return s;
}

int convert(const std::string &bmp, GlyphSet out) {
    return c64_font_convert_bmp((const uint8_t *)bmp.data(), bmp.size(), out);
}

class C64FontTest : public ::testing::Test {
  protected:
    TempDir dir;
    GlyphSet upper, lower; // every glyph differs from the others and from the other set's
    void SetUp() override {
        c64_font_reset();
        for (int i = 0; i < C64_GLYPHS * 8; i++) {
            int g = i / 8, y = i % 8;
            upper[g][y] = (uint8_t)(g * 7 + y * 31 + (g >> 3) * y);
            lower[g][y] = (uint8_t)~upper[g][y];
        }
    }
};

TEST_F(C64FontTest, RomFilesOfBothSizesLoadTheirUnreversedHalves) {
    std::string rom(8192, '\0');
    for (size_t i = 0; i < rom.size(); i++) rom[i] = (char)(i * 13 + i / 256);
    for (size_t size : {4096u, 8192u}) {
        write_file(dir.file("chargen"), rom.substr(0, size));
        ASSERT_EQ(c64_font_try_source(dir.path.c_str()), 1) << size;
        EXPECT_EQ(memcmp(c64_font()->glyphs[0], rom.data(), 1024), 0);
        EXPECT_EQ(memcmp(c64_font()->glyphs[1], rom.data() + 2048, 1024), 0);
    }
    // A setting's file of any other size is no ROM: discovery goes on to the program's directory.
    write_file(dir.file("odd.bin"), rom.substr(0, 4095));
    c64_font_discover(dir.file("odd.bin").c_str(), dir.path.c_str());
    EXPECT_EQ(std::string(c64_font_label()), dir.file("chargen"));
}

// Set pixels are the bright ones, whatever their palette index.
TEST_F(C64FontTest, BitmapsConvertAtEveryDepthRowOrderAndPalette) {
    for (int bits : {1, 4, 8, 24, 32})
        for (bool top_down : {false, true})
            for (bool inverted : {false, true}) {
                GlyphSet out;
                ASSERT_EQ(convert(make_bmp(upper, bits, top_down, inverted), out), 1) << bits << " bits";
                EXPECT_EQ(memcmp(out, upper, sizeof out), 0) << bits << " bits, top-down " << top_down;
            }
}

TEST_F(C64FontTest, UnsuitableBitmapsAreRefused) {
    const std::string good = make_bmp(upper, 1, false);
    const std::tuple<const char *, int, int, int> cases[] = {
        // what is wrong, where, field size, value
        {"signature", 0, 2, 0x4D43},      {"width below 256", 18, 4, 255}, {"height below 32", 22, 4, 31},
        {"16 bits per pixel", 28, 2, 16}, {"compressed", 30, 4, 1},
    };
    GlyphSet out;
    for (const auto &[name, at, bytes, value] : cases) {
        std::string bmp = good;
        put(bmp, at, bytes, value);
        EXPECT_EQ(convert(bmp, out), 0) << name;
    }
    EXPECT_EQ(convert(good.substr(0, good.size() - 1), out), 0) << "cut short";
}

// Both bitmaps of a pair must convert before either replaces the font.
TEST_F(C64FontTest, BitmapPairsLoadBothSetsOrNone) {
    write_file(dir.file("upper.bmp"), make_bmp(upper, 8, true));
    write_file(dir.file("lower.bmp"), make_bmp(lower, 8, true).substr(0, 300));
    EXPECT_EQ(c64_font_try_source(dir.path.c_str()), 0);
    EXPECT_EQ(memcmp(c64_font(), &kC64BuiltinFont, sizeof(C64Font)), 0);
    write_file(dir.file("lower.bmp"), make_bmp(lower, 8, true));
    EXPECT_EQ(c64_font_try_source(dir.file("any.BMP").c_str()), 1); // a bitmap names its directory
    EXPECT_EQ(memcmp(c64_font()->glyphs[0], upper, sizeof upper), 0);
    EXPECT_EQ(memcmp(c64_font()->glyphs[1], lower, sizeof lower), 0);
    EXPECT_EQ(c64_font_label(), dir.path + " (CGTerm upper/lower.bmp)");
}

} // namespace
