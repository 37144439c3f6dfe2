// The split-feed property over generated host output: whole, byte by byte and in random pieces, the
// same bytes leave the same grid, scrollback, cursor, modes, parser state and replies.
// (Every fixed input of the other interpreter tests is checked the same way by screen_feed.)
#include "tests/term/screen_text.h"

namespace {

// Host output with the sequences that matter for splitting: CSI with parameters, ESC sequences,
// control strings, music, multi-byte UTF-8 (good and bad), CP437 and PETSCII bytes, controls.
std::string generate_host_output(std::mt19937 &random, int tokens) {
    static const char *const kPieces[] = {
        "\x1b[",
        "\x1b[0;1;33;44m",
        "\x1b[38;5;196m",
        "\x1b[48;2;10;200;30m",
        "\x1b[2J",
        "\x1b[K",
        "\x1b[3;7r",
        "\x1b[?7l",
        "\x1b[?7h",
        "\x1b[6n",
        "\x1b[c",
        "\x1b[5n",
        "\x1b[255n",
        "\x1b]0;title\a",
        "\x1bP1$r\x1b\\",
        "\x1b[NMFT120C\x0e",
        "\x1b(0",
        "\x1b(B",
        "\x1b)0",
        "\x0e",
        "\x0f",
        "\x1b"
        "7",
        "\x1b"
        "8",
        "\x1bM",
        "\x1b"
        "D",
        "\x1b"
        "E",
        "\x1b"
        "c",
        "\x1b[s",
        "\x1b[u",
        "\r\n",
        "\xc3\xa9",
        "\xe2\x94\x80",
        "\xf0\x9f\x98\x80",
        "\xe4\xb8\xad",
        "\xc3",
        "\xe2\x94",
        "\x80",
        "\xb0\xb1\xb2",
        "\x05",
        "\x12",
        "\x92",
        "\x93",
        "\x14",
        "\x94",
        "\x9d",
        "\x1d",
        "\x11",
        "\x91",
        "\x0e",
        "\x8e",
        "\x8d",
        "\t",
        "\b",
        "\a",
        "\x0c",
        "\x1b[1;33mHi",
        "Hello there, please log in\r\n",
    };
    std::string out;
    for (int i = 0; i < tokens; i++) {
        switch (random() % 6) {
        case 0: out += kPieces[random() % (sizeof kPieces / sizeof *kPieces)]; break;
        case 1: { // a CSI with random parameters and final
            out += "\x1b[";
            if (random() % 4 == 0) out += "?<=>"[random() % 4];
            for (int n = random() % 5; n > 0; n--)
                out += std::to_string(random() % (random() % 2 ? 30 : 1000000)) + ";";
            out += (char)(0x40 + random() % 0x3F);
            break;
        }
        case 2: out += (char)(0x20 + random() % 0x5F); break;
        case 3: out += (char)(random() % 256); break;
        default: out += "abcdefgh ijklm"; break;
        }
    }
    return out;
}

TEST(SplitFeed, GeneratedOutputInEveryEmulation) {
    std::mt19937 random(20240611);
    for (int emulation = 0; emulation < EMU_COUNT; emulation++) {
        for (int round = 0; round < 12; round++) {
            TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 30, round % 2);
            s->text_mode = round % 3;
            screen_feed(s.t, generate_host_output(random, 400));
            ASSERT_FALSE(HasFailure()) << "emulation " << emulation << " round " << round;
        }
    }
}

TEST(SplitFeed, EveryCutOfOneSequence) {
    // Each cut position of a mixed line, fed as exactly two pieces.
    const std::string line = "a\x1b[1;31mb\xc3\xa9\x1b]0;t\a\xe2\x94\x80\x1b[2;5H\x1b(0q\x1b(B\x1b[6n";
    TestScreen whole(EMU_ANSI);
    term_feed(whole.t, (const uint8_t *)line.data(), (int)line.size());
    std::vector<std::string> expected = g_test_replies;
    for (size_t cut = 1; cut < line.size(); cut++) {
        TestScreen s(EMU_ANSI);
        term_feed(s.t, (const uint8_t *)line.data(), (int)cut);
        term_feed(s.t, (const uint8_t *)line.data() + cut, (int)(line.size() - cut));
        EXPECT_EQ(screen_dump(s.t), screen_dump(whole.t)) << "cut at " << cut;
        EXPECT_EQ(g_test_replies, expected) << "cut at " << cut;
    }
}

} // namespace
