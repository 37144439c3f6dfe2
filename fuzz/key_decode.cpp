// Terminal key bytes into the key decoder, cut into reads of varying size with pauses of varying
// length between them (the first byte of the input picks the cuts).
#include <cstddef>
#include <cstdint>

#include "input/key_decode.h"
#include "input/keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    uint8_t cuts = data[0];
    KeyDecoder decoder{};
    KeyQueue queue{};
    uint32_t now = 0;
    for (size_t at = 1; at < size;) {
        size_t piece = 1 + (cuts + at) % 7;
        if (piece > size - at) piece = size - at;
        key_decode_feed(&decoder, data + at, (int)piece, now, &queue);
        at += piece;
        now += (cuts & 1) ? 50 : 3;
        key_decode_expire(&decoder, now, &queue);
        uint32_t key;
        while (key_queue_pop(&queue, &key)) {
            uint32_t bare = key & KEY_BARE_MASK;
            // Characters are Unicode scalar values; other codes are the named keys with flags.
            if (bare > KEY_RESIZE || (bare >= 0xD800 && bare <= 0xDFFF)) __builtin_trap();
        }
    }
    key_decode_expire(&decoder, now + KEY_DECODE_LONE_ESC, &queue);
    if (decoder.count != 0) __builtin_trap();
    return 0;
}
