// Macro texts as a settings file may hold them (any bytes, cut to 127) through the expansion.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/macros.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    char text[128];
    size_t n = size < sizeof text - 1 ? size : sizeof text - 1;
    memcpy(text, data, n);
    text[n] = 0;
    uint8_t out[MACRO_EXPANSION_MAX];
    int length = macro_expand(text, out);
    // Each character gives at most two bytes, and nothing grows past the limit.
    if (length < 0 || length > MACRO_EXPANSION_MAX || (size_t)length > 2 * strlen(text)) __builtin_trap();
    return 0;
}
