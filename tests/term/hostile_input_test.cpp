// Hostile host output: huge counts, endless parameters, random bytes. Nothing may crash, allocate,
// break the terminal's invariants, or put the host's bytes into a reply.
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

TEST(HostileInput, RandomBytesKeepTheTerminalSoundAndRepliesOurOwn) {
    std::mt19937 random(7);
    for (int emulation = 0; emulation < EMU_COUNT; emulation++) {
        TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 50);
        for (int round = 0; round < 40; round++) {
            static const char kHot[] = "\x1b[;0123456789?Hnc6\xc3\xe2\x80\x90"; // bytes that start sequences
            std::string bytes(2000, '\0');
            for (char &b : bytes) b = random() % 3 ? (char)random() : kHot[random() % (sizeof kHot - 1)];
            term_feed(s.t, (const uint8_t *)bytes.data(), (int)bytes.size());
            if (round % 5 == 0) term_resolve_pending(s.t);
            expect_sound(s.t, "emulation " + std::to_string(emulation));
        }
        for (const std::string &reply : g_test_replies)
            EXPECT_TRUE(is_our_reply(reply)) << testing::PrintToString(reply);
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
