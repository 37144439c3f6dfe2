// Emulation kinds: numbering, the three name lists, and parsing of a user's or a file's word.
#pragma once

enum Emulation : int {
    EMU_NONE = -1, // no emulation given: the default of the settings applies
    EMU_ANSI = 0,  // ANSI, CP437 or UTF-8 detected
    EMU_CP437 = 1,
    EMU_UTF8 = 2,
    EMU_VT100 = 3,
    EMU_TTY = 4,
    EMU_PETSCII40 = 5,
    EMU_PETSCII80 = 6,
    EMU_COUNT = 7,
};

extern const char *const emulation_long_names[EMU_COUNT];
extern const char *const emulation_short_names[EMU_COUNT];
extern const char *const emulation_file_words[EMU_COUNT];

inline bool emulation_is_petscii(int emulation) {
    return emulation == EMU_PETSCII40 || emulation == EMU_PETSCII80;
}
inline int emulation_columns(int emulation) {
    return emulation == EMU_PETSCII40 ? 40 : 80;
}

// 0-6 for a file word or alias (case of A-Z ignored), -1 for anything else or an empty word.
int emulation_from_name(const char *word);
