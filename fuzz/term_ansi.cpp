// Host bytes through the ANSI / VT100 / TTY interpreter. The first byte chooses the emulation, the
// size of the feeds, iCE colours and whether a stalled UTF-8 sequence is settled after each feed.
#include "fuzz/term_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    Terminal *terminal = fuzz_terminal();
    uint8_t control = data[0];
    static const int kEmulations[8] = {EMU_ANSI, EMU_CP437, EMU_UTF8, EMU_VT100,
                                       EMU_TTY,  EMU_ANSI,  EMU_UTF8, EMU_ANSI};
    size_t chunk = 1 + ((control >> 3) & 15) * 17; // 1 to 256 bytes
    terminal->ice_colors = (control >> 7) & 1;
    term_create(terminal, kEmulations[control & 7], 24, 8);
    fuzz_feed_and_check(terminal, data + 1, size - 1, chunk, (control & 0x40) != 0);
    return 0;
}
