#include "net/telnet.h"

#include <cstring>

#include "base/emulation.h"

TelnetState g_telnet;

// The option policy. Options not listed are refused whichever side asks.
struct OptionPolicy {
    uint8_t option;
    uint8_t we_offer;  // the client performs it when the host asks (DO: WILL)
    uint8_t we_accept; // the client lets the host perform it (WILL: DO)
};
static const OptionPolicy kOptionPolicy[] = {
    {TELNET_OPT_BINARY, 1, 1}, // RFC 856, both directions
    {TELNET_OPT_ECHO, 0, 1},   // RFC 857: the host echoes, the client never does
    {TELNET_OPT_SGA, 1, 1},    // RFC 858
    {TELNET_OPT_TTYPE, 1, 0},  // RFC 1091
    {TELNET_OPT_NAWS, 1, 0},   // RFC 1073
};

static OptionPolicy policy_of(uint8_t option) {
    for (const OptionPolicy &p : kOptionPolicy)
        if (p.option == option) return p;
    return OptionPolicy{option, 0, 0};
}

static void queue_command(uint8_t verb, uint8_t option) {
    const uint8_t bytes[3] = {TELNET_IAC, verb, option};
    telnet_queue_raw(bytes, 3);
    g_telnet.answered = 1;
}

// Marks an option on in one of the two tables, telling the host (verb WILL or DO) only when it was off.
static void agree(uint8_t *table, uint8_t verb, uint8_t option) {
    if (table[option]) return;
    table[option] = 1;
    queue_command(verb, option);
}

// The same for off (verb WONT or DONT): an option that was never on needs no answer.
static void withdraw(uint8_t *table, uint8_t verb, uint8_t option) {
    if (!table[option]) return;
    table[option] = 0;
    queue_command(verb, option);
}

// RFC 1073: IAC SB NAWS width(16) height(16) IAC SE, high bytes first. A 255 among the four size
// bytes must be doubled; the screen never gets that large, but the report stays well-formed.
static void queue_window_size() {
    uint8_t report[14];
    int n = 0;
    report[n++] = TELNET_IAC;
    report[n++] = TELNET_SB;
    report[n++] = TELNET_OPT_NAWS;
    const int values[2] = {g_telnet.width, g_telnet.height};
    for (int value : values) {
        const uint8_t parts[2] = {(uint8_t)(value >> 8), (uint8_t)value};
        for (uint8_t b : parts) {
            report[n++] = b;
            if (b == TELNET_IAC) report[n++] = TELNET_IAC;
        }
    }
    report[n++] = TELNET_IAC;
    report[n++] = TELNET_SE;
    telnet_queue_raw(report, n);
    g_telnet.answered = 1;
}

void telnet_reset(int emulation, int width, int height, int initiate) {
    TelnetState &t = g_telnet;
    t.receive_state = TELNET_STATE_DATA;
    t.negotiating = 0;
    t.pending_verb = 0;
    t.sub_length = 0;
    t.last_was_cr = 0;
    t.answered = 0;
    memset(t.will_table, 0, sizeof t.will_table);
    memset(t.do_table, 0, sizeof t.do_table);
    t.pushback_count = 0;
    t.pushback_pos = 0;
    t.out_count = 0;
    t.emulation = emulation;
    t.width = width;
    t.height = height;
    if (!emulation_is_petscii(emulation) && initiate) {
        t.negotiating = 1;
        telnet_request_binary();
    }
}

void telnet_request_binary() {
    TelnetState &t = g_telnet;
    if (!t.negotiating) return;
    agree(t.will_table, TELNET_WILL, TELNET_OPT_BINARY);
    agree(t.do_table, TELNET_DO, TELNET_OPT_BINARY);
    telnet_flush();
}

void telnet_update(int emulation, int width, int height) {
    TelnetState &t = g_telnet;
    bool resized = width != t.width || height != t.height;
    t.emulation = emulation;
    t.width = width;
    t.height = height;
    if (resized && t.will_table[TELNET_OPT_NAWS]) {
        queue_window_size();
        telnet_flush();
    }
}

// ---------------------------------------------------------------- receiving

