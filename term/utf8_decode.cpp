// Decoding of the host's 8-bit text as CP437 or UTF-8, with the automatic decision between the two:
// well-formed multi-byte sequences score for UTF-8, bytes that cannot be UTF-8 count as CP437 evidence.
#include "base/utf8.h"
#include "term/charset.h"
#include "term/interp.h"

static const uint32_t kReplacement = 0xFFFD;

// Detecting while the emulation leaves the choice open and nothing is decided; otherwise strict.
static bool is_detecting(const Terminal *t) {
    return text_encoding_of(t) == TEXT_UNDECIDED;
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

// Rejects the held bytes: U+FFFD when strict, their CP437 glyphs when detecting.
static void reject_held(Terminal *t, bool detecting) {
    if (detecting) {
        release_as_cp437(t);
    } else {
        t->utf8_held = 0;
        term_put_glyph(t, kReplacement);
    }
}

static void accept_character(Terminal *t, uint32_t code, int length, bool detecting) {
    if (detecting) {
        if (t->utf8_score < TERM_COUNTER_CAP) t->utf8_score += length == 2 ? 1 : 2;
        if (t->text_encoding == TEXT_UNDECIDED && t->utf8_score >= 4 && t->cp437_evidence == 0)
            t->text_encoding = TEXT_UTF8;
    }
    t->utf8_held = 0;
    term_put_glyph(t, code);
}

void utf8_decode_byte(Terminal *t, uint8_t b) {
    if (text_reads_cp437(t)) {
        term_put_glyph(t, cp437_to_unicode[b]);
        return;
    }
    bool detecting = is_detecting(t);
    t->utf8_bytes[t->utf8_held++] = b;
    uint32_t code;
    int n = utf8_decode(t->utf8_bytes, t->utf8_held, &code);
    if (n == 0) return; // more bytes to come
    // C1 controls and the like are far likelier CP437 text than UTF-8.
    if (n > 0 && (!detecting || code >= 0xA0)) {
        accept_character(t, code, n, detecting);
        return;
    }
    int rejected = n > 0 ? n : -n;
    bool broken_by_b = rejected < t->utf8_held;
    t->utf8_held = rejected;
    reject_held(t, detecting);
    if (broken_by_b) utf8_decode_byte(t, b); // read anew, under the decision the rejection may have made
}

void term_resolve_pending(Terminal *t) {
    if (t->utf8_held == 0) return;
    if (emulation_is_petscii(t->emulation)) {
        t->utf8_held = 0; // left over from an emulation switch: no Unicode text belongs on a PETSCII screen
        return;
    }
    if (text_encoding_of(t) != TEXT_UTF8)
        release_as_cp437(t);
    else
        reject_held(t, false);
}
