// Emulation names and the text helpers. (The charset label is checked with the status bar.)
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "base/emulation.h"
#include "base/text.h"

namespace {

TEST(Emulation, FromName) {
    const struct {
        const char *word;
        int emulation;
    } kCases[] = {
        {"ANSI", 0}, {"ansi-bbs", 0}, {"cp437", 1},   {"utf-8", 2}, {"UTF8", 2},   {"vt100", 3},
        {"dumb", 4}, {"none", 4},     {"PETSCII", 5}, {"c64", 5},   {"pet40", 5},  {"petscii80", 6},
        {"C128", 6}, {"pet80", 6},    {"vt102", -1},  {"", -1},     {"ansi ", -1}, {nullptr, -1},
    };
    for (auto c : kCases) EXPECT_EQ(emulation_from_name(c.word), c.emulation) << (c.word ? c.word : "null");
}

TEST(Text, CaseFoldingCompareAndFind) {
    EXPECT_EQ(text_casecmp("Hello", "hELLO"), 0);
    EXPECT_EQ(text_casecmp("\xC9", "\xE9"), 0xC9 - 0xE9); // only A-Z fold
    EXPECT_GT(text_casecmp("abc", "ab"), 0);
    EXPECT_EQ(text_ncasecmp("abcdef", "ABCxyz", 3), 0);
    EXPECT_NE(text_ncasecmp("ab", "abc", 10), 0);
    const char *text = "Welcome to the BBS";
    EXPECT_EQ(text_find(text, "bbs"), text + 15);
    EXPECT_EQ(text_find(text, ""), text);
    EXPECT_EQ(text_find(text, "BBS!"), nullptr);
}

TEST(Text, BoundedFormatCopyAndTrimAlwaysTerminate) {
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(text_format(buf, sizeof buf, "%s-%d", "port", 2323), 7);
    EXPECT_STREQ(buf, "port-23");
    EXPECT_EQ(text_format(buf, 0, "%d", 5), 0);
    EXPECT_EQ(buf[0], 'p'); // size 0 writes nothing
    text_copy(buf, "abcdefghij", sizeof buf);
    EXPECT_STREQ(buf, "abcdefg");
    text_copy(buf, "zz", 1);
    EXPECT_STREQ(buf, "");
    for (auto [in, out] : {std::pair{"  a b \t\r\n", "a b"}, {"\t\tx", "x"}, {" \r\n ", ""}}) {
        char line[16];
        text_trim(strcpy(line, in));
        EXPECT_STREQ(line, out) << in;
    }
}

} // namespace
