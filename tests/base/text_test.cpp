// The text helpers and the one UTF-8 decoder and encoder.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "base/utf8.h"

TEST(Text, CaseFoldingCompareAndFind) {
    EXPECT_EQ(text_casecmp("Hello", "hELLO"), 0);
    EXPECT_EQ(text_casecmp("\xC9", "\xE9"), 0xC9 - 0xE9); // only A-Z fold
    EXPECT_STREQ(text_find("Welcome to the BBS", "bbs"), "BBS");
    EXPECT_EQ(text_find("Welcome to the BBS", "BBS!"), nullptr);
}

// utf8_decode gives a character's length and code, 0 when more bytes are needed, -n for n bad bytes.
TEST(Utf8, DecodeIsStrictAndSaysHowManyBytesAreBad) {
    const struct {
        std::string bytes;
        int result, code;
    } kCases[] = {
        {"\xc3\xa9", 2, 0xE9},
        {"\xef\xbf\xbd", 3, 0xFFFD},
        {"\xf4\x8f\xbf\xbf", 4, 0x10FFFF},
        {"\xe2\x94", 0, 0},          // more to come
        {"\x80", -1, 0},             // a continuation cannot start a character
        {"\xc0\x80", -1, 0},         // nor can an overlong lead
        {"\xe2\x41", -1, 0},         // broken after one byte: the A is read anew
        {"\xf0\x9f\x98\x41", -3, 0}, // broken after three
        {"\xe0\x80\x80", -3, 0},     // overlong: the whole form is bad
        {"\xed\xa0\x80", -3, 0},     // a surrogate
        {"\xf4\x90\x80\x80", -4, 0}, // beyond U+10FFFF
    };
    for (const auto &c : kCases) {
        uint32_t code = 0;
        EXPECT_EQ(utf8_decode((const uint8_t *)c.bytes.data(), (long)c.bytes.size(), &code), c.result)
            << testing::PrintToString(c.bytes);
        if (c.result > 1) { // the code, and it comes back as the same bytes
            uint8_t out[4];
            EXPECT_EQ(code, (uint32_t)c.code) << testing::PrintToString(c.bytes);
            EXPECT_EQ(std::string((char *)out, (size_t)utf8_encode(code, out)), c.bytes);
        }
    }
}
