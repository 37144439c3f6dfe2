// Decoding of 8-bit text: the CP437 / UTF-8 decision and its evidence rule, the strict decoder, and
// the settling of a sequence whose last bytes never came.
#include "tests/term/screen_text.h"

namespace {

struct DecodeCase {
    const char *name;
    int emulation;
    const char *input;
    bool settle;       // term_resolve_pending after the input, as the shell does after a silence
    const char *codes; // the cells from column 0; the cell after them is blank
    int encoding;      // the decision afterwards: 0 undecided, 1 CP437, 2 UTF-8
    int evidence;
};

// clang-format off
const DecodeCase kDecodeCases[] = {
    // Detecting: ANSI, VT100 and TTY while undecided.
    {"four decide utf8", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9", 0, "U+00E9 U+00E9 U+00E9 U+00E9", 2, 0},
    {"longer sequences score two", EMU_TTY, "\xe2\x94\x80\xf0\x9f\x98\x80", 0, "U+2500 U+1F600 U+0000", 2, 0},
    {"two stray bytes decide cp437", EMU_ANSI, "\x82\x82", 0, "U+00E9 U+00E9", 1, 2},
    {"evidence reaching the score", EMU_ANSI, "\xe2\x94\x80\xb0\xb0\xb0", 0, "U+2500 U+2591 U+2591 U+2591", 1, 3},
    {"evidence blocks utf8", EMU_ANSI, "\x82\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82", 0, "U+00E9 U+00E9 U+00E9 U+00E9 U+00E9 U+00E9", 0, 2},
    {"c1 control is cp437", EMU_ANSI, "\xc2\x85", 0, "U+252C U+00E0", 0, 1},
    {"lone lead before esc ascii and cr", EMU_ANSI, "\xc3\x1b[1mA\xc3" "B\xc3\r", 0, "U+251C U+0041 U+251C U+0042 U+251C", 1, 2},
    {"overlong shows the held bytes", EMU_ANSI, "\xe0\x80\x80", 0, "U+03B1 U+00C7 U+00C7", 0, 1},
    {"settled as cp437", EMU_TTY, "a\xf0\x9f\x98", 1, "U+0061 U+2261 U+0192 U+00FF", 0, 1},
    // Strict: ANSI UTF-8, or the decision UTF-8.
    {"strict lone lead and continuation", EMU_UTF8, "\xc3" "A\x80", 0, "U+FFFD U+0041 U+FFFD", 0, 0},
    {"strict overlong and surrogate", EMU_UTF8, "\xc0\x80\xe0\x80\x80\xed\xa0\x80", 0, "U+FFFD U+FFFD U+FFFD U+FFFD", 0, 0},
    {"strict wide and combining", EMU_UTF8, "\xe4\xb8\xad" "e\xcc\x81|", 0, "U+4E2D U+0000 U+0065 U+007C", 0, 0},
    {"decided utf8 is strict", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82\xc2\x85\xe2", 1, "U+00E9 U+00E9 U+00E9 U+00E9 U+FFFD U+0085 U+FFFD", 2, 0},
    {"settled strict", EMU_UTF8, "\xe2\x94", 1, "U+FFFD", 0, 0},
    {"cp437 emulation never decodes utf8", EMU_CP437, "\xc3\xa9", 0, "U+251C U+2310", 0, 0},
};
// clang-format on

TEST(Decode, StoresExpectedCodes) {
    for (const DecodeCase &c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        TestScreen s(c.emulation);
        screen_feed(s.t, c.input);
        if (c.settle) term_resolve_pending(s.t);
        std::string_view codes = c.codes;
        int words = 1 + (int)std::count(codes.begin(), codes.end(), ' ');
        EXPECT_EQ(screen_cells(s.t, 0, 0, words + 1, true), std::string(c.codes) + " U+0020");
        EXPECT_EQ(std::pair(s->text_encoding, s->cp437_evidence), std::pair(c.encoding, c.evidence));
        EXPECT_EQ(s->utf8_held, 0);
    }
}

TEST(Detection, DecisionStaysUntilTheNextCall) {
    TestScreen s(EMU_ANSI);
    screen_feed(s.t, "\x82\x82\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(s->text_encoding, TEXT_CP437);
    term_reset_call(s.t);
    screen_feed(s.t, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    EXPECT_EQ(s->text_encoding, TEXT_UTF8);
}

// Bytes held when the user switched to PETSCII used to land on the PETSCII screen as Unicode.
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
