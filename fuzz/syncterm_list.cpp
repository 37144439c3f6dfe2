// A SyncTERM list from fuzzed bytes: the counting pass must predict the real pass exactly, and the
// imported entries must survive a save and a load. The phonebook files stay in memory.
#include <cstring>

#include "base/text.h"
#include "fuzz/fuzz_files.h"
#include "phonebook/phonebook.h"
#include "phonebook/syncterm_list.h"
#include "term/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = (cp437_build_index(), fuzz_memory_install(), true);
    static Phonebook *pb = phonebook_create(), *back = phonebook_create();
    (void)ready;
    fuzz_write("syncterm.lst", data, size);
    fuzz_memory_put("pelo.fon", nullptr, 0);
    fuzz_memory_put("pelong.ext", nullptr, 0);
    fuzz_load_phonebook(pb);
    ImportCounters counted, real;
    int include_other = size > 0 && (data[0] & 1);
    if (!syncterm_parse_apply(pb, fuzz_path("syncterm.lst").c_str(), include_other, &counted, 1)) abort();
    if (phonebook_count_used(pb) != 0) abort(); // the counting pass put everything back
    if (!syncterm_parse_apply(pb, fuzz_path("syncterm.lst").c_str(), include_other, &real, 0)) abort();
    if (memcmp(&counted, &real, sizeof real) != 0 || phonebook_count_used(pb) != real.added) abort();
    if (!phonebook_save(pb)) abort();
    fuzz_load_phonebook(back);
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        const PhonebookEntry &a = pb->entries[i], &b = back->entries[i];
        if (!fuzz_same_entry(a, b, false)) abort();
    }
    return 0;
}
