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
}

TEST(TextDetection, NeedsPairsAndSmallLetters) {
    const struct {
        const char *input;
        bool ascii;
    } kCases[] = {
        {"Hello there, please log in\r\n\xa0Name:\r\n", false}, // a sign resets the counters
        {"HELLO THERE, PLEASE LOG IN NOW\r\nNAME:\r\n", false}, // too few small letters
        {"\r\n\r\nHello there, please log in now", true},
    };
    for (const auto &c : kCases) {
        TestScreen s(EMU_PETSCII40, 25);
        screen_feed(s.t, c.input);
        EXPECT_EQ((bool)s->ascii_text, c.ascii) << testing::PrintToString(std::string(c.input));
    }
}

TEST(TextMode, FixedModesIgnoreTheStream) {
    TestScreen petscii(EMU_PETSCII40, 25), ascii(EMU_PETSCII40, 25);
    term_set_text_mode(petscii.t, PETSCII_TEXT_PETSCII);
    for (int i = 0; i < 3; i++) screen_feed(petscii.t, kLogin);
    EXPECT_FALSE(petscii->ascii_text || petscii->byte_count);
    term_set_text_mode(ascii.t, PETSCII_TEXT_ASCII);

    screen_feed(ascii.t, "\005A\223\022B\301");
    EXPECT_TRUE(ascii->ascii_text);
    EXPECT_EQ(screen_text(ascii.t), "AB") << "colour codes and signs are dropped";
}

// ASCII handling, with the text mode fixed to ASCII.
TEST(AsciiText, ControlsAndEscapes) {
    const struct {
        const char *input, *text;
        int column;
        // clang-format off
    } kCases[] = {
        {"\x1b[1;33mHi\x1bXo", "Hio", 3},
        {"abc\b\x7f", "a", 1},
        {"ab\ncd\x0c" "e", "e", 1},
        {"a\x01\x0e\x11\x80\x93\xffz", "az", 2},
        {"0123456789012345678901234567890123456789x", "0123456789012345678901234567890123456789\nx", 1},
    };
    // clang-format on
    for (const auto &c : kCases) {
        TestScreen s(EMU_PETSCII40, 25);
        term_set_text_mode(s.t, PETSCII_TEXT_ASCII);
        screen_feed(s.t, c.input);
        EXPECT_EQ(screen_text(s.t), c.text) << testing::PrintToString(std::string(c.input));
        EXPECT_EQ(s->cursor_column, c.column) << testing::PrintToString(std::string(c.input));
    }
}

} // namespace
