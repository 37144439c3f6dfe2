#include "settings/file_text.h"

#include <climits>

int file_read_line(FILE *f, char *buf, int size) {
    int n = 0, c = 0;
    bool any = false;
    while ((c = getc(f)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (n < size - 1) buf[n++] = (char)c;
    }
    if (size > 0) buf[n] = 0;
    return any ? 1 : 0;
}

int file_parse_int(const char *text) {
    const char *p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        value = value * 10 + (*p - '0');
        if (value > (long long)INT_MAX + 1) value = (long long)INT_MAX + 1; // saturate, keep reading
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return (int)value;
}
