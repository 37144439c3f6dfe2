// Key decoding from the byte sequences of xterm, rxvt, tmux and the Linux console; the key queue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/key_decode.h"
#include "input/keys.h"

namespace {

std::vector<uint32_t> drain(KeyQueue *q) {
    std::vector<uint32_t> keys;
    uint32_t k;
    while (key_queue_pop(q, &k)) keys.push_back(k);
    return keys;
}

// Feeds the bytes in one read, or one byte per read 5 ms apart, then lets the lone-Esc time pass.
std::vector<uint32_t> decode(const std::string &bytes, bool bytewise) {
    KeyDecoder d{};
    KeyQueue q{};
    uint32_t now = 1000;
    for (size_t at = 0, size; at < bytes.size(); at += size, now += 5) {
        size = bytewise ? 1 : bytes.size();
        key_decode_expire(&d, now, &q);
        key_decode_feed(&d, (const uint8_t *)bytes.data() + at, (int)size, now, &q);
    }
    key_decode_expire(&d, now + KEY_DECODE_LONE_ESC, &q);
    return drain(&q);
}

struct DecodeCase {
    const char *name;
    std::string bytes;
    std::vector<uint32_t> keys;
};

const uint32_t F1 = KEY_F1;

// clang-format off
const DecodeCase kCases[] = {
    {"ascii", "aZ 9", {'a', 'Z', ' ', '9'}},
    {"enter_del_and_bs", "\r\x7f\x08", {KEY_ENTER, KEY_BACKSPACE, KEY_BACKSPACE}},
    {"ctrl_letters_and_ctrl_space", std::string("\x01\x03\x1a\x00", 4), {1, 3, 26, 0}},
    {"utf8_two_three_four_bytes", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", {0xE9, 0x20AC, 0x1F600}},
    {"utf8_malformed_dropped", "\x80w\xe2\x82x\xe0\x80\xafy\xed\xa0\x80z", {'w', 'x', 'y', 'z'}},
    {"xterm_arrows", "\x1b[A\x1b[B\x1b[C\x1b[D", {KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT}},
    {"modifiers", "\x1b[1;5D\x1b[1;2A\x1b[5;3~\x1b[1;6C\x1b[1;9B",
     {KEY_CTRL | KEY_LEFT, KEY_SHIFT | KEY_UP, KEY_ALT | KEY_PGUP, KEY_CTRL | KEY_SHIFT | KEY_RIGHT, KEY_ALT | KEY_DOWN}},
    {"home_end_vt220_tmux_linux", "\x1b[1~\x1b[4~\x1bOH\x1b[8~", {KEY_HOME, KEY_END, KEY_HOME, KEY_END}},
    {"f1_f4_ss3", "\x1bOP\x1bOQ\x1bOR\x1bOS", {F1, F1 + 1, F1 + 2, F1 + 3}},
    {"f1_f5_linux_console", "\x1b[[A\x1b[[E", {F1, F1 + 4}},
    {"f5_f12", "\x1b[15~\x1b[17~\x1b[21~\x1b[23~\x1b[24~", {F1 + 4, F1 + 5, F1 + 9, F1 + 10, KEY_F12}},
    {"rxvt_shift_and_ctrl_arrows", "\x1b[a\x1bOc", {KEY_SHIFT | KEY_UP, KEY_CTRL | KEY_RIGHT}},
    {"shift_tab_no_flags", "\x1b[Z\x1b[1;2Z", {KEY_SHIFT_TAB, KEY_SHIFT_TAB}},
    {"alt_letters_fold_case", "\x1bx\x1bX\x1b" "5", {key_alt('x'), key_alt('x'), key_alt('5')}},
    {"alt_o_alone", "\x1bO", {key_alt('o')}},
    {"alt_other_key_nothing", "\x1b.\x1b\x7f\x1b\xc3\xa9q", {'q'}},
    {"lone_esc", "\x1b", {KEY_ESC}},
    // not understood: unknown number, bracketed paste, private marker, modifyOtherKeys, unfinished
    {"unknown_dropped", "\x1b[99~x\x1b[200~\x1b[?1;2cA\x1b[27;5;13~\x1b[1;5", {'x', 'A'}},
    {"control_inside_csi", "\x1b[1\r", {KEY_ENTER}},
};
// clang-format on

// A sequence split across reads decodes the same as one read.
TEST(KeyDecode, WholeAndSplitReadsGiveTheSameKeys) {
    for (const DecodeCase &c : kCases) {
        EXPECT_EQ(decode(c.bytes, false), c.keys) << c.name;
        EXPECT_EQ(decode(c.bytes, true), c.keys) << c.name << ", byte by byte";
    }
}

TEST(KeyQueue, HoldsSixtyFourAndDropsTheRestInOrder) {
    KeyQueue q{};
    for (uint32_t i = 0; i < 65; i++) key_queue_push(&q, i);
    std::vector<uint32_t> keys = drain(&q);
    ASSERT_EQ(keys.size(), 64u);
    for (uint32_t i = 0; i < 64; i++) EXPECT_EQ(keys[i], i);
}

} // namespace
