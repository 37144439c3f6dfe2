// Shared by the byte interpreters (ANSI / VT100 / TTY and PETSCII); not for use outside term/.
#pragma once
#include <cstdint>

#include "term/terminal.h"

// States of the ANSI escape parser (Terminal::parser_state).
enum ParserState : int32_t {
    PARSE_GROUND = 0,        // text and controls
    PARSE_ESCAPE = 1,        // ESC seen
    PARSE_CSI = 2,           // collecting a control sequence after ESC [
    PARSE_DESIGNATE = 3,     // waiting for the byte after ESC #, ESC %, ESC ( or ESC )
    PARSE_STRING = 4,        // inside a control string (DCS, SOS, OSC, PM, APC), swallowed
    PARSE_STRING_ESCAPE = 5, // ESC seen inside a control string
    PARSE_MUSIC = 6,         // inside ANSI music, swallowed up to SO
};

// Detection counters stop here so that endless input never overflows them.
enum { TERM_COUNTER_CAP = 1 << 30 };

inline void count_bell(Terminal *t) {
    if (t->bell_count < TERM_COUNTER_CAP) t->bell_count++;
}

// ansi_parser.cpp: the C0 control table of the ground state (also run inside CSI sequences).
void ansi_execute_control(Terminal *t, uint8_t b);
// ansi_text.cpp: the run of text bytes from p (0x20-0x7E, and 0x80-0xFF when cp437), written
// through the CP437 table or the DEC Special Graphics set; returns where the run ends.
const uint8_t *ansi_put_text(Terminal *t, const uint8_t *p, const uint8_t *end, bool cp437);
// ansi_text.cpp: strict UTF-8 text from p (printable ASCII and well-formed sequences, nothing held);
// returns where it stopped, p itself when the first byte needs the byte-wise decoder.
const uint8_t *ansi_put_utf8_text(Terminal *t, const uint8_t *p, const uint8_t *end);
// ansi_csi.cpp: runs a complete CSI sequence whose final byte is given (the parser is back in ground).
void ansi_dispatch_csi(Terminal *t, uint8_t final_byte);
// ansi_sgr.cpp: SGR over the collected parameters, then term_update_attr.
void ansi_apply_sgr(Terminal *t);
// utf8_decode.cpp: a byte 0x80-0xFF in ground state, read as CP437 or UTF-8 by the text encoding.
void utf8_decode_byte(Terminal *t, uint8_t b);
// The encoding 8-bit text is read in: fixed by the emulation, else as decided so far.
inline int text_encoding_of(const Terminal *t) {
    int fixed = emulation_traits(t->emulation).text_encoding;
    return fixed != TEXT_UNDECIDED ? fixed : t->text_encoding;
}
inline bool text_reads_cp437(const Terminal *t) {
    return text_encoding_of(t) == TEXT_CP437;
}
// petscii_parser.cpp: the PETSCII interpreter with its ASCII text detection.
void petscii_feed(Terminal *t, const uint8_t *bytes, int length);
