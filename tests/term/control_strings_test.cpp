// Control strings, ANSI music, dropped and abandoned sequences, C0 controls shown as CP437 symbols,
// DEC Special Graphics with G0 / G1, and TTY, which interprets no escape sequences.
#include "tests/term/screen_text.h"

using namespace std::string_literals;

namespace {

struct TextCase {
    const char *name;
    int emulation;
    std::string input;
    const char *text;
};

const TextCase kTextCases[] = {
    {"osc ends with bel", EMU_ANSI, "\x1b]0;title\aok", "ok"},
    {"dcs ends with st", EMU_ANSI, "\x1bPq#0;2;0;0;0\x1b\\ok", "ok"},
    {"apc pm sos", EMU_VT100, "\x1b_a\x1b\\\x1b^b\x1b\\\x1bX\x1b[31mc\x1b\\ok", "ok"},
    {"esc inside a string", EMU_ANSI,
     "\x1b]a\x1b"
     "bc\x1b\x1b\\d\aok",
     "ok"},
    {"music up to so", EMU_ANSI, "\x1b[NT120L8CDE\x0eok", "ok"},
    {"music with vertical bar", EMU_ANSI, "\x1b[|MFL8CDE\x0eok", "ok"},
    {"music ended by esc", EMU_ANSI, "\x1b[Nabc\x1b[Cok", " ok"},
    {"csi M is delete line not music", EMU_ANSI, "\x1b[MFL8C\x0eok", "FL8Cok"},
    {"private N is not music", EMU_ANSI, "\x1b[?Nab", "ab"},
    {"unknown esc dropped", EMU_ANSI,
     "\x1bZa\x1b\x01"
     "b",
     "ab"},
    {"designation of other sets dropped", EMU_ANSI, "\x1b#8a\x1b%Gb", "ab"},
    {"csi abandoned by a high byte", EMU_ANSI, "\x1b[1\xe9mX", "mX"},
    {"csi abandoned by del", EMU_ANSI, "\x1b[1\x7fmX", "mX"},
    {"nul and del ignored", EMU_ANSI, "a\0b\x7f"s, "ab"},
    {"control symbol while undecided", EMU_ANSI, "\x03\x10\x1f", "♥►▼"},
    {"control symbol in cp437", EMU_CP437, "\x01\x1a", "☺→"},
    {"control symbol inside csi", EMU_CP437,
     "\x1b[3\x03"
     "1mX",
     "♥X"},
    {"no control symbols in vt100", EMU_VT100, "\x03x", "x"},
    {"no control symbols in utf8", EMU_UTF8, "\x03x", "x"},
    {"no control symbols once utf8 is decided", EMU_ANSI, "éééé\x03", "éééé"},
    {"so and si ignored outside vt100", EMU_ANSI,
     "a\x0e"
     "b\x0f",
     "ab"},
    {"tty shows escape sequences as text", EMU_TTY, "\x1b[2J\x1b]0;x\a", "[2J]0;x"},
    {"tty ignores control symbols", EMU_TTY, "\x03x", "x"},
    {"dec graphics in g0", EMU_ANSI, "\x1b(0lqk\x1b(Blqk", "┌─┐lqk"},
    {"dec graphics leaves letters", EMU_ANSI, "\x1b(0ABC^", "ABC^"},
    {"dec graphics whole range", EMU_ANSI, "\x1b(0_`abcdefghijklmnopqrstuvwxyz{|}~",
     "\u00a0◆▒␉␌␍␊°±␤␋┘┐┌└┼⎺⎻─⎼⎽├┤┴┬│≤≥π≠£·"},
    {"other designations select the normal set", EMU_ANSI, "\x1b(0\x1b(Aq\x1b(0\x1b(1q", "qq"},
    {"g1 is used only after so in vt100", EMU_VT100, "\x1b)0q\x0eq\x0fq", "q─q"},
    {"so without a g1 designation", EMU_VT100, "\x0eq", "q"},
    {"g1 ignored without so in ansi", EMU_ANSI, "\x1b)0\x0eq", "q"},
    {"dec graphics and cp437 bytes", EMU_CP437, "\x1b(0\xc4q", "──"},
    {"ris selects the normal set", EMU_ANSI,
     "\x1b(0\x1b"
     "cq",
     "q"},
};

void PrintTo(const TextCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class TextTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextTest, ShowsExpectedText) {
    const TextCase &c = GetParam();
    TestScreen s(c.emulation);
    screen_feed(s.t, c.input);
    EXPECT_EQ(screen_text(s.t), c.text);
    EXPECT_EQ(s->parser_state, 0);
}

INSTANTIATE_TEST_SUITE_P(Ansi, TextTest, testing::ValuesIn(kTextCases), CaseName());

TEST(Bell, CountsEveryBel) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, "\a\x1b[1\a;31m\a");
    EXPECT_EQ(s->bell_count, 3);
    EXPECT_EQ(screen_text(s.t), "");
}

TEST(ControlString, SwallowsMegabytesWithoutEnd) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, "\x1bP");
    std::string junk(1 << 20, 'x');
    for (int i = 0; i < 4; i++) term_feed(s.t, (const uint8_t *)junk.data(), (int)junk.size());
    EXPECT_EQ(screen_text(s.t), "");
    screen_feed(s.t, "\x1b\\ok");
    EXPECT_EQ(screen_text(s.t), "ok");
}

} // namespace
