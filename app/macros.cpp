#include "app/macros.h"

#include "net/telnet.h"

int macro_expand(const char *text, uint8_t *out) {
    int n = 0;
    const uint8_t *p = (const uint8_t *)text;
    while (*p && n < MACRO_EXPANSION_MAX - 1) {
        uint8_t c = *p++;
        if (c == '|') {
            out[n++] = '\r';
            continue;
        }
        if (c != '^' || !*p) {
            out[n++] = c;
            continue;
        }
        uint8_t next = *p++;
        if (next == '^') { // before the range below, which holds the caret too
            out[n++] = '^';
        } else if (next >= '@' && next <= '_') {
            out[n++] = (uint8_t)(next - 64); // ^M is CR, ^[ is Esc
        } else if (next >= 'a' && next <= 'z') {
            out[n++] = (uint8_t)(next - 96);
        } else {
            out[n++] = '^';
            out[n++] = next;
        }
    }
    return n;
}

void macro_send(const char *text) {
    uint8_t bytes[MACRO_EXPANSION_MAX];
    int n = macro_expand(text, bytes);
    if (n > 0) telnet_send_keys(bytes, n);
}
