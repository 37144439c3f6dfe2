#include "base/emulation.h"

#include <iterator>

#include "base/text.h"

// clang-format off
const EmulationTraits kEmulationTraits[] = {
    // terminal  classic cols pet colour text encoding   key encoding  shows esc page ctrl so restore vt
    {"ANSI",    "ansi",  80, 0, 0,  TEXT_UNDECIDED, TEXT_UNDECIDED, 1, 1, 1, 1, 0, 0, 0}, // EMU_ANSI
    {"ANSI",    "ansi",  80, 0, 0,  TEXT_CP437,     TEXT_CP437,     1, 1, 1, 1, 0, 0, 0}, // EMU_CP437
    {"ANSI",    "ansi",  80, 0, 0,  TEXT_UTF8,      TEXT_UTF8,      1, 1, 1, 0, 0, 0, 0}, // EMU_UTF8
    {"VT100",   "vt100", 80, 0, 0,  TEXT_UNDECIDED, TEXT_UNDECIDED, 1, 1, 0, 0, 1, 1, 1}, // EMU_VT100
    {"DUMB",    "tty",   80, 0, 0,  TEXT_UNDECIDED, TEXT_CP437,     0, 0, 0, 0, 0, 0, 0}, // EMU_TTY
    {"PETSCII", "ansi",  40, 1, 14, TEXT_UNDECIDED, TEXT_CP437,     0, 0, 0, 0, 0, 0, 0}, // EMU_PETSCII40
    {"PETSCII", "ansi",  80, 1, 13, TEXT_UNDECIDED, TEXT_CP437,     0, 0, 0, 0, 0, 0, 0}, // EMU_PETSCII80
};
// clang-format on
const char *const emulation_long_names[] = {
    "ANSI (auto CP437/UTF-8)", "ANSI CP437",        "ANSI UTF-8", "VT100", "TTY",
    "PETSCII 40 column",       "PETSCII 80 column",
};
const char *const emulation_short_names[] = {"ANSI", "ANSI-437", "ANSI-UTF8", "VT100",
                                             "TTY",  "PET-40",   "PET-80"};
const char *const emulation_file_words[] = {"ansi", "cp437",     "utf8",     "vt100",
                                            "tty",  "petscii40", "petscii80"};

// Every table indexed by emulation has one entry per emulation.
static_assert(std::size(kEmulationTraits) == EMU_COUNT && std::size(emulation_long_names) == EMU_COUNT &&
              std::size(emulation_short_names) == EMU_COUNT && std::size(emulation_file_words) == EMU_COUNT);

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
