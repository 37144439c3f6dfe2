// The phonebook file and its extension file from fuzzed bytes; what was loaded must survive a save
// and a second load. Both files stay in memory, and the two phonebooks are made once.
#include <cstring>

#include "base/text.h"
#include "fuzz/fuzz_files.h"
#include "phonebook/phonebook.h"

static void load(Phonebook *pb) {
    FILE *fon = fuzz_memory_open("pelo.fon"), *ext = fuzz_memory_open("pelong.ext");
    phonebook_read(pb, fon, ext);
    fuzz_close(fon);
    fuzz_close(ext);
    text_copy(pb->fon_path, fuzz_path("pelo.fon").c_str(), sizeof pb->fon_path);
    text_copy(pb->ext_path, fuzz_path("pelong.ext").c_str(), sizeof pb->ext_path);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static Phonebook *first = phonebook_create(), *second = phonebook_create();
    fuzz_memory_install();
    size_t fon = fuzz_split(data, size);
    fuzz_memory_put("pelo.fon", data + 2, fon);
    fuzz_memory_put("pelong.ext", size >= 2 ? data + 2 + fon : nullptr, size >= 2 ? size - 2 - fon : 0);
    load(first);
    if (!phonebook_save(first)) abort();
    load(second);
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
    return 0;
}
