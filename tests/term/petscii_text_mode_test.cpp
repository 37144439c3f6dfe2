// PETSCII text modes: auto detection of ASCII text, forced ASCII, PETSCII only, and the ASCII
// handling with its swallowed escape sequences.
#include "tests/term/screen_text.h"

namespace {

const char kLogin[] = "Hello there, please log in\r\nName:\r\n"; // 35 bytes, no PETSCII sign

TEST(TextDetection, AsciiTurnsOnAtTheSecondCrLfAndSignsTurnItOff) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, std::string(kLogin, 34));
    EXPECT_FALSE(s->ascii_text);
    EXPECT_EQ(s->cursor_row, 2) << "CR is a PETSCII return, LF is dropped";
    s->screen_changed = 0;
    screen_feed(s.t, "\n");
    EXPECT_TRUE(s->ascii_text && s->screen_changed);
    EXPECT_EQ(s->cursor_row, 3) << "the LF that switched is an ASCII line feed";
    EXPECT_EQ(screen_text(s.t), "Hello there, please log in\nName:");
    screen_feed(s.t, "\x05x");
    EXPECT_FALSE(s->ascii_text);
    EXPECT_EQ(s.cell(3, 0).fg, 17) << "the colour code is obeyed";
    EXPECT_EQ(s->byte_count, 1) << "the counters restart after a sign";

    TestScreen shouting(EMU_PETSCII40, 25), fixed(EMU_PETSCII40, 25);
    screen_feed(shouting.t, "HELLO THERE, PLEASE LOG IN NOW\r\nNAME:\r\n");
    EXPECT_FALSE(shouting->ascii_text) << "too few small letters";
    term_set_text_mode(fixed.t, PETSCII_TEXT_PETSCII);
    for (int i = 0; i < 3; i++) screen_feed(fixed.t, kLogin);
    EXPECT_FALSE(fixed->ascii_text || fixed->byte_count) << "PETSCII only ignores the stream";
}

// ASCII handling, with the text mode fixed to ASCII: colour codes, PETSCII signs and escape sequences
// are dropped.
TEST(AsciiText, ControlsAndEscapes) {
    const struct {
        const char *input, *text;
        int column;
    } kCases[] = {
        {"\x1b[1;33mHi\x1bXo", "Hio", 3},        {"abc\b\x7f", "a", 1},           {"ab\ncd\fe", "e", 1},
        {"a\x01\x0e\x11\x80\x93\xffz", "az", 2}, {"\005A\223\022B\301", "AB", 2},
    };
    for (const auto &c : kCases) {
        TestScreen s(EMU_PETSCII40, 25);
        term_set_text_mode(s.t, PETSCII_TEXT_ASCII);
        screen_feed(s.t, c.input);
        EXPECT_EQ(std::pair(screen_text(s.t), s->cursor_column), std::pair(std::string(c.text), c.column))
            << testing::PrintToString(std::string(c.input));
    }
}

} // namespace