static void answer_option(uint8_t verb, uint8_t option) {
    TelnetState &t = g_telnet;
    OptionPolicy policy = policy_of(option);
    switch (verb) {
    case TELNET_WILL: // the host offers to perform it
        if (policy.we_accept)
            agree(t.do_table, TELNET_DO, option);
        else
            queue_command(TELNET_DONT, option);
        break;
    case TELNET_WONT: withdraw(t.do_table, TELNET_DONT, option); break;
    case TELNET_DO: // the host asks the client to perform it
        if (policy.we_offer) {
            agree(t.will_table, TELNET_WILL, option);
            if (option == TELNET_OPT_NAWS) queue_window_size(); // every DO NAWS gets a report
        } else {
            queue_command(TELNET_WONT, option);
        }
        break;
    case TELNET_DONT: withdraw(t.will_table, TELNET_WONT, option); break;
    }
}

// Only a terminal-type request (RFC 1091: SB TTYPE SEND) is acted on.
static void end_subnegotiation() {
    TelnetState &t = g_telnet;
    if (t.sub_length < 2 || t.sub[0] != TELNET_OPT_TTYPE || t.sub[1] != 1) return;
    const char *name = emulation_traits(t.emulation).terminal_type;
    const uint8_t head[4] = {TELNET_IAC, TELNET_SB, TELNET_OPT_TTYPE, 0};
    const uint8_t tail[2] = {TELNET_IAC, TELNET_SE};
    telnet_queue_raw(head, 4);
    telnet_queue_raw((const uint8_t *)name, (int)strlen(name));
    telnet_queue_raw(tail, 2);
    t.answered = 1;
}

// One step of the receive machine; data bytes are appended to out at *n.
static void receive_byte(uint8_t b, uint8_t *out, int *n) {
    TelnetState &t = g_telnet;
    switch (t.receive_state) {
    case TELNET_STATE_DATA:
        if (b == TELNET_IAC) {
            t.receive_state = TELNET_STATE_COMMAND;
        } else if (b == 0 && t.last_was_cr && t.negotiating && !t.do_table[TELNET_OPT_BINARY]) {
            t.last_was_cr = 0; // CR NUL is a bare CR in network virtual terminal text
        } else {
            out[(*n)++] = b;
            t.last_was_cr = b == '\r';
        }
        break;
    case TELNET_STATE_COMMAND:
        t.last_was_cr = 0;
        if (b == TELNET_IAC) {
            out[(*n)++] = b;
            t.receive_state = TELNET_STATE_DATA;
            break;
        }
        t.negotiating = 1; // the host speaks telnet: from now on so does the client
        if (b >= TELNET_WILL) {
            t.pending_verb = b;
            t.receive_state = TELNET_STATE_OPTION;
        } else if (b == TELNET_SB) {
            t.sub_length = 0;
            t.receive_state = TELNET_STATE_SUB;
        } else {
            t.receive_state = TELNET_STATE_DATA; // NOP, GA, DM and the like
        }
        break;
    case TELNET_STATE_OPTION:
        answer_option(t.pending_verb, b);
        t.receive_state = TELNET_STATE_DATA;
        break;
    case TELNET_STATE_SUB:
        if (b == TELNET_IAC)
            t.receive_state = TELNET_STATE_SUB_COMMAND;
        else if (t.sub_length < TELNET_SUB_MAX)
            t.sub[t.sub_length++] = b;
        break;
    case TELNET_STATE_SUB_COMMAND:
        if (b == TELNET_IAC) {
            if (t.sub_length < TELNET_SUB_MAX) t.sub[t.sub_length++] = b;
            t.receive_state = TELNET_STATE_SUB;
        } else {
            if (b == TELNET_SE) end_subnegotiation();
            t.receive_state = TELNET_STATE_DATA; // anything else abandons the subnegotiation
        }
        break;
    }
}

int telnet_read(uint8_t *buffer, int max) {
    TelnetState &t = g_telnet;
    if (max < 1) return 0;
    if (t.pushback_count > 0) {
        int n = max < t.pushback_count ? max : t.pushback_count;
        memcpy(buffer, t.pushback + t.pushback_pos, (size_t)n);
        t.pushback_pos += n;
        t.pushback_count -= n;
        if (t.pushback_count == 0) t.pushback_pos = 0;
        return n;
    }
    int got = g_telnet_hooks.receive(buffer, max < TELNET_RAW_READ_MAX ? max : TELNET_RAW_READ_MAX);
    if (got < 0) return -1;
    // Data is compacted in place: each byte in yields at most one byte out.
    t.answered = 0;
    int n = 0;
    for (int i = 0; i < got; i++) receive_byte(buffer[i], buffer, &n);
    if (t.answered) telnet_flush();
    return n;
}
