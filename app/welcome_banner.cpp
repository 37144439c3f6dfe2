#include "app/welcome_banner.h"

#include <cstring>

int welcome_banner(uint8_t *out, int size) {
    static const char kHead[] = "\x1b[0;1;36m P\x1b[37melorin \x1b[36mN\x1b[37mext \x1b[36mG\x1b[37meneration"
                                "\x1b[0;36m  v1.0\r\n\x1b[0;36m ";
    static const char kTail[] = "\r\n\x1b[0;37m Linux console telnet client - ANSI / VT100 / PETSCII\r\n\r\n"
                                " Press \x1b[1;33mALT-D\x1b[0;37m for the dialing directory, "
                                "\x1b[1;33mALT-Z\x1b[0;37m for help.\r\n\r\n";
    const int head = (int)sizeof kHead - 1, rule = 34, tail = (int)sizeof kTail - 1;
    if (size < head + rule + tail) return 0;
    memcpy(out, kHead, head);
    memset(out + head, 196, rule); // CP437 horizontal line
    memcpy(out + head + rule, kTail, tail);
    return head + rule + tail;
}
