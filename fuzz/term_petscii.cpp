// Host bytes through the PETSCII interpreter. The first byte chooses 40 or 80 columns, the text mode
// (auto detect, ASCII, PETSCII only) and the size of the feeds.
#include "fuzz/term_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    Terminal *terminal = fuzz_terminal();
    uint8_t control = data[0];
    size_t chunk = 1 + ((control >> 3) & 31) * 8; // 1 to 249 bytes
    term_create(terminal, control & 1 ? EMU_PETSCII80 : EMU_PETSCII40, 25, 8);
    term_set_text_mode(terminal, ((control >> 1) & 3) % PETSCII_TEXT_MODES);
    fuzz_feed_and_check(terminal, data + 1, size - 1, chunk, false);
    return 0;
}
