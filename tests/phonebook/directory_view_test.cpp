// The directory's list logic: listed rows, cursor and scrolling, find order, used-only view, go-to.
#include <gtest/gtest.h>

#include <initializer_list>

#include "base/text.h"
#include "phonebook/directory_view.h"

namespace {

// A phonebook with "used" entries in the given slots, and a view of it.
struct Book {
    Phonebook *pb = phonebook_create();
    DirectoryView v{};
    explicit Book(std::initializer_list<int> slots = {}, const char *const *names = nullptr) {
        int i = 0;
        for (int slot : slots) {
            text_copy(pb->entries[slot].name, names ? names[i] : "used", PHONEBOOK_NAME + 1);
            text_copy(pb->entries[slot].address, names ? names[i + 1] : "host", PHONEBOOK_ADDRESS + 1);
            i += 2;
        }
    }
    ~Book() { phonebook_destroy(pb); }
    DirectoryView *view(int used_only, int cursor = 0) {
        v = DirectoryView{};
        v.used_only = used_only, v.cursor = cursor;
        directory_view_rebuild(&v, pb);
        return &v;
    }
};

TEST(DirectoryView, RebuildMoveAndScroll) {
    Book book({4, 99, 1500});
    EXPECT_EQ(book.view(0, 1999)->row_count, 2000);
    DirectoryView *v = book.view(1, 1999);
    EXPECT_EQ(v->row_count, 3);
    EXPECT_EQ(directory_view_slot(v), 1500); // the cursor clamped to the last row
    Book none;
    EXPECT_EQ(directory_view_slot(none.view(1, 5)), -1);

    const struct {
        int cursor, top, delta, list_rows, cursor_after, top_after;
    } kCases[] = {
        {0, 0, 18, 18, 18, 1},     // PgDn with 18 rows: the cursor row becomes the last shown
        {40, 35, -10, 18, 30, 30}, // above the top: the top follows
    };
    for (const auto &c : kCases) {
        v = book.view(0, c.cursor);
        v->top = c.top;
        directory_view_move(v, c.delta);
        directory_view_scroll(v, c.list_rows);
        EXPECT_EQ(v->cursor * 10000 + v->top, c.cursor_after * 10000 + c.top_after) << c.cursor << c.delta;
    }
}

TEST(DirectoryView, FindStartsAtTheGivenRowAndWrapsOnce) {
    static const char *const kEntries[] = {"Alpha BBS",         "alpha.example", "Beta",
                                           "beta.example 2323", "Gamma",         "gamma.alpha.example"};
    Book book({2, 10, 30}, kEntries);
    const struct {
        int used_only;
        const char *text;
        int first_row, row;
    } kCases[] = {
        // clang-format off
        {0, "alpha", 2, 2}, {0, "alpha", 31, 2}, // the row itself first, then on, wrapping
        {0, "2323", 0, 10}, {0, "nowhere", 0, -1},
        {1, "alpha", 3, 0}, // used-only rows: slots 2, 10, 30
        // clang-format on
    };
    for (const auto &c : kCases)
        EXPECT_EQ(directory_view_find(book.view(c.used_only), book.pb, c.text, c.first_row), c.row)
            << c.text << " from " << c.first_row;
}

TEST(DirectoryView, UsedOnlyToggleAndGoTo) {
    Book book({10, 49, 150});
    const struct {
        int used_only, cursor, slot_after;
    } kToggles[] = {
        {0, 99, 150},   // slot 100, empty: the first used slot after it
        {0, 1999, 150}, // nothing after it: the clamped cursor stays
        {1, 1, 49},     // back to every slot on the same slot
    };
    for (const auto &c : kToggles) {
        DirectoryView *v = book.view(c.used_only, c.cursor);
        directory_view_toggle_used_only(v, book.pb);
        EXPECT_EQ(v->used_only, !c.used_only);
        EXPECT_EQ(directory_view_slot(v), c.slot_after) << "from row " << c.cursor;
    }
    Book empty; // an empty used-only list can still be switched back
    directory_view_toggle_used_only(empty.view(1), empty.pb);
    EXPECT_EQ(empty.v.used_only, 0);
    EXPECT_EQ(directory_view_slot(&empty.v), 0);

    const struct {
        int used_only;
        const char *text;
        int slot_after;
    } kGoTos[] = {
        // clang-format off
        {0, "2000", 1999}, {0, "2001", 7}, {0, "12x", 11}, {1, "50", 49},
        {1, "8", 49}, // an empty slot is not listed in used-only mode
        // clang-format on
    };
    for (const auto &c : kGoTos) {
        DirectoryView *v = book.view(c.used_only, c.used_only ? 1 : 7);
        directory_view_go_to(v, c.text);
        EXPECT_EQ(directory_view_slot(v), c.slot_after) << c.text;
    }
}

} // namespace
