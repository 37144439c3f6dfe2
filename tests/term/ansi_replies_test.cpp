// Answers to the host: device attributes, status and cursor position reports.
#include "tests/term/screen_text.h"

namespace {

TEST(Replies, SentExactlyAsFormattedNumbers) {
    const struct {
        int emulation;
        const char *input;
        std::vector<std::string> replies;
        // clang-format off
    } kCases[] = {
        // screen positions, not region ones; a pending wrap stays in the last column
        {EMU_ANSI, "\x1b[6n\x1b[6;9r\x1b[4;5H\x1b[6n\x1b[1;80Hx\x1b[6n", {"\x1b[1;1R", "\x1b[4;5R", "\x1b[1;80R"}},
        {EMU_VT100, "\x1b[5n\x1b[c\x1b[0c", {"\x1b[0n", "\x1b[?1;0c", "\x1b[?1;0c"}},
        {EMU_ANSI, "\x1b[1c\x1b[>c\x1b[=c\x1b[?6n\x1b[n\x1b[7n\x1b[6 n", {}},
        {EMU_ANSI, "\x1b]\x1b[6n\a\x1b[6n", {"\x1b[1;1R"}}, // nothing answers inside a control string
    };
    // clang-format on
    for (const auto &c : kCases) {
        TestScreen s(c.emulation);
        screen_feed(s.t, c.input);
        EXPECT_EQ(g_test_replies, c.replies) << testing::PrintToString(std::string(c.input));
    }
}

} // namespace
