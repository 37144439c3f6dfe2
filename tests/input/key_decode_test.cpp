// Key decoding from the byte sequences of xterm, rxvt, tmux and the Linux console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/key_decode.h"
#include "input/keys.h"

namespace {

// Feeds the bytes in one read, or one byte per read 5 ms apart, then lets the lone-Esc time pass.
std::vector<uint32_t> decode(const std::string &bytes, bool bytewise) {
    KeyDecoder d{};
    KeyQueue q{};
    uint32_t now = 1000, key;
    for (size_t at = 0, size; at < bytes.size(); at += size, now += 5) {
        size = bytewise ? 1 : bytes.size();
        key_decode_expire(&d, now, &q);
        key_decode_feed(&d, (const uint8_t *)bytes.data() + at, (int)size, now, &q);
    }
    key_decode_expire(&d, now + KEY_DECODE_LONE_ESC, &q);
    std::vector<uint32_t> keys;
    while (key_queue_pop(&q, &key)) keys.push_back(key);
    return keys;
}

// A sequence split across reads decodes the same as one read.
TEST(KeyDecode, WholeAndSplitReadsGiveTheSameKeys) {
    const uint32_t F1 = KEY_F1, BS = KEY_BACKSPACE;
    const struct {
        const char *name;
        std::string bytes;
        std::vector<uint32_t> keys;
        // clang-format off
    } kCases[] = {
        {"ascii_enter_del_bs_ctrl", std::string("a\r\x7f\x08\x01\x00", 6), {'a', KEY_ENTER, BS, BS, 1, 0}},
        {"utf8_two_three_four_bytes", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", {0xE9, 0x20AC, 0x1F600}},
        {"utf8_malformed_dropped", "\x80w\xe2\x82x\xe0\x80\xafy\xed\xa0\x80z", {'w', 'x', 'y', 'z'}},
        {"xterm_and_rxvt_arrows", "\x1b[A\x1b[a\x1bOc", {KEY_UP, KEY_SHIFT | KEY_UP, KEY_CTRL | KEY_RIGHT}},
        {"modifiers", "\x1b[1;5D\x1b[5;3~\x1b[1;6C\x1b[1;9B",
         {KEY_CTRL | KEY_LEFT, KEY_ALT | KEY_PGUP, KEY_CTRL | KEY_SHIFT | KEY_RIGHT, KEY_ALT | KEY_DOWN}},
        {"vt220_numbers", "\x1b[1~\x1b[4~\x1b[15~\x1b[24~", {KEY_HOME, KEY_END, F1 + 4, KEY_F12}},
        {"ss3_and_linux_console", "\x1bOH\x1bOP\x1bOS\x1b[[A\x1b[[E", {KEY_HOME, F1, F1 + 3, F1, F1 + 4}},
        {"shift_tab_no_flags", "\x1b[Z\x1b[1;2Z", {KEY_SHIFT_TAB, KEY_SHIFT_TAB}},
        {"alt_letters_fold_case", "\x1bx\x1bX\x1b" "5", {key_alt('x'), key_alt('x'), key_alt('5')}},
        {"alt_o_alone", "\x1bO", {key_alt('o')}},
        {"lone_esc", "\x1b", {KEY_ESC}},
        // not understood: unknown number, bracketed paste, private marker, modifyOtherKeys, unfinished
        {"unknown_dropped", "\x1b[99~x\x1b[200~\x1b[?1;2cA\x1b[27;5;13~\x1b[1;5", {'x', 'A'}},
        {"control_inside_csi", "\x1b[1\r", {KEY_ENTER}},
    };
    // clang-format on
    for (const auto &c : kCases) {
        EXPECT_EQ(decode(c.bytes, false), c.keys) << c.name;
        EXPECT_EQ(decode(c.bytes, true), c.keys) << c.name << ", byte by byte";
    }
}

} // namespace
