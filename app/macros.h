// The function-key macros: "|" stands for CR and "^" for a control character.
#pragma once
#include <cstdint>

enum { MACRO_EXPANSION_MAX = 300 };

// Expands text into out (room for MACRO_EXPANSION_MAX bytes); returns the byte count. Expansion
// stops once 299 or more bytes have been produced, so a long macro is cut.
int macro_expand(const char *text, uint8_t *out);
// Expands and sends the macro through the telnet layer's key path; an empty macro sends nothing.
void macro_send(const char *text);
