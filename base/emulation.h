// Emulation kinds: numbering, the three name lists, parsing of a user's or a file's word, and the
// traits table that says what each emulation does differently.
#pragma once
#include <cstdint>

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

// How the host's 8-bit text is read: fixed by the emulation, or decided by what the host sends.
enum TextEncoding : int32_t { TEXT_UNDECIDED = 0, TEXT_CP437 = 1, TEXT_UTF8 = 2 };

struct EmulationTraits {
    const char *terminal_type;  // the answer to the telnet terminal-type question
    const char *classic_word;   // its word in the older settings file, which knows ansi, vt100 and tty
    uint8_t columns;            // 80, or 40
    uint8_t petscii;            // PETSCII interpreter and colours; the client opens no telnet negotiation
    uint8_t petscii_colour;     // PETSCII: the C64 colour text starts in (14 light blue, 13 light green)
    uint8_t text_encoding;      // TEXT_CP437 or TEXT_UTF8 when fixed; TEXT_UNDECIDED: the host's text decides
    uint8_t key_encoding;       // the same for typed characters (TTY types CP437 whatever the host sends)
    uint8_t shows_encoding;     // the charset label names the text encoding ("437", "UTF8", "Auto")
    uint8_t escapes;            // ESC starts a sequence; without, it is an ignored control like NUL
    uint8_t page_to_scrollback; // FF and ED 2 clear the page into the scrollback, as BBS art expects
    uint8_t control_symbols;    // other C0 bytes show the PC's symbols while the text may be CP437
    uint8_t shift_out;          // SO and SI switch between the G0 and G1 character sets
    uint8_t restores_colours;   // restore-cursor brings back the saved colours too
    uint8_t vt_keys;            // navigation keys send VT220 sequences, cursor keys follow cursor-keys mode
};

extern const EmulationTraits kEmulationTraits[]; // bounds checked where the tables are defined
extern const char *const emulation_long_names[];
extern const char *const emulation_short_names[];
extern const char *const emulation_file_words[];

// The traits of an emulation; those of ANSI for a number out of range.
inline const EmulationTraits &emulation_traits(int emulation) {
    return kEmulationTraits[emulation >= 0 && emulation < EMU_COUNT ? emulation : EMU_ANSI];
}
inline bool emulation_is_petscii(int emulation) {
    return emulation_traits(emulation).petscii;
}
inline int emulation_columns(int emulation) {
    return emulation_traits(emulation).columns;
}

// 0-6 for a file word or alias (case of A-Z ignored), -1 for anything else or an empty word.
int emulation_from_name(const char *word);
