// Keys for the host: the bytes each key code sends in the current emulation (escape sequences for
// ANSI and VT100, Commodore codes for PETSCII, macros on the function keys, characters in UTF-8
// or CP437).
#pragma once
#include <cstdint>

struct Terminal;
struct Settings;

enum HostKeyKind {
    HOST_KEY_NONE,  // the key sends nothing
    HOST_KEY_BYTES, // bytes, through the telnet layer's key path
    HOST_KEY_ENTER, // the telnet layer's Enter (CR, or CR NUL on a text-mode link)
    HOST_KEY_MACRO, // the macro of F1 + macro
};

struct HostKey {
    int kind;
    uint8_t bytes[8];
    int length;
    int macro; // 0-9
};

// What key sends with the terminal's emulation and modes (cursor keys, text encoding, PETSCII
// ASCII text) and the macro settings. Pure: touches nothing.
HostKey host_key_map(uint32_t key, const Terminal *t, const Settings *s);
// Sends what key maps to while a call is up; nothing offline.
void host_key_send(uint32_t key);
