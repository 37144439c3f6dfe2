#include "app/host_keys.h"

#include <cstring>

#include "app/connection.h"
#include "app/macros.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "settings/settings.h"
#include "term/charset.h"
#include "term/terminal.h"
#include "base/utf8.h"

struct KeySequence {
    uint32_t key; // bare key code
    const char *vt100;
    const char *ansi; // ANSI and TTY
};

// Navigation keys; VT100 cursor keys switch to their SS3 form in cursor-keys mode.
static const KeySequence kNavigation[] = {
    {KEY_UP, "\x1b[A", "\x1b[A"},        // cursor up
    {KEY_DOWN, "\x1b[B", "\x1b[B"},      // cursor down
    {KEY_RIGHT, "\x1b[C", "\x1b[C"},     // cursor right
    {KEY_LEFT, "\x1b[D", "\x1b[D"},      // cursor left
    {KEY_HOME, "\x1b[1~", "\x1b[H"},     // VT220 Find / ANSI home
    {KEY_END, "\x1b[4~", "\x1b[K"},      // VT220 Select / ANSI erase to end of line
    {KEY_PGUP, "\x1b[5~", "\x1b[V"},     // previous screen
    {KEY_PGDN, "\x1b[6~", "\x1b[U"},     // next screen
    {KEY_INSERT, "\x1b[2~", "\x1b[@"},   // insert
    {KEY_DELETE, "\x1b[3~", "\x7f"},     // delete: DEL on ANSI hosts
    {KEY_SHIFT_TAB, "\x1b[Z", "\x1b[Z"}, // back tab
};

// F1 to F12 in every emulation but PETSCII.
static const char *const kFunctionKeys[12] = {
    "\x1bOP",   // F1
    "\x1bOQ",   // F2
    "\x1bOR",   // F3
    "\x1bOS",   // F4
    "\x1b[15~", // F5
    "\x1b[17~", // F6
    "\x1b[18~", // F7
    "\x1b[19~", // F8
    "\x1b[20~", // F9
    "\x1b[21~", // F10
    "\x1b[23~", // F11
    "\x1b[24~", // F12
};

struct PetsciiKey {
    uint32_t key; // bare key code, Shift-Home with its flag
    uint8_t byte;
};

// Commodore screen-editor codes for the keys that have no character.
static const PetsciiKey kPetsciiKeys[] = {
    {KEY_UP, 145},               // cursor up
    {KEY_DOWN, 17},              // cursor down
    {KEY_LEFT, 157},             // cursor left
    {KEY_RIGHT, 29},             // cursor right
    {KEY_SHIFT + KEY_HOME, 147}, // clear screen
    {KEY_HOME, 19},              // home
    {KEY_END, 147},              // clear screen
    {KEY_INSERT, 148},           // insert
    {KEY_DELETE, 20},            // delete
    {KEY_F1, 133},               // F1
    {KEY_F1 + 1, 137},           // F2
    {KEY_F1 + 2, 134},           // F3
    {KEY_F1 + 3, 138},           // F4
    {KEY_F1 + 4, 135},           // F5
    {KEY_F1 + 5, 139},           // F6
    {KEY_F1 + 6, 136},           // F7
    {KEY_F1 + 7, 140},           // F8
};

static HostKey none() {
    return HostKey{HOST_KEY_NONE, {0}, 0, 0};
}

static HostKey byte_key(uint8_t b) {
    HostKey k = none();
    k.kind = HOST_KEY_BYTES;
    k.bytes[0] = b;
    k.length = 1;
    return k;
}

static HostKey text_key(const char *text) {
    HostKey k = none();
    k.kind = HOST_KEY_BYTES;
    k.length = (int)strlen(text);
    memcpy(k.bytes, text, (size_t)k.length);
    return k;
}

static HostKey kind_key(int kind, int macro = 0) {
    HostKey k = none();
    k.kind = kind;
    k.macro = macro;
    return k;
}

