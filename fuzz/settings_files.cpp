// Both settings files from fuzzed bytes: every text loaded is one the files can carry, and the whole
// record survives a write and a second load.
#include <cstring>

#include "fuzz/fuzz_files.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "base/text.h"

static void load(Settings *s) {
    settings_set_defaults(s);
    settings_load(s, fuzz_path("pelo.cfg").c_str(), fuzz_path("pelong.cfg").c_str());
}

// Zeroes what lies behind the end of each text, so that whole records can be compared.
static void scrub(char *text, size_t size) {
    size_t len = strnlen(text, size);
    memset(text + len, 0, size - len);
}

static void scrub_texts(Settings *s) {
    scrub(s->download_path, sizeof s->download_path);
    for (auto &macro : s->macros) scrub(macro, sizeof macro);
    scrub(s->classic_emulation, sizeof s->classic_emulation);
    scrub(s->upload_path, sizeof s->upload_path);
    scrub(s->c64_font, sizeof s->c64_font);
    scrub(s->classic_path, sizeof s->classic_path);
    scrub(s->extended_path, sizeof s->extended_path);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    size_t classic = fuzz_split(data, size);
    fuzz_write("pelo.cfg", data + 2, classic);
    fuzz_write("pelong.cfg", size >= 2 ? data + 2 + classic : nullptr, size >= 2 ? size - 2 - classic : 0);
    Settings first, second;
    load(&first);
    if (!settings_can_carry(SETTINGS_TEXT_DOWNLOAD_PATH, first.download_path) ||
        !settings_can_carry(SETTINGS_TEXT_UPLOAD_PATH, first.upload_path) ||
        !settings_can_carry(SETTINGS_TEXT_C64_FONT, first.c64_font))
        abort();
    for (const auto &macro : first.macros)
        if (!settings_can_carry(SETTINGS_TEXT_MACRO, macro)) abort();
    if (!settings_write(&first)) abort();
    load(&second);
    // Line 23 of the classic file only ever holds one of these words.
    text_copy(first.classic_emulation, emulation_traits(first.default_emulation).classic_word,
              sizeof first.classic_emulation);
    scrub_texts(&first);
    scrub_texts(&second);
    if (memcmp(&first, &second, sizeof first) != 0) abort();
    return 0;
}
