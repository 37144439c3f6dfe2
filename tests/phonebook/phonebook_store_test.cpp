// Sorting the entry array. Counting, free slots and stamping are met by the file, import and
// directory session tests.
#include <gtest/gtest.h>

#include "phonebook/phonebook.h"
#include "base/text.h"

static void set_entry(PhonebookEntry *e, const char *name, const char *address) {
    text_copy(e->name, name, sizeof e->name);
    text_copy(e->address, address, sizeof e->address);
}

TEST(PhonebookStore, SortByNameThenAddressIgnoringCaseEmptySlotsLast) {
    Phonebook *pb = phonebook_create();
    set_entry(&pb->entries[0], "", "b2");
    set_entry(&pb->entries[1], "gamma", "");
    text_copy(pb->entries[2].login, "login only", sizeof pb->entries[2].login); // still empty
    set_entry(&pb->entries[500], "Alpha", "B1");
    set_entry(&pb->entries[1999], "alpha", "a");
    pb->entries[500].emulation = 6; // moves with its entry
    phonebook_sort(pb);
    const char *names[] = {"", "alpha", "Alpha", "gamma"}, *addresses[] = {"b2", "a", "B1", ""};
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(pb->entries[i].name, names[i]);
        EXPECT_STREQ(pb->entries[i].address, addresses[i]);
    }
    EXPECT_EQ(pb->entries[2].emulation, 6);
    EXPECT_EQ(phonebook_first_empty(pb), 4) << "a slot with only a login is empty";
    phonebook_destroy(pb);
}