// 0 to 11 for F1 to F12 (any modifiers), else -1.
static int function_key_index(uint32_t key) {
    uint32_t bare = key & KEY_BARE_MASK;
    return bare >= KEY_F1 && bare <= KEY_F12 ? (int)(bare - KEY_F1) : -1;
}

static HostKey map_petscii(uint32_t key, const Terminal *t, const Settings *s) {
    int f = function_key_index(key);
    if (f >= 0 && f < 10 && s->macros[f][0]) return kind_key(HOST_KEY_MACRO, f);
    bool alt = (key & KEY_ALT) != 0;
    if (t->ascii_text && !alt) {
        if (key == KEY_ENTER) return kind_key(HOST_KEY_ENTER);
        if (key >= 1 && key <= 127) return byte_key((uint8_t)key);
    }
    if (key_is_special(key)) {
        uint32_t bare = key & KEY_BARE_MASK;
        uint32_t shifted = bare == KEY_HOME && (key & KEY_SHIFT) ? KEY_SHIFT + KEY_HOME : bare;
        for (const PetsciiKey &k : kPetsciiKeys)
            if (k.key == shifted) return byte_key(k.byte);
    }
    if (alt) return none();
    if (key == KEY_BACKSPACE) return byte_key(20); // DEL on the C64
    if (key == KEY_ENTER) return kind_key(HOST_KEY_ENTER);
    if (key >= 'a' && key <= 'z') return byte_key((uint8_t)(key - 32));  // unshifted letters
    if (key >= 'A' && key <= 'Z') return byte_key((uint8_t)(key + 128)); // shifted letters
    if (key == 0xA3) return byte_key(92);                                // pound sign
    if (key == 0x3C0) return byte_key(255);                              // pi
    if (key >= 1 && key <= 127) return byte_key((uint8_t)key);
    return none();
}

static bool sends_utf8(const Terminal *t) {
    int fixed = emulation_traits(t->emulation).key_encoding;
    return (fixed != TEXT_UNDECIDED ? fixed : t->text_encoding) == TEXT_UTF8;
}

static HostKey map_ansi(uint32_t key, const Terminal *t, const Settings *s) {
    int f = function_key_index(key);
    if (f >= 0) {
        if (f < 10 && s->macros[f][0] && (f >= 4 || !s->vt100_function_keys))
            return kind_key(HOST_KEY_MACRO, f);
        return text_key(kFunctionKeys[f]);
    }
    if (key_is_special(key)) {
        uint32_t bare = key & KEY_BARE_MASK;
        bool vt100 = emulation_traits(t->emulation).vt_keys;
        for (const KeySequence &k : kNavigation) {
            if (k.key != bare) continue;
            HostKey out = text_key(vt100 ? k.vt100 : k.ansi);
            if (vt100 && t->cursor_keys_mode && bare <= KEY_RIGHT) out.bytes[1] = 'O'; // SS3 form
            return out;
        }
    }
    if (key & KEY_ALT) return none();
    if (key == KEY_ENTER) return kind_key(HOST_KEY_ENTER);
    if (key <= 127) return byte_key((uint8_t)key);
    if (key > 0x10FFFF) return none();
    if (!sends_utf8(t)) return byte_key(unicode_to_cp437(key));
    HostKey k = none();
    k.kind = HOST_KEY_BYTES;
    k.length = utf8_encode(key, k.bytes);
    return k;
}

HostKey host_key_map(uint32_t key, const Terminal *t, const Settings *s) {
    if (emulation_is_petscii(t->emulation)) return map_petscii(key, t, s);
    return map_ansi(key, t, s);
}

void host_key_send(uint32_t key) {
    if (!g_connection.connected) return;
    HostKey k = host_key_map(key, &g_terminal, &g_settings);
    switch (k.kind) {
    case HOST_KEY_BYTES: telnet_send_keys(k.bytes, k.length); break;
    case HOST_KEY_ENTER: telnet_send_enter(); break;
    case HOST_KEY_MACRO: macro_send(g_settings.macros[k.macro]); break;
    default: break;
    }
}
