// The operations on the entry array: emptiness, counting, free slots, sorting, stamping.
#include <gtest/gtest.h>

#include "base/clock.h"
#include "phonebook/phonebook.h"
#include "base/text.h"
#include "tests/settings/file_helpers.h"

static void set_entry(PhonebookEntry *e, const char *name, const char *address) {
    text_copy(e->name, name, sizeof e->name);
    text_copy(e->address, address, sizeof e->address);
}

TEST(PhonebookStore, EmptyMeansNoNameAndNoAddressAndSortsLast) {
    Phonebook *pb = phonebook_create();
    set_entry(&pb->entries[0], "", "b2");
    set_entry(&pb->entries[1], "gamma", "");
    text_copy(pb->entries[2].login, "login only", sizeof pb->entries[2].login); // still empty
    set_entry(&pb->entries[500], "Alpha", "B1");
    set_entry(&pb->entries[1999], "alpha", "a");
    pb->entries[500].emulation = 6; // moves with its entry
    EXPECT_EQ(phonebook_count_used(pb), 4);
    EXPECT_EQ(phonebook_first_empty(pb), 2);
    phonebook_sort(pb);
    const char *names[] = {"", "alpha", "Alpha", "gamma"}, *addresses[] = {"b2", "a", "B1", ""};
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(pb->entries[i].name, names[i]);
        EXPECT_STREQ(pb->entries[i].address, addresses[i]);
    }
    EXPECT_EQ(pb->entries[2].emulation, 6);
    EXPECT_EQ(phonebook_first_empty(pb), 4);
    for (PhonebookEntry &e : pb->entries) set_entry(&e, "x", "y");
    EXPECT_EQ(phonebook_first_empty(pb), -1);
    phonebook_destroy(pb);
}

TEST(PhonebookStore, StampWritesTheLocalDateAndSaves) {
    TempDir dir;
    Phonebook *pb = phonebook_create();
    phonebook_load(pb, dir.file("pelo.fon").c_str(), dir.file("pelong.ext").c_str());
    set_entry(&pb->entries[4], "Called", "called.example");
    LocalTime when = {2031, 3, 7, 12, 0, 0};
    clock_fake_enable(0, &when);
    EXPECT_EQ(phonebook_stamp_last_call(pb, 4), 1);
    clock_fake_disable();
    EXPECT_EQ(read_file(dir.file("pelo.fon")).substr(4 * 197 + 122, 9), "\x08"
                                                                        "03/07/31");
    phonebook_destroy(pb);
}
