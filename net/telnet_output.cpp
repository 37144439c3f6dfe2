#include "base/out_buffer.h"
#include "net/telnet.h"

// A full buffer is sent at once and appending goes on.
static void append(const uint8_t *bytes, int length) {
    out_buffer_append(g_telnet.out, TELNET_OUT_SIZE, &g_telnet.out_count, bytes, length, telnet_flush);
}

static void append_byte(uint8_t b) {
    append(&b, 1);
}

void telnet_queue_raw(const uint8_t *bytes, int length) {
    if (length > 0) append(bytes, length);
}

void telnet_queue_data(const uint8_t *bytes, int length) {
    if (length < 1) return;
    if (!g_telnet.negotiating) {
        append(bytes, length);
        return;
    }
    // Runs without IAC go in one piece; each IAC is doubled.
    int start = 0;
    for (int i = 0; i < length; i++) {
        if (bytes[i] != TELNET_IAC) continue;
        append(bytes + start, i + 1 - start);
        append_byte(TELNET_IAC);
        start = i + 1;
    }
    if (start < length) append(bytes + start, length - start);
}

void telnet_flush() {
    TelnetState &t = g_telnet;
    int sent = 0;
    while (sent < t.out_count) {
        int n = g_telnet_hooks.send(t.out + sent, t.out_count - sent);
        if (n <= 0) break; // the transport has kept the reason in its last-error text
        sent += n;
    }
    t.out_count = 0;
}

void telnet_send_keys(const uint8_t *bytes, int length) {
    TelnetState &t = g_telnet;
    if (length < 1) return;
    if (t.negotiating && !t.will_table[TELNET_OPT_BINARY]) {
        // Network virtual terminal text: CR LF stays, any other CR becomes CR NUL, IAC is doubled.
        for (int i = 0; i < length; i++) {
            uint8_t b = bytes[i];
            if (b == '\r' && i + 1 < length && bytes[i + 1] == '\n') {
                const uint8_t crlf[2] = {'\r', '\n'};
                append(crlf, 2);
                i++;
            } else if (b == '\r') {
                const uint8_t crnul[2] = {'\r', 0};
                append(crnul, 2);
            } else if (b == TELNET_IAC) {
                const uint8_t iac2[2] = {TELNET_IAC, TELNET_IAC};
                append(iac2, 2);
            } else {
                append_byte(b);
            }
        }
    } else {
        telnet_queue_data(bytes, length);
    }
    telnet_flush();
}

void telnet_send_enter() {
    const uint8_t cr = '\r';
    telnet_send_keys(&cr, 1);
}

void telnet_send_break() {
    if (!g_telnet.negotiating) return;
    const uint8_t brk[2] = {TELNET_IAC, TELNET_BRK};
    telnet_queue_raw(brk, 2);
    telnet_flush();
}
