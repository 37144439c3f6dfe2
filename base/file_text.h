// Reading the program's text files: one line at a time into a fixed buffer, and decimal numbers.
#pragma once
#include <cstdio>

// Reads one line into buf (at most size-1 bytes, terminated), keeping its CR but not its LF.
// The rest of a line too long for buf is read and dropped, so a long line still counts as one.
// Returns 0 at the end of the file (nothing read), 1 otherwise.
int file_read_line(FILE *f, char *buf, int size);

// Drops a UTF-8 byte-order mark from the start of a file's first line (editors on some systems put
// one there).
void file_drop_bom(char *line);
// Trims a line of a key=value file; 0 when nothing is left or it is a comment ("#" or ";").
int file_line_has_content(char *line);
// Splits a trimmed "key = value" line at its first "=": the key stays in line, and both parts are
// trimmed. The value, or nullptr when the line has no "=".
char *file_split_key_value(char *line);

// Leading blanks skipped, an optional sign, then digits up to the first non-digit; no digits give 0.
// Values beyond the range of int saturate at INT_MIN / INT_MAX instead of overflowing.
int file_parse_int(const char *text);
