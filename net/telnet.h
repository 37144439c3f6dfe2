// The telnet layer over the one connection: separates telnet commands from data and answers them
// with a small fixed option policy, reports terminal type and window size, applies the line-end and
// IAC rules on the way out, gathers outgoing bytes in one buffer, and keeps a pushback buffer so that
// data already read can be read again. Every telnet_ function works on g_telnet, the state of the
// one connection, which nothing outside net/ reads; the socket, the clock and the event wait are
// reached only through g_telnet_hooks, so tests drive the layer from byte tables.
#pragma once
#include <cstdint>

// Telnet codes (RFC 854) and the options this client knows (RFC 856, 857, 858, 1091, 1073).
enum TelnetCode : uint8_t {
    TELNET_SE = 240,   // end of subnegotiation
    TELNET_BRK = 243,  // break
    TELNET_SB = 250,   // start of subnegotiation
    TELNET_WILL = 251, // sender wants to (or agrees to) perform an option
    TELNET_WONT = 252,
    TELNET_DO = 253, // sender wants the peer to perform an option
    TELNET_DONT = 254,
    TELNET_IAC = 255, // interpret as command
};
enum TelnetOption : uint8_t {
    TELNET_OPT_BINARY = 0,
    TELNET_OPT_ECHO = 1,
    TELNET_OPT_SGA = 3,    // suppress go-ahead
    TELNET_OPT_TTYPE = 24, // terminal type; subcommands IS 0 and SEND 1
    TELNET_OPT_NAWS = 31,  // window size
};

enum TelnetReceiveState : uint8_t {
    TELNET_STATE_DATA,
    TELNET_STATE_COMMAND,     // IAC seen
    TELNET_STATE_OPTION,      // verb seen, option byte next
    TELNET_STATE_SUB,         // inside IAC SB ... IAC SE
    TELNET_STATE_SUB_COMMAND, // IAC seen inside a subnegotiation
};

enum : int {
    TELNET_SUB_MAX = 64,
    TELNET_OUT_SIZE = 16384,
    TELNET_PUSHBACK_SIZE = 8192,
    TELNET_RAW_READ_MAX = 4096, // one raw read never asks for more
};

// Results of telnet_read_byte besides a byte 0..255.
enum : int {
    TELNET_TIMEOUT = -1,
    TELNET_GONE = -2,
    TELNET_ESC = -3,
};

struct TelnetState {
    int emulation; // chooses the terminal-type answer
    int width, height;
    uint8_t negotiating; // once on, stays on until the next reset
    uint8_t receive_state;
    uint8_t pending_verb; // WILL/WONT/DO/DONT waiting for its option byte
    uint8_t last_was_cr;
    uint8_t answered;        // something was queued while receiving
    uint8_t will_table[256]; // the client agreed to perform the option
    uint8_t do_table[256];   // the client asked or allowed the host to perform it
    uint8_t sub[TELNET_SUB_MAX];
    int sub_length;
    uint8_t out[TELNET_OUT_SIZE];
    int out_count;
    uint8_t pushback[TELNET_PUSHBACK_SIZE];
    int pushback_count; // unread bytes, starting at pushback_pos
    int pushback_pos;
};

extern TelnetState g_telnet;

// The layer's way to the outside world. Defaults: the transport, a poll on the socket, and the
// monotonic clock. The app installs the event wait, whose contract is: 1 a key (stored in *key,
// Esc is 27), 2 network activity, 0 time-out.
struct TelnetHooks {
    int (*receive)(uint8_t *buffer, int max);      // as transport_receive
    int (*send)(const uint8_t *bytes, int length); // as transport_send
    int (*wait)(int timeout_ms, uint32_t *key);
    uint32_t (*now_ms)();
};

extern TelnetHooks g_telnet_hooks;
void telnet_set_wait_hook(int (*wait)(int timeout_ms, uint32_t *key));
void telnet_set_clock_hook(uint32_t (*now_ms)());
void telnet_hooks_reset();

// Clears all state for a new call; with initiate on (and not PETSCII) opens negotiation by asking
// for binary mode.
void telnet_reset(int emulation, int width, int height, int initiate);
// Asks for binary in both directions while negotiation is on.
void telnet_request_binary();
// Stores the emulation and size; sends a window-size report when the size changed and NAWS is on.
void telnet_update(int emulation, int width, int height);
// Data bytes read (pushed-back bytes first), 0 when nothing came, -1 when the connection is gone.
int telnet_read(uint8_t *buffer, int max);
// Makes bytes the next ones read; what does not fit in the pushback buffer is lost.
void telnet_push_back(const uint8_t *bytes, int length);
// A byte 0..255, or TELNET_TIMEOUT, TELNET_GONE, TELNET_ESC (the user pressed Esc).
int telnet_read_byte(int timeout_ms);
// Sends typed bytes with the line-end rules and IAC doubling, then flushes.
void telnet_send_keys(const uint8_t *bytes, int length);
void telnet_send_enter();
// IAC BRK, only while negotiation is on.
void telnet_send_break();
// Appends with IAC doubling while negotiation is on; no flush.
void telnet_queue_data(const uint8_t *bytes, int length);
// Appends unchanged; no flush.
void telnet_queue_raw(const uint8_t *bytes, int length);
// Sends the whole output buffer; unsent bytes are dropped once a send fails.
void telnet_flush();
