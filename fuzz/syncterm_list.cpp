// A SyncTERM list from fuzzed bytes: the counting pass must predict the real pass exactly, and the
// imported entries must survive a save and a load.
#include <cstring>

#include "fuzz/fuzz_files.h"
#include "phonebook/phonebook.h"
#include "phonebook/syncterm_list.h"
#include "term/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = (cp437_build_index(), true);
    (void)ready;
    fuzz_write("syncterm.lst", data, size);
    fuzz_write("pelo.fon", nullptr, 0);
    fuzz_write("pelong.ext", nullptr, 0);
    Phonebook *pb = phonebook_create();
    phonebook_load(pb, fuzz_path("pelo.fon").c_str(), fuzz_path("pelong.ext").c_str());
    ImportCounters counted, real;
    int include_other = size > 0 && (data[0] & 1);
    if (!syncterm_parse_apply(pb, fuzz_path("syncterm.lst").c_str(), include_other, &counted, 1)) abort();
    if (phonebook_count_used(pb) != 0) abort(); // the counting pass put everything back
    if (!syncterm_parse_apply(pb, fuzz_path("syncterm.lst").c_str(), include_other, &real, 0)) abort();
    if (memcmp(&counted, &real, sizeof real) != 0 || phonebook_count_used(pb) != real.added) abort();
    if (!phonebook_save(pb)) abort();
    Phonebook *back = phonebook_create();
    phonebook_load(back, pb->fon_path, pb->ext_path);
    for (int i = 0; i < PHONEBOOK_SLOTS; i++) {
        const PhonebookEntry &a = pb->entries[i], &b = back->entries[i];
        if (strcmp(a.name, b.name) != 0 || strcmp(a.address, b.address) != 0 ||
            strcmp(a.login, b.login) != 0 || strcmp(a.password, b.password) != 0 ||
            a.emulation != b.emulation)
            abort();
    }
    phonebook_destroy(pb);
    phonebook_destroy(back);
    return 0;
}
