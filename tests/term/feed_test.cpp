// Feeding as a whole: generated host output cut anywhere leaves the same screen and replies, and
// nothing allocates. The fuzzers check the invariants.
#include <malloc.h>

#include <random>

#include "tests/term/screen_text.h"

namespace {

// Host output rich in what splitting can break: CSI parameters, ESC sequences, control strings,
// music, UTF-8 (good, bad and unfinished), CP437 and PETSCII bytes, controls.
std::string generate_host_output(std::mt19937 &random, int tokens) {
    // clang-format off
    static const char *const kPieces[] = {
        "\x1b[0;1;33;44m", "\x1b[38;5;196m", "\x1b[48;2;10;200;30m", "\x1b[2J", "\x1b[12;40H", "\x1b[3@\x1b[2P\x1b[K", "\x1b[3;7r", "\x1b[?7l", "\x1b[6n",
        "\x1b]0;title\a", "\x1bP1$r\x1b\\", "\x1b[NT120C\x0e", "\x1b(0", "\x1b)0", "\x1b" "7", "\x1b" "8", "\x1bM",
        "\r\n", "\xc3\xa9", "\xe2\x94\x80", "\xf0\x9f\x98\x80", "\xe4\xb8\xad", "\xc3", "\x80\xb0", "\x05\x12",
        "\x92\x93", "\x14\x94\x9d\x1d", "\x11\x91", "\x0e\x8e\x8d", "\t\b\a\x0c", "Hello there, please log in\r\n",
    };
    // clang-format on
    std::string out;
    for (int i = 0; i < tokens; i++) {
        int kind = random() % 4;
        if (kind == 0) out += kPieces[random() % std::size(kPieces)];
        if (kind == 1) out += (char)random();
        if (kind >= 2) out += "abcdefgh ijklm";
    }
    return out;
}

// The cells (rows, then scrollback lines), the cursor and the decisions a feed leaves.
std::string visible_state(const Terminal *t) {
    std::string s = std::to_string(t->cursor_row) + "," + std::to_string(t->cursor_column) + " " +
                    std::to_string(t->wrap_pending) + std::to_string(t->text_encoding) +
                    std::to_string(t->ascii_text) + "\n";
    for (int r = 0; r < t->rows + t->scrollback_count; r++) {
        const Cell *row = r < t->rows ? term_row(t, r) : term_scrollback_line(t, r - t->rows);
        for (int c = 0; c < t->columns; c++)
            s += std::to_string(row[c].code) + "/" + std::to_string(row[c].fg) + "/" +
                 std::to_string(row[c].bg) + "/" + std::to_string(row[c].flags) + " ";
    }
    return s;
}

size_t bytes_allocated() {
    struct mallinfo2 now = mallinfo2();
    return now.uordblks + now.hblkhd;
}

// Generated output in every emulation and text mode, fed whole, byte by byte and in random pieces.
// Feeding allocates nothing: the interpreters are a hot path.
TEST(SplitFeed, SameScreenAndRepliesWhereverTheBytesAreCut) {
    std::mt19937 random(20240611);
    for (int emulation = 0; emulation < EMU_COUNT && !HasFailure(); emulation++)
        for (int round = 0; round < 12 && !HasFailure(); round++) {
            std::string bytes = generate_host_output(random, 400), states[3];
            std::vector<std::string> replies[3];
            for (int way = 0; way < 3; way++) {
                TestScreen s(emulation, emulation_is_petscii(emulation) ? 25 : 24, 30, round % 2);
                term_set_text_mode(s.t, round % PETSCII_TEXT_MODES);
                g_test_replies.reserve(1000); // replies are short: no allocation of their own
                size_t allocated = bytes_allocated();
                for (size_t at = 0, size; at < bytes.size(); at += size) {
                    size = way == 0 ? bytes.size() : way == 1 ? 1 : 1 + random() % 64;
                    size = std::min(size, bytes.size() - at);
                    term_feed(s.t, (const uint8_t *)bytes.data() + at, (int)size);
                }
                term_resolve_pending(s.t);
                EXPECT_EQ(bytes_allocated(), allocated) << "feeding allocated, way " << way;
                states[way] = visible_state(s.t), replies[way] = g_test_replies;
            }
            for (int way : {1, 2}) {
                EXPECT_EQ(states[way], states[0]) << (way == 1 ? "byte by byte" : "in pieces");
                EXPECT_EQ(replies[way], replies[0]) << (way == 1 ? "byte by byte" : "in pieces");
            }
        }
}

} // namespace
