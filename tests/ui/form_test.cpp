// The form dialog: its key table, the number field's clamping, choice wrapping, text editing and
// the "Save changes?" question, the layout with scrolling.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "input/keys.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/form.h"
#include "ui/toolkit.h"

namespace {

const uint32_t F10 = key_function(10);

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_frame.rows = 25;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
        script_start({});
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "the form waited for a key the script did not give";
        script_stop();
        g_ui_hooks = UiHooks{};
    }
    // Runs the form over the keys; every key must have been used.
    int run(std::vector<FormField> &fields, std::deque<uint32_t> keys) {
        g_script.keys = std::move(keys);
        int saved = ui_form_run("Form", fields.data(), (int)fields.size(), 60, nullptr);
        EXPECT_TRUE(g_script.keys.empty()) << g_script.keys.size() << " keys left when the form ended";
        return saved;
    }
};

// Thirty yes/no fields, the one at index at (when not -1) read-only.
std::string thirty(int at = -1) {
    std::string pattern(30, 'y');
    if (at >= 0) pattern[at] = 'r';
    return pattern;
}

// A form from a pattern: "y" a yes/no field, "r" a read-only line. The key table is seen through
// which field a final Space flips.
TEST_F(FormTest, KeysMoveOverSelectableFieldsOnly) {
    const struct {
        std::string pattern;
        std::deque<uint32_t> keys;
        int flipped;
    } kCases[] = {
        {"ryyryyr", {}, 1}, // starts on the first selectable field
        {"ryyryyr", {KEY_DOWN}, 2},
        {"ryyryyr", {KEY_DOWN, KEY_DOWN}, 4},                 // over the read-only line
        {"ryyryyr", {KEY_TAB, KEY_TAB, KEY_TAB, KEY_TAB}, 1}, // wraps past the end
        {"ryyryyr", {KEY_UP}, 5},                             // and past the start
        {"ryyryyr", {KEY_SHIFT_TAB, KEY_SHIFT_TAB}, 4},
        {"ryyryyr", {KEY_END}, 5},
        {"ryyryyr", {KEY_END, KEY_HOME}, 1},
        {thirty(), {KEY_PGDN}, 16},           // 16 lines are shown on 25 rows
        {thirty(16), {KEY_PGDN}, 15},         // the last selectable at or before
        {thirty(), {KEY_PGDN, KEY_PGDN}, 29}, // not beyond the last field
        {thirty(), {KEY_END, KEY_PGUP}, 13},
        {thirty(13), {KEY_END, KEY_PGUP}, 14}, // the first selectable at or after
        {thirty(), {KEY_DOWN, KEY_PGUP}, 0},
    };
    for (const auto &c : kCases) {
        int n = (int)c.pattern.size();
        std::vector<int> values(n, 0);
        std::vector<FormField> fields;
        for (int i = 0; i < n; i++)
            fields.push_back(c.pattern[i] == 'r' ? form_read_only("Note", "read only")
                                                 : form_yes_no("Flag", &values[i]));
        std::deque<uint32_t> keys = c.keys;
        keys.push_back(' ');
        keys.push_back(F10);
        EXPECT_EQ(run(fields, keys), 1);
        int flipped = -1;
        for (int i = 0; i < n; i++)
            if (values[i]) flipped = flipped < 0 ? i : -2;
        EXPECT_EQ(flipped, c.flipped) << c.pattern << " after " << c.keys.size() << " keys";
    }
}

TEST_F(FormTest, NumbersAreClampedAndChoicesWrap) {
    const struct {
        const char *name;
        std::deque<uint32_t> keys;
        int start, expected;
    } kNumbers[] = {
        {"typed over the value", {KEY_ENTER, '4', '2', KEY_ENTER}, 50, 42},
        {"a digit begins a new number", {'7', '5', KEY_ENTER}, 50, 75},
        {"lowered to the maximum", {'2', '5', '0', KEY_ENTER}, 50, 100},
        {"raised to the minimum", {KEY_ENTER, '-', '5', KEY_ENTER}, 50, 3},
        {"empty is the minimum", {KEY_ENTER, KEY_CTRL_Y, KEY_ENTER}, 50, 3},
        {"Esc keeps the value", {'9', KEY_ESC}, 50, 50},
        {"letters do not open the editor", {'x', KEY_LEFT}, 50, 50},
    };
    for (const auto &c : kNumbers) {
        int value = c.start;
        std::vector<FormField> fields = {form_number("Number", &value, 3, 100)};
        std::deque<uint32_t> keys = c.keys;
        keys.push_back(F10);
        EXPECT_EQ(run(fields, keys), 1);
        EXPECT_EQ(value, c.expected) << c.name;
    }

    static const char *const kOptions[] = {"(default)", "zero", "one"};
    const struct {
        std::deque<uint32_t> keys;
        int start, expected;
    } kChoices[] = {
        {{KEY_RIGHT}, -1, 0}, {{' ', KEY_ENTER}, -1, 1}, {{' ', ' ', ' '}, -1, -1}, // wraps forward
        {{KEY_LEFT}, -1, 1},                                                        // and back
        {{KEY_RIGHT}, 7, 0}, // a value outside the options counts as the first
    };
    for (const auto &c : kChoices) {
        int value = c.start;
        std::vector<FormField> fields = {form_choice("Choice", &value, kOptions, 3, -1)};
        std::deque<uint32_t> keys = c.keys;
        keys.push_back(F10);
        run(fields, keys);
        EXPECT_EQ(value, c.expected) << c.keys.size() << " keys from " << c.start;
    }
}

