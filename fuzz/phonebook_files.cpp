// The phonebook file and its extension file from fuzzed bytes; what was loaded must survive a save
// and a second load.
#include <cstring>

#include "fuzz/fuzz_files.h"
#include "phonebook/phonebook.h"

static Phonebook *load() {
    Phonebook *pb = phonebook_create();
    phonebook_load(pb, fuzz_path("pelo.fon").c_str(), fuzz_path("pelong.ext").c_str());
    return pb;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    size_t fon = fuzz_split(data, size);
    fuzz_write("pelo.fon.bak", nullptr, 0);
    fuzz_write("pelo.fon", data + 2, fon);
    fuzz_write("pelong.ext", size >= 2 ? data + 2 + fon : nullptr, size >= 2 ? size - 2 - fon : 0);
    Phonebook *first = load();
    if (!phonebook_save(first)) abort();
    Phonebook *second = load();
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        const PhonebookEntry &a = first->entries[i], &b = second->entries[i];
        if (phonebook_entry_is_empty(&a) != phonebook_entry_is_empty(&b)) abort();
        if (phonebook_entry_is_empty(&a)) continue; // written as zeros: only emptiness survives
        if (memcmp(a.image, b.image, sizeof a.image) != 0 || strcmp(a.name, b.name) != 0 ||
            strcmp(a.address, b.address) != 0 || strcmp(a.last_call, b.last_call) != 0 ||
            strcmp(a.login, b.login) != 0 || strcmp(a.password, b.password) != 0 ||
            a.emulation != b.emulation)
            abort();
    }
    phonebook_destroy(first);
    phonebook_destroy(second);
    return 0;
}
