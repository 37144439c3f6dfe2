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

TEST(HostKeys, SendTheBytesOfTheEmulation) {
    const struct {
        int emulation;
        int mode; // ANSI auto: 1 when UTF-8 was decided; PETSCII: ASCII text
        uint32_t key;
        std::string sends; // the bytes, "MACRO n" or "" for nothing
    } cases[] = {
        {EMU_ANSI, 0, key_function(5), "MACRO 5"},
        {EMU_ANSI, 0, key_function(11), "\x1b[23~"}, // never a macro
        {EMU_ANSI, 0, 0xE9, "\x82"},                 // before any decision: CP437
        {EMU_ANSI, 1, 0xE9, "\xc3\xa9"},             // once UTF-8 was decided
        {EMU_PETSCII40, 0, KEY_CTRL + KEY_HOME, "\x13"},
        {EMU_PETSCII40, 1, KEY_UP, "\x91"}, // ASCII text keeps the C64 codes
    };
    term_build_tables();
    static Settings s;
    settings_set_defaults(&s);
    strcpy(s.macros[4], "m5");
    static Terminal t;
    for (const auto &c : cases) {
        t.emulation = c.emulation;
        t.text_encoding = c.mode ? TEXT_UTF8 : TEXT_UNDECIDED;
        t.ascii_text = emulation_is_petscii(c.emulation) && c.mode;
        HostKey k = host_key_map(c.key, &t, &s);
        std::string sent = k.kind == HOST_KEY_BYTES   ? std::string((const char *)k.bytes, (size_t)k.length)
                           : k.kind == HOST_KEY_MACRO ? "MACRO " + std::to_string(k.macro + 1)
                                                      : "";
        EXPECT_EQ(sent, c.sends) << emulation_file_words[c.emulation] << " mode " << c.mode << " key "
                                 << c.key;
    }
}

TEST(MacroExpansion, Escapes) {
    const std::pair<const char *, const char *> kCases[] = {
        {"abc|^Mdef|", "abc\r\rdef\r"}, {"^1", "^1"}, {"^^", "^"}, {"^[[2J", "\x1b[2J"}, {"end^", "end^"}};
    uint8_t out[MACRO_EXPANSION_MAX];
    for (auto [macro, expands] : kCases) {
        int n = macro_expand(macro, out);
        EXPECT_EQ(std::string((const char *)out, (size_t)n), expands) << macro;
    }
}

} // namespace
