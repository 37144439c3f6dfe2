// Hostile host output: huge counts, endless parameters, random bytes. Nothing may crash, allocate,
// break the terminal's invariants, or echo the host's bytes in a reply.
#include <malloc.h>

#include <regex>

#include "tests/term/screen_text.h"

namespace {

void expect_sound(const Terminal *t, const char *what) {
    EXPECT_GE(t->cursor_row, 0) << what;
    EXPECT_LT(t->cursor_row, t->rows) << what;
    EXPECT_GE(t->cursor_column, 0) << what;
    EXPECT_LT(t->cursor_column, t->columns) << what;
    EXPECT_LE(0, t->region_top) << what;
    EXPECT_LT(t->region_top, t->region_bottom) << what;
    EXPECT_LT(t->region_bottom, t->rows) << what;
    EXPECT_GE(t->parser_state, 0) << what;
    EXPECT_LE(t->parser_state, 6) << what;
    EXPECT_GE(t->param_count, 0) << what;
    EXPECT_LE(t->param_count, TERM_MAX_PARAMS) << what;
    EXPECT_GE(t->utf8_held, 0) << what;
    EXPECT_LT(t->utf8_held, 4) << what;
}

bool reply_is_ours(const std::string &reply) {
    static const std::regex kReply("\x1b\\[(\\?1;0c|0n|[0-9]{1,2};[0-9]{1,2}R)");
    return std::regex_match(reply, kReply);
}

TEST(HostileInput, HugeCountsStayInsideTheScreen) {
    const char *const kInputs[] = {
        "\x1b[999999999@",           "\x1b[99999b",
        "\x1b[999999999P",           "\x1b[999999999X",
        "\x1b[999999999L",           "\x1b[999999999M",
        "\x1b[999999999S",           "\x1b[999999999T",
        "\x1b[999999999I",           "\x1b[999999999Z",
        "\x1b[999999999A",           "\x1b[999999999B",
        "\x1b[999999999;999999999H", "\x1b[999999999d",
        "\x1b[999999999;999999999r", "\x1b[999999999E",
        "\x1b[999999999F",           "\x1b[999999999G",
        "\x1b[38;5;999999999m",      "\x1b[38;2;999999;999999;999999m",
    };
    for (int emulation : {EMU_ANSI, EMU_VT100}) {
        for (const char *input : kInputs) {
            TestScreen s(emulation, 24, 100);
            screen_feed(s.t, std::string("x\x1b[5;5H") + input + "y" + input);
            expect_sound(s.t, input);
            for (int i = 0; i < TERM_MAX_PARAMS; i++) EXPECT_LE(s->params[i], 999999) << input;
        }
    }
}

TEST(HostileInput, TenThousandParametersRunIntoTheSixteenth) {
    TestScreen s(EMU_ANSI);
    std::string input = "\x1b[";
    for (int i = 0; i < 10000; i++) input += "1;";
    screen_feed(s.t, input + "m");
    EXPECT_EQ(s->param_count, TERM_MAX_PARAMS);
    // The sixteenth collected the later digits until it passed 99999.
    EXPECT_EQ(s->params[TERM_MAX_PARAMS - 1], 111111);
    screen_feed(s.t, "\x1b[" + std::string(40, ';') + "5mX");
    EXPECT_EQ(s.cell(0, 0).flags, CELL_BLINK) << "separators past the sixteenth are dropped";
    expect_sound(s.t, "parameters");
}

TEST(HostileInput, RandomBytesKeepTheTerminalSoundAndRepliesClean) {
    std::mt19937 random(7);
    for (int emulation = 0; emulation < EMU_COUNT; emulation++) {
        TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 50);
        for (int round = 0; round < 40; round++) {
            std::string bytes(2000, '\0');
            for (char &b : bytes) {
                // Lean towards the bytes that start and feed sequences.
                static const char kHot[] = "\x1b[;0123456789?Hnc6\xc3\xe2\x80\x90";
                b = random() % 3 ? (char)random() : kHot[random() % (sizeof kHot - 1)];
            }
            term_feed(s.t, (const uint8_t *)bytes.data(), (int)bytes.size());
            if (round % 5 == 0) term_resolve_pending(s.t);
            expect_sound(s.t, "random bytes");
        }
        for (const std::string &reply : g_test_replies)
            EXPECT_TRUE(reply_is_ours(reply)) << testing::PrintToString(reply);
    }
}

TEST(HostileInput, FeedingAllocatesNothing) {
    std::string input;
    for (int i = 0; i < 2000; i++)
        input += "\x1b[999999999@\x1b[99999b\x1b[1;31;38;2;1;2;3m\xc3\xa9\xe2\x94\x80\x82\x1b]x\a\x1b[6n"
                 "\x05\x12\x93\x14\x94 text\r\n";
    for (int emulation = 0; emulation < EMU_COUNT; emulation++) {
        TestScreen s(emulation, 24, 100);
        s->reply_sink = nullptr; // the test's sink allocates
        struct mallinfo2 before = mallinfo2();
        term_feed(s.t, (const uint8_t *)input.data(), (int)input.size());
        term_resolve_pending(s.t);
        struct mallinfo2 after = mallinfo2();
        EXPECT_EQ(before.uordblks, after.uordblks) << "emulation " << emulation;
        EXPECT_EQ(before.hblkhd, after.hblkhd) << "emulation " << emulation;
    }
}

} // namespace
