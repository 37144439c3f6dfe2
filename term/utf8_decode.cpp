// Decoding of the host's 8-bit text as CP437 or UTF-8, with the automatic decision between the two:
// well-formed multi-byte sequences score for UTF-8, bytes that cannot be UTF-8 count as CP437 evidence.
#include "term/charset.h"
#include "term/interp.h"

static const uint32_t kReplacement = 0xFFFD;

static bool is_lead(uint8_t b) {
    return b >= 0xC2 && b <= 0xF4;
}
static bool is_continuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}
static int announced_length(uint8_t lead) {
    return lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Detecting while the emulation leaves the choice open and nothing is decided; otherwise strict.
static bool is_detecting(const Terminal *t) {
    return t->emulation != EMU_UTF8 && t->text_encoding == TEXT_UNDECIDED;
}

// A byte that is not well-formed UTF-8. CP437 is decided once such bytes are at least as many as the
// UTF-8 score (and more than one), so a stray byte in UTF-8 text does not flip the decision.
static void count_cp437_evidence(Terminal *t) {
    int before = t->cp437_evidence;
    if (before < TERM_COUNTER_CAP) t->cp437_evidence++;
    if (t->text_encoding == TEXT_UNDECIDED && before >= 1 && before >= t->utf8_score)
        t->text_encoding = TEXT_CP437;
}

// Detecting: the held bytes were not UTF-8 after all; they show as CP437.
static void release_as_cp437(Terminal *t) {
    count_cp437_evidence(t);
    int held = t->utf8_held;
    t->utf8_held = 0;
    for (int i = 0; i < held; i++) term_put_glyph(t, cp437_to_unicode[t->utf8_bytes[i]]);
}

// Rejects a held sequence: U+FFFD when strict, its bytes as CP437 glyphs when detecting.
static void reject_held(Terminal *t, bool detecting) {
    if (detecting) {
        release_as_cp437(t);
    } else {
        t->utf8_held = 0;
        term_put_glyph(t, kReplacement);
    }
}

// A byte 0x80-0xFF with nothing held.
static void start_sequence(Terminal *t, uint8_t b, bool detecting) {
    if (is_lead(b)) {
        t->utf8_bytes[0] = b;
        t->utf8_held = 1;
        t->utf8_length = announced_length(b);
    } else if (detecting) {
        count_cp437_evidence(t);
        term_put_glyph(t, cp437_to_unicode[b]);
    } else {
        term_put_glyph(t, kReplacement);
    }
}

static uint32_t decode_held(const Terminal *t) {
    const uint8_t *s = t->utf8_bytes;
    switch (t->utf8_length) {
    case 2: return (uint32_t)(s[0] & 0x1F) << 6 | (s[1] & 0x3F);
    case 3: return (uint32_t)(s[0] & 0x0F) << 12 | (uint32_t)(s[1] & 0x3F) << 6 | (s[2] & 0x3F);
    default:
        return (uint32_t)(s[0] & 0x07) << 18 | (uint32_t)(s[1] & 0x3F) << 12 | (uint32_t)(s[2] & 0x3F) << 6 |
               (s[3] & 0x3F);
    }
}

static bool is_well_formed(uint32_t c, int length, bool detecting) {
    static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000}; // overlong forms are refused
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    // C1 controls and the like are far likelier CP437 text than UTF-8.
    return !detecting || c >= 0xA0;
}

static void finish_sequence(Terminal *t, bool detecting) {
    uint32_t c = decode_held(t);
    if (!is_well_formed(c, t->utf8_length, detecting)) {
        reject_held(t, detecting);
        return;
    }
    if (detecting) {
        if (t->utf8_score < TERM_COUNTER_CAP) t->utf8_score += t->utf8_length == 2 ? 1 : 2;
        if (t->text_encoding == TEXT_UNDECIDED && t->utf8_score >= 4 && t->cp437_evidence == 0)
            t->text_encoding = TEXT_UTF8;
    }
    t->utf8_held = 0;
    term_put_glyph(t, c);
}

void utf8_decode_byte(Terminal *t, uint8_t b) {
    if (text_reads_cp437(t)) {
        term_put_glyph(t, cp437_to_unicode[b]);
        return;
    }
    bool detecting = is_detecting(t);
    if (t->utf8_held == 0) {
        start_sequence(t, b, detecting);
        return;
    }
    if (is_continuation(b)) {
        t->utf8_bytes[t->utf8_held++] = b;
        if (t->utf8_held >= t->utf8_length) finish_sequence(t, detecting);
        return;
    }
    reject_held(t, detecting);
    if (t->emulation == EMU_UTF8)
        start_sequence(t, b, false);
    else if (t->text_encoding == TEXT_CP437)
        term_put_glyph(t, cp437_to_unicode[b]);
    else
        start_sequence(t, b, is_detecting(t));
}

void term_resolve_pending(Terminal *t) {
    if (t->utf8_held == 0) return;
    if (emulation_is_petscii(t->emulation)) {
        t->utf8_held = 0; // left over from an emulation switch: no Unicode text belongs on a PETSCII screen
        return;
    }
    if (t->emulation != EMU_UTF8 && t->text_encoding != TEXT_UTF8)
        release_as_cp437(t);
    else
        reject_held(t, false);
}
