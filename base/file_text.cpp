#include "base/file_text.h"

#include <climits>
#include <cstring>

#include "base/text.h"

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

void file_drop_bom(char *line) {
    if (memcmp(line, "\xEF\xBB\xBF", 3) == 0) memmove(line, line + 3, strlen(line + 3) + 1);
}

int file_line_has_content(char *line) {
    text_trim(line);
    return line[0] != 0 && line[0] != '#' && line[0] != ';';
}

char *file_split_key_value(char *line) {
    char *equals = strchr(line, '=');
    if (!equals) return nullptr;
    *equals = 0;
    text_trim(line);
    text_trim(equals + 1);
    return equals + 1;
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
