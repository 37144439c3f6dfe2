// Character sets: the CP437 / UTF-8 decision and its evidence rule, the strict decoder, the settling
// of a sequence whose last bytes never came, and Unicode to CP437, where a wrong fallback shows a
// wrong character. PETSCII glyphs are checked through the PETSCII screen and the composer.
#include "term/charset.h"
#include "tests/term/screen_text.h"

namespace {

using namespace std::string_literals;

struct DecodeCase {
    const char *name;
    int emulation;
    const char *input;
    std::u32string codes;   // the cells from column 0; the cell after them is blank
    int encoding, evidence; // the decision afterwards: 0 undecided, 1 CP437, 2 UTF-8
};

// clang-format off
const DecodeCase kDecodeCases[] = {
    {"longer sequences score two", EMU_TTY, "\xe2\x94\x80\xf0\x9f\x98\x80", U"\u2500\U0001F600\0"s, 2, 0},
    {"two stray bytes decide cp437", EMU_ANSI, "\x82\x82", U"éé"s, 1, 2},
    {"evidence blocks utf8", EMU_ANSI, "\x82\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82", U"éééééé"s, 0, 2},
    {"c1 control is cp437", EMU_ANSI, "\xc2\x85", U"┬à"s, 0, 1},
    {"lone lead before esc ascii and cr", EMU_ANSI, "\xc3\x1b[1mA\xc3" "B\xc3\r", U"├A├B├"s, 1, 2},
    {"settled as cp437", EMU_TTY, "a\xf0\x9f\x98", U"a≡ƒÿ"s, 0, 1},
    {"strict wide and combining", EMU_UTF8, "\xe4\xb8\xad" "e\xcc\x81|", U"中\0e|"s, 0, 0},
    {"decided utf8 is strict", EMU_ANSI, "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\x82\xc2\x85\xe2", U"éééé\uFFFD\u0085\uFFFD"s, 2, 0},
    {"cp437 emulation never decodes utf8", EMU_CP437, "\xc3\xa9", U"├⌐"s, 0, 0},
};
// clang-format on

TEST(Decode, StoresExpectedCodes) {
    for (const DecodeCase &c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        TestScreen s(c.emulation);
        screen_feed(s.t, c.input);
        term_resolve_pending(s.t); // as the shell does after a silence
        std::u32string codes;
        for (size_t column = 0; column <= c.codes.size(); column++) codes += (char32_t)s.cell(0, column).code;
        EXPECT_EQ(codes, c.codes + U' ');
        EXPECT_EQ(std::pair(s->text_encoding, s->cp437_evidence), std::pair(c.encoding, c.evidence));
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
    EXPECT_EQ(std::pair(s->utf8_held, s->cursor_column), std::pair(0, 0));
    EXPECT_EQ(s.cell(0, 0).code, (uint32_t)' ');
}

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
        {0x4E2D, '?'},
    };
    for (auto c : kCases) EXPECT_EQ(unicode_to_cp437(c.code), c.byte) << std::hex << c.code;
}

} // namespace
