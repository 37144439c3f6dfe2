// What each key sends to the host, by emulation and mode; and macro expansion.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/host_keys.h"
#include "app/macros.h"
#include "input/keys.h"
#include "settings/settings.h"
#include "term/terminal.h"

namespace {

// "bytes", "ENTER", "MACRO n" or "" for nothing.
std::string describe(const HostKey &k) {
    switch (k.kind) {
    case HOST_KEY_BYTES: return std::string((const char *)k.bytes, (size_t)k.length);
    case HOST_KEY_ENTER: return "ENTER";
    case HOST_KEY_MACRO: return "MACRO " + std::to_string(k.macro + 1);
    default: return "";
    }
}

struct KeyCase {
    const char *name;
    int emulation;
    int mode; // VT100: cursor-keys mode; ANSI auto: 1 when UTF-8 was decided; PETSCII: ASCII text
    uint32_t key;
    std::string sends;
};

class HostKeysTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(HostKeysTest, SendsTheBytesOfTheEmulation) {
    const KeyCase &c = GetParam();
    static Terminal t;
    memset(&t, 0, sizeof t);
    t.emulation = c.emulation;
    t.cursor_keys_mode = c.emulation == EMU_VT100 && c.mode;
    t.text_encoding = c.mode && c.emulation != EMU_VT100 ? TEXT_UTF8 : TEXT_UNDECIDED;
    t.ascii_text = emulation_is_petscii(c.emulation) && c.mode;
    static Settings s;
    settings_set_defaults(&s);
    strcpy(s.macros[0], "m1");
    strcpy(s.macros[4], "m5");
    s.vt100_function_keys = 1;
    term_build_tables();
    EXPECT_EQ(describe(host_key_map(c.key, &t, &s)), c.sends);
}

const KeyCase kKeyCases[] = {
    // ANSI, VT100 and TTY: function keys and macros
    {"F1 keeps its sequence while VT100 function keys are on", EMU_ANSI, 0, KEY_F1, "\x1bOP"},
    {"F5 sends its macro", EMU_ANSI, 0, key_function(5), "MACRO 5"},
    {"F2 without a macro", EMU_VT100, 0, key_function(2), "\x1bOQ"},
    {"F11 never sends a macro", EMU_ANSI, 0, key_function(11), "\x1b[23~"},
    {"Ctrl-F10", EMU_TTY, 0, KEY_CTRL + key_function(10), "\x1b[21~"},
    // navigation
    {"Up in ANSI", EMU_ANSI, 1, KEY_UP, "\x1b[A"},
    {"Up in VT100", EMU_VT100, 0, KEY_UP, "\x1b[A"},
    {"Up in VT100 cursor-keys mode", EMU_VT100, 1, KEY_UP, "\x1bOA"},
    {"Left in VT100 cursor-keys mode", EMU_VT100, 1, KEY_LEFT, "\x1bOD"},
    {"Home in VT100 cursor-keys mode", EMU_VT100, 1, KEY_HOME, "\x1b[1~"},
    {"Home in ANSI", EMU_ANSI, 0, KEY_HOME, "\x1b[H"},
    {"End in ANSI", EMU_CP437, 0, KEY_END, "\x1b[K"},
    {"PgDn in ANSI", EMU_ANSI, 0, KEY_PGDN, "\x1b[U"},
    {"PgUp in VT100", EMU_VT100, 0, KEY_PGUP, "\x1b[5~"},
    {"Delete in ANSI", EMU_ANSI, 0, KEY_DELETE, "\x7f"},
    {"Delete in VT100", EMU_VT100, 0, KEY_DELETE, "\x1b[3~"},
    {"Insert in TTY", EMU_TTY, 0, KEY_INSERT, "\x1b[@"},
    {"Shift-Tab", EMU_UTF8, 0, KEY_SHIFT_TAB, "\x1b[Z"},
    {"Ctrl-Right ignores the modifier", EMU_ANSI, 0, KEY_CTRL + KEY_RIGHT, "\x1b[C"},
    // characters
    {"Enter", EMU_ANSI, 0, KEY_ENTER, "ENTER"},
    {"Backspace", EMU_ANSI, 0, KEY_BACKSPACE, "\x08"},
    {"Esc", EMU_VT100, 0, KEY_ESC, "\x1b"},
    {"Ctrl-2", EMU_ANSI, 0, 0, std::string(1, '\0')},
    {"e acute before any decision", EMU_ANSI, 0, 0xE9, "\x82"},
    {"e acute once UTF-8 was decided", EMU_ANSI, 1, 0xE9, "\xc3\xa9"},
    {"e acute in ANSI UTF-8", EMU_UTF8, 0, 0xE9, "\xc3\xa9"},
    {"e acute in ANSI CP437", EMU_CP437, 1, 0xE9, "\x82"},
    {"box corner in TTY", EMU_TTY, 0, 0x250C, "\xda"},
    {"emoji in ANSI UTF-8", EMU_UTF8, 0, 0x1F600, "\xf0\x9f\x98\x80"},
    {"Alt-F is no key", EMU_ANSI, 0, key_alt('f'), ""},
    // PETSCII
    {"PETSCII a", EMU_PETSCII40, 0, 'a', "A"},
    {"PETSCII A", EMU_PETSCII80, 0, 'A', "\xc1"},
    {"PETSCII Z", EMU_PETSCII40, 0, 'Z', "\xda"},
    {"PETSCII digit", EMU_PETSCII40, 0, '7', "7"},
    {"PETSCII Backspace", EMU_PETSCII40, 0, KEY_BACKSPACE, "\x14"},
    {"PETSCII Enter", EMU_PETSCII40, 0, KEY_ENTER, "ENTER"},
    {"PETSCII Up", EMU_PETSCII40, 0, KEY_UP, "\x91"},
    {"PETSCII Right", EMU_PETSCII80, 0, KEY_RIGHT, "\x1d"},
    {"PETSCII Home", EMU_PETSCII40, 0, KEY_HOME, "\x13"},
    {"PETSCII Shift-Home clears", EMU_PETSCII40, 0, KEY_SHIFT + KEY_HOME, "\x93"},
    {"PETSCII Ctrl-Home is home", EMU_PETSCII40, 0, KEY_CTRL + KEY_HOME, "\x13"},
    {"PETSCII F1 with a macro", EMU_PETSCII40, 0, KEY_F1, "MACRO 1"},
    {"PETSCII F2", EMU_PETSCII40, 0, key_function(2), "\x89"},
    {"PETSCII F8", EMU_PETSCII40, 0, key_function(8), "\x8c"},
    {"PETSCII F9 sends nothing", EMU_PETSCII40, 0, key_function(9), ""},
    {"PETSCII PgUp sends nothing", EMU_PETSCII40, 0, KEY_PGUP, ""},
    {"PETSCII pound", EMU_PETSCII40, 0, 0xA3, "\\"},
    {"PETSCII pi", EMU_PETSCII40, 0, 0x3C0, "\xff"},
    {"PETSCII e acute sends nothing", EMU_PETSCII40, 0, 0xE9, ""},
    {"PETSCII Alt-Up", EMU_PETSCII40, 0, KEY_ALT + KEY_UP, "\x91"},
    // PETSCII with ASCII text
    {"ASCII a", EMU_PETSCII40, 1, 'a', "a"},
    {"ASCII A", EMU_PETSCII80, 1, 'A', "A"},
    {"ASCII Backspace", EMU_PETSCII40, 1, KEY_BACKSPACE, "\x08"},
    {"ASCII Enter", EMU_PETSCII40, 1, KEY_ENTER, "ENTER"},
    {"ASCII Up keeps the C64 code", EMU_PETSCII40, 1, KEY_UP, "\x91"},
    {"ASCII pound", EMU_PETSCII40, 1, 0xA3, "\\"},
};

INSTANTIATE_TEST_SUITE_P(ByEmulation, HostKeysTest, ::testing::ValuesIn(kKeyCases),
                         [](const ::testing::TestParamInfo<KeyCase> &info) {
                             std::string name;
                             for (const char *p = info.param.name; *p; p++)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

TEST(MacroExpansion, EscapesAndLimits) {
    struct Case {
        const char *macro;
        std::string expands;
    };
    const Case cases[] = {
        {"abc|^Mdef|", "abc\r\rdef\r"},
        {"^1", "^1"},
        {"^^", "^"},
        {"^[[2J", "\x1b[2J"},
        {"^m^j", "\r\n"},
        {"^@x", std::string("\0x", 2)},
        {"^_", "\x1f"},
        {"end^", "end^"},
        {"", ""},
    };
    for (const Case &c : cases) {
        uint8_t out[MACRO_EXPANSION_MAX];
        int n = macro_expand(c.macro, out);
        EXPECT_EQ(std::string((const char *)out, (size_t)n), c.expands) << c.macro;
    }
    // A caret pair may take the output from 298 to 300 bytes; expansion stops there.
    std::string long_macro = std::string(298, 'x') + "^1^1";
    uint8_t out[MACRO_EXPANSION_MAX];
    EXPECT_EQ(macro_expand(long_macro.c_str(), out), 300);
    EXPECT_EQ(macro_expand(std::string(400, '|').c_str(), out), 299);
}

} // namespace
