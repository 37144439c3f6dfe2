// Small text helpers used everywhere: case-folding compares (A-Z only), bounded copy and format,
// and a whole write to standard output.
#pragma once
#include <cstddef>

// Compares whole strings, folding only A-Z to lower case; the difference of the first differing
// folded bytes (as unsigned), 0 when equal.
int text_casecmp(const char *a, const char *b);
// The same for at most n bytes; 0 when n is 0 or the first n bytes match.
int text_ncasecmp(const char *a, const char *b, size_t n);
// First position of pattern in text with the same folding, or nullptr; an empty pattern matches at the start.
const char *text_find(const char *text, const char *pattern);
// Formats into buf; at most size-1 characters, always terminated. Returns the number stored (0 when size <
// 1).
int text_format(char *buf, int size, const char *format, ...) __attribute__((format(printf, 3, 4)));
// Copies at most size-1 bytes, stopping at the end of src, always terminated; nothing when size < 1.
void text_copy(char *dst, const char *src, int size);
// Removes TAB, LF, CR and space from both ends, in place.
void text_trim(char *s);
// Writes all the bytes to standard output, repeating short and interrupted writes; gives up silently
// on an error. Only write() is called, so signal handlers may use it.
void text_write_stdout_bytes(const void *bytes, size_t size);
// The same for a text.
void text_write_stdout(const char *text);
