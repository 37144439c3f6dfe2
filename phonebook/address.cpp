#include "phonebook/address.h"

#include <cstring>

#include "base/file_text.h"
#include "base/text.h"

void address_parse(const char *text, char *host, int host_size, int *port) {
    char buf[ADDRESS_TEXT];
    text_copy(buf, text, sizeof buf);
    text_trim(buf);
    char *s = buf;
    int value = ADDRESS_DEFAULT_PORT;
    if (text_ncasecmp(s, "telnet://", 9) == 0) s += 9;
    size_t len = strlen(s);
    if (len > 0 && s[len - 1] == '/') s[len - 1] = 0;
    if (char *space = strchr(s, ' ')) {
        *space = 0;
        const char *rest = space + 1;
        while (*rest == ' ') rest++;
        if (*rest) value = file_parse_int(rest);
    } else {
        char *colon = strchr(s, ':');
        // Two or more colons: a bare IPv6 literal, all host.
        if (colon && !strchr(colon + 1, ':')) {
            *colon = 0;
            if (colon[1]) value = file_parse_int(colon + 1);
        }
    }
    if (value < 1 || value > 65535) value = ADDRESS_DEFAULT_PORT;
    text_copy(host, s, host_size);
    *port = value;
}

void address_format(char *out, int size, const char *host, int port) {
    if (port != ADDRESS_DEFAULT_PORT && port >= 1)
        text_format(out, size, "%s %d", host, port);
    else
        text_copy(out, host, size);
}

void address_normalise(char *text, int size) {
    if (!text[0]) return;
    char host[ADDRESS_TEXT];
    int port;
    address_parse(text, host, sizeof host, &port);
    address_format(text, size, host, port);
}
