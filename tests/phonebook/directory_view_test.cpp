// The directory's list logic: which rows are listed, the cursor, scrolling, finding, the used-only
// view and going to an entry number.
#include <gtest/gtest.h>

#include <initializer_list>

#include "base/text.h"
#include "phonebook/directory_view.h"

namespace {

struct Book {
    Phonebook *pb = phonebook_create();
    ~Book() { phonebook_destroy(pb); }
    void set(int slot, const char *name, const char *address = "host") {
        text_copy(pb->entries[slot].name, name, PHONEBOOK_NAME + 1);
        text_copy(pb->entries[slot].address, address, PHONEBOOK_ADDRESS + 1);
    }
};

DirectoryView *view(const Phonebook *pb, int used_only, int cursor = 0) {
    static DirectoryView v;
    v = DirectoryView{};
    v.used_only = used_only;
    v.cursor = cursor;
    directory_view_rebuild(&v, pb);
    return &v;
}

TEST(DirectoryView, RebuildListsSlotsAndClampsTheCursor) {
    Book book;
    for (int slot : {4, 99, 1500}) book.set(slot, "used");
    DirectoryView *v = view(book.pb, 0, 1999);
    EXPECT_EQ(v->row_count, 2000);
    EXPECT_EQ(directory_view_slot(v), 1999);
    v->used_only = 1;
    directory_view_rebuild(v, book.pb);
    EXPECT_EQ(v->row_count, 3);
    EXPECT_EQ(v->rows[1], 99);
    EXPECT_EQ(v->cursor, 2); // clamped to the last row
    book.set(4, "", "");
    book.set(99, "", "");
    book.set(1500, "", "");
    directory_view_rebuild(v, book.pb);
    EXPECT_EQ(v->row_count, 0);
    EXPECT_EQ(v->cursor, 0);
    EXPECT_EQ(directory_view_slot(v), -1);
    directory_view_move(v, 5); // an empty list keeps the cursor at 0
    EXPECT_EQ(v->cursor, 0);
}

TEST(DirectoryView, CursorMovesAndTheListScrolls) {
    Book book;
    const struct {
        int cursor, top, delta, list_rows;
        int expected_cursor, expected_top;
    } kCases[] = {
        {0, 0, 18, 18, 18, 1},            // PgDn with 18 rows: the cursor row becomes the last shown
        {0, 0, 17, 18, 17, 0},            // still on the first page
        {1990, 1980, 18, 18, 1999, 1982}, // stops at the last row
        {5, 0, -18, 18, 0, 0},            // PgUp stops at the first row
        {40, 35, -10, 18, 30, 30},        // above the top: the top follows
        {40, 30, 0, 18, 40, 30},          // nothing to do
        {0, 0, 2000, 19, 1999, 1981},     // End on 26 rows with the status bar: 19 rows
    };
    for (const auto &c : kCases) {
        DirectoryView *v = view(book.pb, 0, c.cursor);
        v->top = c.top;
        directory_view_move(v, c.delta);
        directory_view_scroll(v, c.list_rows);
        EXPECT_EQ(v->cursor, c.expected_cursor) << c.cursor << " by " << c.delta;
        EXPECT_EQ(v->top, c.expected_top) << c.cursor << " by " << c.delta;
    }
}

TEST(DirectoryView, FindStartsAtTheGivenRowAndWrapsOnce) {
    Book book;
    book.set(2, "Alpha BBS", "alpha.example");
    book.set(10, "Beta", "beta.example 2323");
    book.set(30, "Gamma", "gamma.alpha.example");
    const struct {
        int used_only;
        const char *text;
        int first_row, expected_row;
    } kCases[] = {
        {0, "alpha", 2, 2},  // the row itself is tried first (Find)
        {0, "alpha", 3, 30}, // the row after it (Next): the address matches
        {0, "alpha", 31, 2}, // wraps past the last row
        {0, "beta", 11, 10}, // the only match is tried last
        {0, "2323", 0, 10},  // addresses are searched
        {0, "nowhere", 0, -1}, {0, "", 0, -1},
        {1, "alpha", 1, 2}, // rows in used-only mode: 0 slot 2, 1 slot 10, 2 slot 30
        {1, "alpha", 3, 0}, // first_row past the end wraps
    };
    for (const auto &c : kCases) {
        DirectoryView *v = view(book.pb, c.used_only);
        EXPECT_EQ(directory_view_find(v, book.pb, c.text, c.first_row), c.expected_row)
            << c.text << " from " << c.first_row;
    }
    EXPECT_EQ(directory_view_find(view(book.pb, 1), Book().pb, "alpha", 0), -1); // empty entries never match
}

TEST(DirectoryView, UsedOnlyToggleLandsAtOrAfterTheSelectedSlot) {
    Book book;
    for (int slot : {10, 150, 151}) book.set(slot, "used");
    const struct {
        int used_only, cursor;
        int expected_used_only, expected_slot;
    } kCases[] = {
        {0, 99, 1, 150},   // slot 100, empty: the first used slot after it
        {0, 150, 1, 150},  // a used slot stays selected
        {0, 1999, 1, 151}, // nothing after it: the clamped cursor stays
        {1, 1, 0, 150},    // back to all slots on the same slot
    };
    for (const auto &c : kCases) {
        DirectoryView *v = view(book.pb, c.used_only, c.cursor);
        directory_view_toggle_used_only(v, book.pb);
        EXPECT_EQ(v->used_only, c.expected_used_only);
        EXPECT_EQ(directory_view_slot(v), c.expected_slot) << "from row " << c.cursor;
    }
    // An empty used-only list can be switched back, landing on the first slot.
    Book empty;
    DirectoryView *v = view(empty.pb, 1);
    directory_view_toggle_used_only(v, empty.pb);
    EXPECT_EQ(v->used_only, 0);
    EXPECT_EQ(directory_view_slot(v), 0);
}

TEST(DirectoryView, GoToAnEntryNumber) {
    Book book;
    book.set(49, "fifty");
    const struct {
        int used_only;
        const char *text;
        int moved, expected_slot;
    } kCases[] = {
        {0, "50", 1, 49}, {0, "1", 1, 0},  {0, "2000", 1, 1999}, {0, "2001", 0, 7},
        {0, "0", 0, 7},   {0, "-5", 0, 7}, {0, "", 0, 7},        {0, "12x", 1, 11},
        {1, "50", 1, 49}, {1, "8", 0, 49}, // an empty slot is not listed in used-only mode
    };
    for (const auto &c : kCases) {
        DirectoryView *v = view(book.pb, c.used_only, c.used_only ? 0 : 7);
        EXPECT_EQ(directory_view_go_to(v, c.text), c.moved) << c.text;
        EXPECT_EQ(directory_view_slot(v), c.expected_slot) << c.text;
    }
}

} // namespace
