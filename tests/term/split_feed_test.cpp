// The split-feed property over generated host output in every emulation (the fixed inputs of the
// other tests are checked the same way by screen_feed), and over every cut of one mixed line.
#include "tests/term/screen_text.h"

namespace {

// Host output rich in what splitting can break: CSI parameters, ESC sequences, control strings,
// music, UTF-8 (good, bad and unfinished), CP437 and PETSCII bytes, controls.
std::string generate_host_output(std::mt19937 &random, int tokens) {
    // clang-format off
    static const char *const kPieces[] = {
        "\x1b[0;1;33;44m", "\x1b[38;5;196m", "\x1b[48;2;10;200;30m", "\x1b[2J", "\x1b[3;7r", "\x1b[?7l", "\x1b[6n",
        "\x1b]0;title\a", "\x1bP1$r\x1b\\", "\x1b[NT120C\x0e", "\x1b(0", "\x1b)0", "\x1b" "7", "\x1b" "8", "\x1bM",
        "\r\n", "\xc3\xa9", "\xe2\x94\x80", "\xf0\x9f\x98\x80", "\xe4\xb8\xad", "\xc3", "\x80\xb0", "\x05\x12",
        "\x92\x93", "\x14\x94\x9d\x1d", "\x11\x91", "\x0e\x8e\x8d", "\t\b\a\x0c", "Hello there, please log in\r\n",
    };
    // clang-format on
    std::string out;
    for (int i = 0; i < tokens; i++) {
        int kind = random() % 5;
        if (kind == 0) out += kPieces[random() % (sizeof kPieces / sizeof *kPieces)];
        if (kind == 1) { // a CSI with random parameters and final byte
            out += "\x1b[";
            for (int n = random() % 4; n > 0; n--)
                out += std::to_string(random() % (random() % 2 ? 30 : 1000000)) + ";";
            out += (char)(0x40 + random() % 0x3F);
        }
        if (kind == 2) out += (char)random();
        if (kind >= 3) out += "abcdefgh ijklm";
    }
    return out;
}

TEST(SplitFeed, GeneratedOutputInEveryEmulation) {
    std::mt19937 random(20240611);
    for (int emulation = 0; emulation < EMU_COUNT && !HasFailure(); emulation++) {
        for (int round = 0; round < 12 && !HasFailure(); round++) {
            TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 30, round % 2);
            s->text_mode = round % 3;
            screen_feed(s.t, generate_host_output(random, 400));
            EXPECT_FALSE(HasFailure()) << "emulation " << emulation << " round " << round;
        }
    }
}

TEST(SplitFeed, EveryCutOfOneLine) {
    const std::string line = "a\x1b[1;31mb\xc3\xa9\x1b]0;t\a\xe2\x94\x80\x1b[2;5H\x1b(0q\x1b(B\x1b[6n";
    TestScreen whole(EMU_ANSI);
    term_feed(whole.t, (const uint8_t *)line.data(), (int)line.size());
    std::vector<std::string> replies = g_test_replies;
    for (size_t cut = 1; cut < line.size(); cut++) {
        TestScreen s(EMU_ANSI);
        term_feed(s.t, (const uint8_t *)line.data(), (int)cut);
        term_feed(s.t, (const uint8_t *)line.data() + cut, (int)(line.size() - cut));
        EXPECT_EQ(screen_dump(s.t), screen_dump(whole.t)) << "cut at " << cut;
        EXPECT_EQ(g_test_replies, replies) << "cut at " << cut;
    }
}

} // namespace
