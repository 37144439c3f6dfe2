// The directory's list logic: listed rows, find, used-only view, go-to. Moving, scrolling and the
// plainer finds are driven end to end in the directory session.
#include <gtest/gtest.h>

#include <initializer_list>

#include "base/text.h"
#include "phonebook/directory_view.h"

namespace {

struct Book {
    Phonebook *pb = phonebook_create();
    DirectoryView v{};
    explicit Book(std::initializer_list<int> slots = {}) {
        for (int slot : slots) use(slot, "used", "host");
    }
    ~Book() { phonebook_destroy(pb); }
    void use(int slot, const char *name, const char *address) {
        text_copy(pb->entries[slot].name, name, PHONEBOOK_NAME + 1);
        text_copy(pb->entries[slot].address, address, PHONEBOOK_ADDRESS + 1);
    }
    DirectoryView *view(int used_only, int cursor = 0) {
        v = DirectoryView{};
        v.used_only = used_only, v.cursor = cursor;
        directory_view_rebuild(&v, pb);
        return &v;
    }
};

TEST(DirectoryView, RebuildListsEverySlotOrTheUsedOnes) {
    Book book({4, 99, 1500});
    EXPECT_EQ(book.view(0, 1999)->row_count, 2000);
    DirectoryView *v = book.view(1, 1999);
    EXPECT_EQ(v->row_count, 3);
    EXPECT_EQ(directory_view_slot(v), 1500); // the cursor clamped to the last row
    Book none;
    EXPECT_EQ(directory_view_slot(none.view(1, 5)), -1);
}

TEST(DirectoryView, FindStartsAtTheGivenRowAndWrapsOnce) {
    Book book;
    book.use(2, "Alpha BBS", "alpha.example");
    book.use(30, "Gamma", "gamma.alpha.example");
    EXPECT_EQ(directory_view_find(book.view(0), book.pb, "alpha", 31), 2); // wrapping
    EXPECT_EQ(directory_view_find(book.view(1), book.pb, "gamma", 0), 1);  // rows of used slots only
    EXPECT_EQ(directory_view_find(book.view(0), book.pb, "nowhere", 0), -1);
}

TEST(DirectoryView, UsedOnlyToggleAndGoTo) {
    Book book({10, 49, 150});
    DirectoryView *v = book.view(0, 99); // slot 100, empty: the first used slot after it
    directory_view_toggle_used_only(v, book.pb);
    EXPECT_EQ(directory_view_slot(v), 150);
    directory_view_toggle_used_only(v, book.pb); // back to every slot on the same slot
    EXPECT_EQ(v->used_only, 0);
    EXPECT_EQ(directory_view_slot(v), 150);
    Book empty; // an empty used-only list can still be switched back
    directory_view_toggle_used_only(empty.view(1), empty.pb);
    EXPECT_EQ(empty.v.used_only, 0);

    v = book.view(0, 7);
    directory_view_go_to(v, "12x");
    EXPECT_EQ(directory_view_slot(v), 11);
    directory_view_go_to(v, "2001"); // no such entry: the cursor stays
    EXPECT_EQ(directory_view_slot(v), 11);
    v = book.view(1, 1);
    directory_view_go_to(v, "8"); // an empty slot is not listed in used-only mode
    EXPECT_EQ(directory_view_slot(v), 49);
}

} // namespace
