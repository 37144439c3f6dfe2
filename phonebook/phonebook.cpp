#include "phonebook/phonebook.h"

#include <cstdlib>
#include <cstring>

#include "base/clock.h"
#include "base/text.h"

Phonebook *g_phonebook;

Phonebook *phonebook_create() {
    Phonebook *pb = (Phonebook *)calloc(1, sizeof(Phonebook));
    if (!pb) return nullptr;
    for (PhonebookEntry &e : pb->entries) phonebook_entry_clear(&e);
    return pb;
}

void phonebook_destroy(Phonebook *pb) {
    free(pb);
}

void phonebook_entry_clear(PhonebookEntry *e) {
    memset(e, 0, sizeof *e);
    e->emulation = -1;
}

bool phonebook_entry_is_empty(const PhonebookEntry *e) {
    return e->name[0] == 0 && e->address[0] == 0;
}

int phonebook_count_used(const Phonebook *pb) {
    int used = 0;
    for (const PhonebookEntry &e : pb->entries)
        if (!phonebook_entry_is_empty(&e)) used++;
    return used;
}

int phonebook_first_empty(const Phonebook *pb) {
    for (int i = 0; i < PHONEBOOK_SLOTS; i++)
        if (phonebook_entry_is_empty(&pb->entries[i])) return i;
    return -1;
}

static int compare_entries(const void *pa, const void *pb) {
    const PhonebookEntry *a = (const PhonebookEntry *)pa, *b = (const PhonebookEntry *)pb;
    bool a_empty = phonebook_entry_is_empty(a), b_empty = phonebook_entry_is_empty(b);
    if (a_empty || b_empty) return (int)a_empty - (int)b_empty;
    int by_name = text_casecmp(a->name, b->name);
    return by_name != 0 ? by_name : text_casecmp(a->address, b->address);
}

void phonebook_sort(Phonebook *pb) {
    qsort(pb->entries, PHONEBOOK_SLOTS, sizeof(PhonebookEntry), compare_entries);
}

bool phonebook_entry_matches(const PhonebookEntry *e, const char *text) {
    if (!text[0] || phonebook_entry_is_empty(e)) return false;
    return text_find(e->name, text) || text_find(e->address, text);
}

int phonebook_stamp_last_call(Phonebook *pb, int index) {
    if (index < 0 || index >= PHONEBOOK_SLOTS) return 0;
    LocalTime now;
    clock_local(&now);
    PhonebookEntry *e = &pb->entries[index];
    text_format(e->last_call, sizeof e->last_call, "%02d/%02d/%02d", now.month, now.day, now.year % 100);
    return phonebook_save(pb);
}
