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

TEST(HostKeys, SendTheBytesOfTheEmulation) {
    const struct {
        const char *name;
        int emulation;
        int mode; // VT100: cursor-keys mode; ANSI auto: 1 when UTF-8 was decided; PETSCII: ASCII text
        uint32_t key;
        std::string sends;
    } cases[] = {
        // ANSI, VT100 and TTY: function keys and macros
        {"F1 keeps its sequence while VT100 function keys are on", EMU_ANSI, 0, KEY_F1, "\x1bOP"},
        {"F5 sends its macro", EMU_ANSI, 0, key_function(5), "MACRO 5"},
        {"F11 never sends a macro", EMU_ANSI, 0, key_function(11), "\x1b[23~"},
        // navigation
        {"Up in VT100", EMU_VT100, 0, KEY_UP, "\x1b[A"},
        {"Up in VT100 cursor-keys mode", EMU_VT100, 1, KEY_UP, "\x1bOA"},
        {"Delete in ANSI", EMU_ANSI, 0, KEY_DELETE, "\x7f"},
        {"Delete in VT100", EMU_VT100, 0, KEY_DELETE, "\x1b[3~"},
        {"Ctrl-Right ignores the modifier", EMU_ANSI, 0, KEY_CTRL + KEY_RIGHT, "\x1b[C"},
        // characters
        {"Enter", EMU_ANSI, 0, KEY_ENTER, "ENTER"},
        {"Backspace", EMU_ANSI, 0, KEY_BACKSPACE, "\x08"},
        {"Ctrl-2 sends NUL", EMU_ANSI, 0, 0, std::string(1, '\0')},
        {"e acute before any decision", EMU_ANSI, 0, 0xE9, "\x82"},
        {"e acute once UTF-8 was decided", EMU_ANSI, 1, 0xE9, "\xc3\xa9"},
        {"e acute in ANSI CP437", EMU_CP437, 1, 0xE9, "\x82"},
        {"box corner in TTY", EMU_TTY, 0, 0x250C, "\xda"},
        {"emoji in ANSI UTF-8", EMU_UTF8, 0, 0x1F600, "\xf0\x9f\x98\x80"},
        {"Alt-F is no key", EMU_ANSI, 0, key_alt('f'), ""},
        // PETSCII
        {"PETSCII a", EMU_PETSCII40, 0, 'a', "A"},
        {"PETSCII A", EMU_PETSCII80, 0, 'A', "\xc1"},
        {"PETSCII Up", EMU_PETSCII40, 0, KEY_UP, "\x91"},
        {"PETSCII Ctrl-Home is home", EMU_PETSCII40, 0, KEY_CTRL + KEY_HOME, "\x13"},
        {"PETSCII F1 with a macro", EMU_PETSCII40, 0, KEY_F1, "MACRO 1"},
        {"PETSCII F9 sends nothing", EMU_PETSCII40, 0, key_function(9), ""},
        {"PETSCII pound", EMU_PETSCII40, 0, 0xA3, "\\"},
        {"PETSCII e acute sends nothing", EMU_PETSCII40, 0, 0xE9, ""},
        {"PETSCII Alt-Up", EMU_PETSCII40, 0, KEY_ALT + KEY_UP, "\x91"},
        // PETSCII with ASCII text
        {"ASCII a", EMU_PETSCII40, 1, 'a', "a"},
        {"ASCII A", EMU_PETSCII80, 1, 'A', "A"},
        {"ASCII Backspace", EMU_PETSCII40, 1, KEY_BACKSPACE, "\x08"},
        {"ASCII Up keeps the C64 code", EMU_PETSCII40, 1, KEY_UP, "\x91"},
    };
    term_build_tables();
    static Settings s;
    settings_set_defaults(&s);
    strcpy(s.macros[0], "m1");
    strcpy(s.macros[4], "m5");
    s.vt100_function_keys = 1;
    for (const auto &c : cases) {
        static Terminal t;
        memset(&t, 0, sizeof t);
        t.emulation = c.emulation;
        t.cursor_keys_mode = c.emulation == EMU_VT100 && c.mode;
        t.text_encoding = c.mode && c.emulation != EMU_VT100 ? TEXT_UTF8 : TEXT_UNDECIDED;
        t.ascii_text = emulation_is_petscii(c.emulation) && c.mode;
        EXPECT_EQ(describe(host_key_map(c.key, &t, &s)), c.sends) << c.name;
    }
}

TEST(MacroExpansion, EscapesAndLimits) {
    const struct {
        const char *macro;
        std::string expands;
    } cases[] = {
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
    uint8_t out[MACRO_EXPANSION_MAX];
    for (const auto &c : cases) {
        int n = macro_expand(c.macro, out);
        EXPECT_EQ(std::string((const char *)out, (size_t)n), c.expands) << c.macro;
    }
    // A caret pair may take the output from 298 to 300 bytes; expansion stops there.
    EXPECT_EQ(macro_expand((std::string(298, 'x') + "^1^1").c_str(), out), 300);
    EXPECT_EQ(macro_expand(std::string(400, '|').c_str(), out), 299);
}

} // namespace
