#include "base/emulation.h"

#include "base/text.h"

const char *const emulation_long_names[EMU_COUNT] = {
    "ANSI (auto CP437/UTF-8)", "ANSI CP437",        "ANSI UTF-8", "VT100", "TTY",
    "PETSCII 40 column",       "PETSCII 80 column",
};
const char *const emulation_short_names[EMU_COUNT] = {
    "ANSI", "ANSI-437", "ANSI-UTF8", "VT100", "TTY", "PET-40", "PET-80",
};
const char *const emulation_file_words[EMU_COUNT] = {
    "ansi", "cp437", "utf8", "vt100", "tty", "petscii40", "petscii80",
};

static const struct {
    const char *word;
    int emulation;
} kAliases[] = {
    {"ansi-bbs", EMU_ANSI}, {"ansi", EMU_ANSI},       {"utf-8", EMU_UTF8},     {"petscii", EMU_PETSCII40},
    {"c64", EMU_PETSCII40}, {"pet40", EMU_PETSCII40}, {"c128", EMU_PETSCII80}, {"pet80", EMU_PETSCII80},
    {"dumb", EMU_TTY},      {"none", EMU_TTY},
};

int emulation_from_name(const char *word) {
    if (!word || !*word) return EMU_NONE;
    for (int e = 0; e < EMU_COUNT; e++)
        if (text_casecmp(word, emulation_file_words[e]) == 0) return e;
    for (const auto &alias : kAliases)
        if (text_casecmp(word, alias.word) == 0) return alias.emulation;
    return EMU_NONE;
}
