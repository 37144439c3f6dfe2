// Hostile host output: huge counts, endless parameters, generated and random bytes. Nothing may
// crash, allocate, break the terminal's invariants or the split-feed property, or put the host's
// bytes into a reply.
#include <malloc.h>

#include "tests/term/screen_text.h"

namespace {

void expect_sound(const Terminal *t, const std::string &what) {
    EXPECT_TRUE(t->cursor_row >= 0 && t->cursor_row < t->rows && t->cursor_column >= 0 &&
                t->cursor_column < t->columns)
        << what;
    EXPECT_TRUE(0 <= t->region_top && t->region_top < t->region_bottom && t->region_bottom < t->rows) << what;
    EXPECT_TRUE(t->param_count >= 0 && t->param_count <= TERM_MAX_PARAMS) << what;
    for (int i = 0; i < TERM_MAX_PARAMS; i++) EXPECT_LE(t->params[i], 999999) << what;
    EXPECT_TRUE(t->utf8_held >= 0 && t->utf8_held < 4) << what;
}

// "\e[?1;0c", "\e[0n" or "\e[ROW;COLUMNR" with numbers of the screen.
bool is_our_reply(const std::string &reply) {
    int row = 0, column = 0, length = 0;
    if (reply == "\x1b[?1;0c" || reply == "\x1b[0n") return true;
    return sscanf(reply.c_str(), "\x1b[%d;%dR%n", &row, &column, &length) == 2 &&
           length == (int)reply.size() && row >= 1 && row <= 26 && column >= 1 && column <= 80 &&
           reply.find_first_of("+- ") == std::string::npos;
}

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

TEST(HostileInput, HugeCountsStayInsideTheScreen) {
    for (std::string final_byte : {"@", "b", "P", "X", "L", "M", "S",           "T",           "I", "Z",
                                   "A", "B", "E", "F", "G", "d", ";999999999H", ";999999999r", "m", "n"}) {
        std::string sequence = "\x1b[999999999" + final_byte;
        TestScreen s(EMU_ANSI, 24, 100);
        screen_feed(s.t, "x\x1b[5;5H" + sequence + "y" + sequence);
        expect_sound(s.t, sequence);
    }
}

TEST(HostileInput, TenThousandParametersRunIntoTheSixteenth) {
    TestScreen s(EMU_ANSI);
    std::string input = "\x1b[";
    for (int i = 0; i < 10000; i++) input += "1;";
    screen_feed(s.t, input + "m");
    EXPECT_EQ(s->param_count, TERM_MAX_PARAMS);
    EXPECT_EQ(s->params[TERM_MAX_PARAMS - 1], 111111) << "later digits add up until past 99999";
    screen_feed(s.t, "\x1b[" + std::string(40, ';') + "5mX");
    EXPECT_EQ(s.cell(0, 0).flags, CELL_BLINK) << "separators past the sixteenth are dropped";
}

// Generated output in every emulation leaves the same state and replies whatever the feed sizes, a
// sound terminal, and only replies of our own.
TEST(HostileInput, GeneratedOutputInEveryEmulation) {
    std::mt19937 random(20240611);
    for (int emulation = 0; emulation < EMU_COUNT && !HasFailure(); emulation++) {
        for (int round = 0; round < 12 && !HasFailure(); round++) {
            TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 30, round % 2);
            term_set_text_mode(s.t, round % PETSCII_TEXT_MODES);
            screen_feed(s.t, generate_host_output(random, 400));
            term_resolve_pending(s.t);
            std::string what = "emulation " + std::to_string(emulation) + " round " + std::to_string(round);
            expect_sound(s.t, what);
            for (const std::string &reply : g_test_replies)
                EXPECT_TRUE(is_our_reply(reply)) << what << " " << testing::PrintToString(reply);
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

TEST(HostileInput, FeedingAllocatesNothing) {
    std::string input;
    for (int i = 0; i < 2000; i++)
        input += "\x1b[999999999@\x1b[99999b\x1b[38;2;1;2;3m\xc3\xa9\xe2\x94\x80\x82\x1b]x\a\x1b["
                 "6n\x05\x12\x93 a\r\n";
    for (int emulation = 0; emulation < EMU_COUNT; emulation++) {
        TestScreen s(emulation, 24, 100);
        s->reply_sink = nullptr; // the test's sink allocates
        struct mallinfo2 before = mallinfo2();
        term_feed(s.t, (const uint8_t *)input.data(), (int)input.size());
        term_resolve_pending(s.t);
        struct mallinfo2 after = mallinfo2();
        EXPECT_EQ(before.uordblks + before.hblkhd, after.uordblks + after.hblkhd)
            << "emulation " << emulation;
    }
}

} // namespace
