// The phonebook file and its extension file from fuzzed bytes; what was loaded must survive a save
// and a second load. Both files stay in memory, and the two phonebooks are made once.
#include <cstring>

#include "base/text.h"
#include "fuzz/fuzz_files.h"
#include "phonebook/phonebook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Phonebook *first = phonebook_create(), *second = phonebook_create();
    fuzz_memory_install();
    size_t fon = fuzz_split(data, size);
    fuzz_memory_put("pelo.fon", data + 2, fon);
    fuzz_memory_put("pelong.ext", size >= 2 ? data + 2 + fon : nullptr, size >= 2 ? size - 2 - fon : 0);
    fuzz_load_phonebook(first);
    if (!phonebook_save(first)) abort();
    fuzz_load_phonebook(second);
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        const PhonebookEntry &a = first->entries[i], &b = second->entries[i];
        if (phonebook_entry_is_empty(&a) != phonebook_entry_is_empty(&b)) abort();
        if (phonebook_entry_is_empty(&a)) continue; // written as zeros: only emptiness survives
        if (!fuzz_same_entry(a, b, true)) abort();
    }
    return 0;
}