TEST_F(FormTest, TextEditingAndTheSaveQuestion) {
    const struct {
        const char *name;
        std::deque<uint32_t> keys;
        int saved;
        const char *first, *second;
    } kCases[] = {
        {"typing goes on after the first letter", {'x', 'y', KEY_ENTER, F10}, 1, "xy", "two"},
        {"Enter edits the value; typing replaces it", {KEY_ENTER, 'z', KEY_TAB, F10}, 1, "z", "two"},
        {"Enter moves on to the next field", {'a', KEY_ENTER, 'b', KEY_ENTER, F10}, 1, "a", "b"},
        {"Up goes back", {KEY_DOWN, 'b', KEY_UP, 'a', F10}, 1, "a", "b"},
        {"cut to the maximum", {'1', '2', '3', '4', '5', '6', '7', KEY_ENTER, F10}, 1, "12345", "two"},
        {"F10 in the editor saves", {'q', F10}, 1, "q", "two"},
        {"Esc in the editor keeps the value", {'q', KEY_ESC, KEY_ESC}, 0, "one", "two"},
        {"Esc without a change asks nothing", {KEY_ESC}, 0, "one", "two"},
        {"Yes to the question saves", {'q', KEY_ENTER, KEY_ESC, 'y'}, 1, "q", "two"},
        {"No to the question cancels", {'q', KEY_ENTER, KEY_ESC, 'n'}, 0, "q", "two"},
        {"Esc goes back to the form", {'q', KEY_ENTER, KEY_ESC, KEY_ESC, F10}, 1, "q", "two"},
        {"a typed Unicode letter is stored in CP437", {0xE9, KEY_TAB, F10}, 1, "\x82", "two"},
    };
    for (const auto &c : kCases) {
        char first[6] = "one", second[6] = "two";
        std::vector<FormField> fields = {form_text("First", first, 5), form_text("Second", second, 5)};
        EXPECT_EQ(run(fields, c.keys), c.saved) << c.name;
        EXPECT_STREQ(first, c.first) << c.name;
        EXPECT_STREQ(second, c.second) << c.name;
    }
}

TEST_F(FormTest, ValueTexts) {
    char password[33] = "seven77", empty[2] = "";
    int yes = 1, number = -12, choice = 4;
    static const char *const kOptions[] = {"a", "b"};
    const struct {
        FormField field;
        const char *shown;
    } kCases[] = {
        {form_text("", password, 32, 1), "*******"}, {form_text("", empty, 1, 1), ""},
        {form_text("", password, 32), "seven77"},    {form_yes_no("", &yes), "Yes"},
        {form_number("", &number, -20, 20), "-12"},  {form_choice("", &choice, kOptions, 2, 3), "b"},
        {form_read_only("", "fixed"), "fixed"},
    };
    for (const auto &c : kCases) {
        char out[64];
        ui_form_value_text(&c.field, out, sizeof out);
        EXPECT_STREQ(out, c.shown);
    }
}

// A long form on 25 rows with the status bar: 16 field lines in a box of 22 rows from row 2, labels
// from column x + 3, values after the longest label, arrows where lines are hidden.
TEST_F(FormTest, LayoutScrollsWithTheCurrentField) {
    std::vector<int> values(30, 0);
    std::vector<FormField> fields;
    for (int i = 0; i < 30; i++) fields.push_back(form_yes_no(i == 3 ? "Longest label" : "Flag", &values[i]));
    fields[29] = form_read_only("End", "last line");
    g_script.keys = {KEY_END};
    // Look at the frame while the form waits for its last key.
    g_ui_hooks.refresh_clock = [] {
        if (g_script.keys.empty() && !g_script.ran_dry) {
            // x = (80 - 60) / 2 = 10; values at x + 13 + 5.
            EXPECT_EQ(frame_text(2, 10, 3), "╔══");
            EXPECT_EQ(frame_text(4, 13, 4), "Flag"); // field 14 on the first line
            EXPECT_EQ(frame_text(4, 69, 1), "▲");    // hidden lines above
            EXPECT_EQ(frame_text(19, 13, 3), "End"); // the read-only last line is shown
            EXPECT_EQ(frame_text(19, 28, 9), "last line");
            EXPECT_EQ(g_frame.cells[18][13].fg, 14); // the current label in yellow
            EXPECT_EQ(g_frame.cells[18][28].bg, 3);  // its value black on cyan
            EXPECT_EQ(g_frame.cells[19][28].fg, 7);  // read-only grey on blue
            EXPECT_EQ(g_frame.cells[19][28].bg, 1);
            EXPECT_EQ(frame_text(22, 12, 9), "\u2191\u2193 select");
            g_script.keys.push_back(KEY_ESC);
        }
        return 0;
    };
    EXPECT_EQ(ui_form_run("Long", fields.data(), 30, 60, nullptr), 0);
}

} // namespace
