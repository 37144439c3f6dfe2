// The connection life cycle: placing a call with its progress box, moving the host's data into the
// terminal, noticing that the host went away, hanging up, and the terminal's replies to the host.
#pragma once
#include <cstdint>

enum {
    CALL_READ_BLOCK = 4096,  // one read from the telnet layer
    CALL_TURN_BYTES = 32768, // a turn stops reading after this much, so keys are not starved
    CALL_STALL_MS = 151,     // silence after which a partial UTF-8 character is settled
    CALL_POLL_MS = 100,      // one wait for the connect to complete
};

// Hangs up any call, makes emulation current (when it is one) and dials. 1 when connected; 0 when
// the call failed (the reason was shown) or the user pressed Esc (nothing shown).
int call_place(const char *entry_name, const char *host, int port, int emulation);
// Closes the socket; when a call was up, goes offline and puts the window title back.
void call_hang_up();
// The host went away: hang up, then say so.
void call_connection_lost();
// One turn's receiving: up to CALL_TURN_BYTES into the terminal, the bell, the end of the call.
void call_receive(uint32_t now_ms);
// A partial UTF-8 character that has waited long enough is settled.
void call_resolve_stalled(uint32_t now_ms);
// The terminal's reply sink: answers go to the host only while a call is up.
void call_send_reply(const uint8_t *bytes, int length);
