// Decoding of 8-bit text: the CP437 / UTF-8 decision and its evidence rule, the strict decoder, and
// the settling of a sequence whose last bytes never came.
#include "tests/term/screen_text.h"

namespace {

struct DecodeCase {
    const char *name;
    int emulation;
    const char *input;
    const char *codes; // the cells from column 0, as "U+XXXX" words
    int encoding;      // the decision afterwards: 0 undecided, 1 CP437, 2 UTF-8
};

const DecodeCase kDecodeCases[] = {
    // Detecting (ANSI, VT100, TTY while undecided).
    {"three utf8 sequences do not decide", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9", "U+00E9 U+00E9 U+00E9", 0},
    {"four utf8 sequences decide utf8", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9",
     "U+00E9 U+00E9 U+00E9 U+00E9", 2},
    {"three-byte sequences score two", EMU_VT100, "\xe2\x94\x80\xe2\x94\x80", "U+2500 U+2500", 2},
    {"four-byte sequences score two", EMU_TTY, "\xf0\x9f\x98\x80\xf0\x9f\x98\x80x",
     "U+1F600 U+0000 U+1F600 U+0000 U+0078", 2},
    {"one stray byte is no decision", EMU_ANSI, "\x82", "U+00E9", 0},
    {"two stray bytes decide cp437", EMU_ANSI, "\x82\x82", "U+00E9 U+00E9", 1},
    {"evidence must reach the score", EMU_ANSI, "\xe2\x94\x80\xb0\xb0", "U+2500 U+2591 U+2591", 0},
    {"evidence reaching the score decides cp437", EMU_ANSI, "\xe2\x94\x80\xb0\xb0\xb0",
     "U+2500 U+2591 U+2591 U+2591", 1},
    {"evidence blocks a utf8 decision", EMU_ANSI, "\x82\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82",
     "U+00E9 U+00E9 U+00E9 U+00E9 U+00E9 U+00E9 U+00E9", 0},
    {"c1 control is cp437 while detecting", EMU_ANSI, "\xc2\x85", "U+252C U+00E0", 0},
    {"nbsp is utf8 while detecting", EMU_ANSI, "\xc2\xa0|", "U+00A0 U+007C", 0},
    {"lone lead before ascii", EMU_ANSI,
     "\xc3"
     "A",
     "U+251C U+0041", 0},
    {"lone lead before a lead", EMU_ANSI, "\xc3\xc3\xa9", "U+251C U+00E9", 0},
    {"lead before a lead after cp437 decided", EMU_ANSI, "\x82\xc3\xc3\xa9", "U+00E9 U+251C U+251C U+2310",
     1},
    {"lone lead before esc", EMU_ANSI, "\xc3\x1b[1mA", "U+251C U+0041", 0},
    {"lone lead before cr", EMU_ANSI, "x\xc3\r", "U+0078 U+251C", 0},
    {"bad continuation shows the held bytes", EMU_ANSI, "\xe0\x80\x80", "U+03B1 U+00C7 U+00C7", 0},
    {"cp437 decided reads every byte as cp437", EMU_ANSI, "\x82\x82\xc3\xa9", "U+00E9 U+00E9 U+251C U+2310",
     1},
    // Strict (ANSI UTF-8, or the decision UTF-8).
    {"strict c1 control", EMU_UTF8, "\xc2\x85", "U+0085", 0},
    {"strict lone lead before ascii", EMU_UTF8,
     "\xc3"
     "A",
     "U+FFFD U+0041", 0},
    {"strict lone continuation", EMU_UTF8, "\x80", "U+FFFD", 0},
    {"strict overlong two bytes", EMU_UTF8, "\xc0\x80", "U+FFFD U+FFFD", 0},
    {"strict overlong three bytes", EMU_UTF8, "\xe0\x80\x80|", "U+FFFD U+007C", 0},
    {"strict surrogate", EMU_UTF8, "\xed\xa0\x80|", "U+FFFD U+007C", 0},
    {"strict above the last code point", EMU_UTF8, "\xf4\x90\x80\x80|", "U+FFFD U+007C", 0},
    {"strict f5 is no lead", EMU_UTF8, "\xf5|", "U+FFFD U+007C", 0},
    {"strict truncated before a lead", EMU_UTF8, "\xe4\xb8\xc3\xa9", "U+FFFD U+00E9", 0},
    {"strict truncated before a non-lead", EMU_UTF8, "\xe4\xb8\xff|", "U+FFFD U+FFFD U+007C", 0},
    {"strict wide glyph", EMU_UTF8, "\xe4\xb8\xad|", "U+4E2D U+0000 U+007C", 0},
    {"strict combining mark is dropped", EMU_UTF8, "e\xcc\x81|", "U+0065 U+007C", 0},
    {"decided utf8 is strict", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82\xc2\x85",
     "U+00E9 U+00E9 U+00E9 U+00E9 U+FFFD U+0085", 2},
    // Fixed CP437.
    {"cp437 emulation never decodes utf8", EMU_CP437, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9",
     "U+251C U+2310 U+251C U+2310 U+251C U+2310 U+251C U+2310", 0},
};

void PrintTo(const DecodeCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, StoresExpectedCodes) {
    const DecodeCase &c = GetParam();
    TestScreen s(c.emulation);
    screen_feed(s.t, c.input);
    int words = 1;
    for (const char *p = c.codes; *p; p++) words += *p == ' ';
    EXPECT_EQ(screen_codes(s.t, 0, 0, words), c.codes);
    EXPECT_EQ(s.cell(0, words).code, (uint32_t)' ') << "more cells than expected";
    EXPECT_EQ(s->text_encoding, c.encoding);
    EXPECT_EQ(s->utf8_held, 0);
}

INSTANTIATE_TEST_SUITE_P(Text, DecodeTest, testing::ValuesIn(kDecodeCases), CaseName());

TEST(Detection, DecisionStaysUntilTheNextCall) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, "\x82\x82");
    ASSERT_EQ(s->text_encoding, TEXT_CP437);
    screen_feed(s.t, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(s->text_encoding, TEXT_CP437);
    term_reset_call(s.t);
    screen_feed(s.t, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(s->text_encoding, TEXT_UTF8);
}

struct StallCase {
    const char *name;
    int emulation;
    const char *input; // ends in an unfinished sequence
    const char *codes; // after term_resolve_pending
    int evidence;
};

const StallCase kStallCases[] = {
    {"detecting shows the bytes as cp437", EMU_ANSI, "\xe2\x94", "U+0393 U+00F6", 1},
    {"detecting in tty", EMU_TTY, "a\xf0\x9f\x98", "U+0061 U+2261 U+0192 U+00FF", 1},
    {"strict shows a replacement", EMU_UTF8, "\xe2\x94", "U+FFFD", 0},
    {"decided utf8 shows a replacement", EMU_VT100, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xe2",
     "U+00E9 U+00E9 U+00E9 U+00E9 U+FFFD", 0},
};

void PrintTo(const StallCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class StallTest : public testing::TestWithParam<StallCase> {};

TEST_P(StallTest, ResolveSettlesTheHeldBytes) {
    const StallCase &c = GetParam();
    TestScreen s(c.emulation);
    screen_feed(s.t, c.input);
    EXPECT_GT(s->utf8_held, 0);
    term_resolve_pending(s.t);
    EXPECT_EQ(s->utf8_held, 0);
    int words = 1;
    for (const char *p = c.codes; *p; p++) words += *p == ' ';
    EXPECT_EQ(screen_codes(s.t, 0, 0, words), c.codes);
    EXPECT_EQ(s->cp437_evidence, c.evidence);
    // Settling twice changes nothing more.
    std::string before = screen_dump(s.t);
    term_resolve_pending(s.t);
    EXPECT_EQ(screen_dump(s.t), before);
}

INSTANTIATE_TEST_SUITE_P(Text, StallTest, testing::ValuesIn(kStallCases), CaseName());

// Bytes held when the user switches to PETSCII must not land on the PETSCII screen as Unicode.
TEST(Stall, ResolveAfterSwitchToPetsciiWritesNothing) {
    TestScreen s(EMU_ANSI, 25);
    screen_feed(s.t, "\xe2\x94");
    term_set_emulation(s.t, EMU_PETSCII40, 25);
    term_resolve_pending(s.t);
    EXPECT_EQ(s->utf8_held, 0);
    EXPECT_EQ(s->cursor_column, 0);
    EXPECT_EQ(s.cell(0, 0).code, (uint32_t)' ');
}

} // namespace
