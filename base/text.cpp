#include "base/text.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <unistd.h>

static inline unsigned char fold(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

int text_casecmp(const char *a, const char *b) {
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    for (;; p++, q++) {
        int d = fold(*p) - fold(*q);
        if (d != 0 || *p == 0) return d;
    }
}

int text_ncasecmp(const char *a, const char *b, size_t n) {
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    for (; n > 0; n--, p++, q++) {
        int d = fold(*p) - fold(*q);
        if (d != 0 || *p == 0) return d;
    }
    return 0;
}

const char *text_find(const char *text, const char *pattern) {
    size_t n = strlen(pattern);
    for (const char *s = text;; s++) {
        if (text_ncasecmp(s, pattern, n) == 0) return s;
        if (*s == 0) return nullptr;
    }
}

int text_format(char *buf, int size, const char *format, ...) {
    if (size < 1) return 0;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf, (size_t)size, format, args);
    va_end(args);
    if (n < 0) {
        buf[0] = 0;
        return 0;
    }
    return n < size ? n : size - 1;
}

void text_copy(char *dst, const char *src, int size) {
    if (size < 1) return;
    int i = 0;
    for (; i < size - 1 && src[i]; i++) dst[i] = src[i];
    dst[i] = 0;
}

static inline bool is_trim_char(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void text_trim(char *s) {
    size_t len = strlen(s);
    while (len > 0 && is_trim_char(s[len - 1])) len--;
    s[len] = 0;
    size_t start = 0;
    while (start < len && is_trim_char(s[start])) start++;
    if (start > 0) memmove(s, s + start, len - start + 1);
}

void text_write_stdout_bytes(const void *bytes, size_t size) {
    const char *p = (const char *)bytes;
    while (size > 0) {
        ssize_t n = write(STDOUT_FILENO, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        size -= (size_t)n;
    }
}

void text_write_stdout(const char *text) {
    text_write_stdout_bytes(text, strlen(text));
}
