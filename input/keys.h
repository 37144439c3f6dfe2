// Key codes: typed characters are their Unicode code points; keys without a character sit above
// the Unicode range; Alt, Ctrl and Shift are flag bits on top.
#pragma once
#include <cstdint>

enum : uint32_t {
    KEY_CTRL_2 = 0,    // Ctrl-2 / Ctrl-Space when no character comes with it
    KEY_BACKSPACE = 8, // DEL (127) arrives as Backspace as well
    KEY_TAB = 9,
    KEY_ENTER = 13,
    KEY_CTRL_Y = 25,
    KEY_ESC = 27,
    KEY_UP = 0x110000,
    KEY_DOWN = 0x110001,
    KEY_LEFT = 0x110002,
    KEY_RIGHT = 0x110003,
    KEY_HOME = 0x110004,
    KEY_END = 0x110005,
    KEY_PGUP = 0x110006,
    KEY_PGDN = 0x110007,
    KEY_INSERT = 0x110008,
    KEY_DELETE = 0x110009,
    KEY_SHIFT_TAB = 0x11000A, // never carries modifier flags
    KEY_F1 = 0x11000B,        // F1 to F12 follow in order
    KEY_F12 = 0x110016,
    KEY_RESIZE = 0x110017, // the terminal changed size
    KEY_ALT = 0x1000000,
    KEY_CTRL = 0x2000000,
    KEY_SHIFT = 0x4000000,
    KEY_BARE_MASK = 0xFFFFFF, // strips the modifier flags
    KEY_ALT_ENTER = KEY_ALT + 13,
};

// F1 for n = 1 up to F12 for n = 12.
constexpr uint32_t key_function(int n) {
    return KEY_F1 + (uint32_t)(n - 1);
}
// Alt with a letter (either case gives the lower-case code) or a digit.
constexpr uint32_t key_alt(char c) {
    return KEY_ALT + (uint32_t)(c >= 'A' && c <= 'Z' ? c + 32 : c);
}
// Navigation keys (Up to Delete) and F1-F12 carry modifier flags; this tells them apart.
constexpr bool key_is_special(uint32_t key) {
    uint32_t bare = key & KEY_BARE_MASK;
    return bare >= KEY_UP && bare <= KEY_RESIZE;
}
