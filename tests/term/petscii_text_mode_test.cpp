// PETSCII text modes: auto detection of ASCII text with its counters, forced ASCII, PETSCII only,
// and the ASCII handling with its swallowed escape sequences.
#include "tests/term/screen_text.h"

namespace {

const char kLogin[] = "Hello there, please log in\r\nName:\r\n"; // 35 bytes, no PETSCII sign

TEST(TextDetection, AsciiLoginTurnsAsciiOnAtTheSecondCrLf) {
    TestScreen s(EMU_PETSCII40, 25);
    std::string login = kLogin;
    screen_feed(s.t, login.substr(0, login.size() - 1));
    EXPECT_FALSE(s->ascii_text);
    EXPECT_EQ(s->cursor_row, 2) << "CR is a PETSCII return, LF is dropped";
    s->screen_changed = 0;
    screen_feed(s.t, "\n");
    EXPECT_TRUE(s->ascii_text);
    EXPECT_TRUE(s->screen_changed);
    EXPECT_EQ(s->cursor_row, 3) << "the switching LF is already an ASCII line feed";
    EXPECT_EQ(screen_text(s.t), "Hello there, please log in\nName:");
}

TEST(TextDetection, PetsciiSignSwitchesBackAndIsObeyed) {
    for (const char *sign : {"\x93", "\x05", "\xa0"}) {
        TestScreen s(EMU_PETSCII40, 25);
        screen_feed(s.t, std::string(kLogin) + sign + "A");
        EXPECT_FALSE(s->ascii_text) << std::hex << (int)(uint8_t)sign[0];
        EXPECT_EQ(s->crlf_count + s->lower_count + s->byte_count, 1) << "counters restart after the sign";
    }
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, std::string(kLogin) + "\x93");
    EXPECT_EQ(screen_text(s.t), "") << "the clear is obeyed";
    screen_feed(s.t, std::string(kLogin) + "\x05"
                                           "x");
    EXPECT_EQ(s.cell(3, 0).fg, 17) << "the colour is obeyed";
}

struct DetectCase {
    const char *name;
    const char *input;
    int ascii_text;
};

const DetectCase kDetectCases[] = {
    {"login", "Hello there, please log in\r\nName:\r\n", 1},
    {"a sign resets the counters", "Hello there, please log in\r\n\x05Name:\r\n", 0},
    {"too few small letters", "HELLO THERE, PLEASE LOG IN NOW\r\nNAME:\r\n", 0},
    {"too few bytes", "abcdefgh\r\nx\r\n", 0},
    {"lf without cr does not count", "Hello there, please log in\nName:\n\r\n", 0},
    {"two pairs anywhere", "\r\n\r\nHello there, please log in now", 1},
};

void PrintTo(const DetectCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class DetectTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, DecidesAscii) {
    TestScreen s(EMU_PETSCII40, 25);
    screen_feed(s.t, GetParam().input);
    EXPECT_EQ(s->ascii_text, GetParam().ascii_text);
}

INSTANTIATE_TEST_SUITE_P(Petscii, DetectTest, testing::ValuesIn(kDetectCases), CaseName());

TEST(TextDetection, ByteCountStopsAt100000) {
    TestScreen s(EMU_PETSCII40, 25);
    std::string text(150000, 'x');
    term_feed(s.t, (const uint8_t *)text.data(), (int)text.size());
    EXPECT_EQ(s->byte_count, 100000);
}

TEST(TextMode, PetsciiOnlyNeverTurnsAsciiOn) {
    TestScreen s(EMU_PETSCII40, 25);
    s->text_mode = 2;
    for (int i = 0; i < 5; i++) screen_feed(s.t, kLogin);
    EXPECT_FALSE(s->ascii_text);
    EXPECT_EQ(s->byte_count, 0) << "the counters are not kept";
}

TEST(TextMode, AsciiDropsColourCodesAndPetsciiSigns) {
    TestScreen s(EMU_PETSCII40, 25);
    s->text_mode = 1;
    term_soft_reset(s.t);
    ASSERT_TRUE(s->ascii_text);
    screen_feed(s.t, "\x05"
                     "A\x93\x12"
                     "B\xc1");
    EXPECT_TRUE(s->ascii_text);
    EXPECT_EQ(screen_text(s.t), "AB");
    EXPECT_EQ(s.cell(0, 0).fg, 30) << "still light blue";
}

struct AsciiCase {
    const char *name;
    const char *input; // fed with ASCII text on
    const char *text;
    int row, column;
};

const AsciiCase kAsciiCases[] = {
    {"escape sequence swallowed", "\x1b[1;33mHi", "Hi", 0, 2},
    {"escape without bracket drops one byte",
     "\x1b"
     "XHi",
     "Hi", 0, 2},
    {"backspace blanks", "abc\b", "ab", 0, 2},
    {"delete blanks", "abc\x7f\x7f", "a", 0, 1},
    {"backspace at column 0", "\b", "", 0, 0},
    {"tab", "a\tb", "a       b", 0, 9},
    {"tab stops at the last column", "\x1b[C\t\t\t\t\t\t", "", 0, 39},
    {"line feed keeps the column", "ab\ncd", "ab\n  cd", 1, 4},
    {"carriage return", "ab\rc", "cb", 0, 1},
    {"form feed clears",
     "ab\ncd\x0c"
     "e",
     "e", 0, 1},
    {"other controls dropped", "a\x01\x0e\x11\x80\x93\xffz", "az", 0, 2},
    {"glyphs wrap at once", "0123456789012345678901234567890123456789x",
     "0123456789012345678901234567890123456789\nx", 1, 1},
};

void PrintTo(const AsciiCase &c, std::ostream *os) {
    *os << testing::PrintToString(std::string(c.name));
}

class AsciiTest : public testing::TestWithParam<AsciiCase> {};

TEST_P(AsciiTest, HandlesTheBytesAsAscii) {
    const AsciiCase &c = GetParam();
    TestScreen s(EMU_PETSCII40, 25);
    s->text_mode = 1;
    s->ascii_text = 1;
    screen_feed(s.t, c.input);
    EXPECT_EQ(screen_text(s.t), c.text);
    EXPECT_EQ(s->cursor_row, c.row);
    EXPECT_EQ(s->cursor_column, c.column);
}

INSTANTIATE_TEST_SUITE_P(Petscii, AsciiTest, testing::ValuesIn(kAsciiCases), CaseName());

TEST(TextMode, LineFeedOnlyInAscii) {
    TestScreen s(EMU_PETSCII40, 25);
    s->text_mode = 2;
    screen_feed(s.t, "\n\n");
    EXPECT_EQ(s->cursor_row, 0);
    s->text_mode = 1;
    s->ascii_text = 1;
    screen_feed(s.t, "\n\n");
    EXPECT_EQ(s->cursor_row, 2);
}

} // namespace
