// The form dialog: its key table over read-only lines, number clamping, choice wrapping, text
// editing with the save question.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/keys.h"
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
        g_frame.rows = 25;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
        script_start({});
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "the form waited for a key the script did not give";
        script_stop();
        g_ui_hooks = UiHooks{};
    }
    // Runs the form over the keys, which must all be used.
    int run(std::vector<FormField> fields, std::deque<uint32_t> keys) {
        g_script.keys = std::move(keys);
        int saved = ui_form_run("Form", fields.data(), (int)fields.size(), 60, nullptr);
        EXPECT_TRUE(g_script.keys.empty()) << g_script.keys.size() << " keys left when the form ended";
        return saved;
    }
};

// Fields from a pattern, "y" yes/no and "r" read-only; the key table is seen through the one field
// that a final Space flips.
TEST_F(FormTest, KeysMoveOverSelectableFieldsOnly) {
    std::string thirty(30, 'y'), thirty_16(thirty), thirty_13(thirty);
    thirty_16[16] = thirty_13[13] = 'r';
    const struct {
        std::string pattern;
        std::deque<uint32_t> keys;
        int flipped;
    } kCases[] = {
        {"ryyryyr", {}, 1},                                   // starts on the first selectable field
        {"ryyryyr", {KEY_TAB, KEY_TAB, KEY_TAB, KEY_TAB}, 1}, // wraps past the end
        {"ryyryyr", {KEY_UP}, 5},                             // and past the start
        {thirty, {KEY_PGDN}, 16},                             // 16 lines are shown on 25 rows
        {thirty_16, {KEY_PGDN}, 15},
        {thirty_13, {KEY_END, KEY_PGUP}, 14},
    };
    for (const auto &c : kCases) {
        std::vector<int> values(c.pattern.size(), 0);
        std::vector<FormField> fields;
        for (size_t i = 0; i < c.pattern.size(); i++)
            fields.push_back(c.pattern[i] == 'r' ? form_read_only("Note", "")
                                                 : form_yes_no("Flag", &values[i]));
        std::deque<uint32_t> keys = c.keys;
        keys.insert(keys.end(), {' ', F10});
        EXPECT_EQ(run(fields, keys), 1);
        std::string flips;
        for (size_t i = 0; i < values.size(); i++)
            if (values[i]) flips += std::to_string(i);
        EXPECT_EQ(flips, std::to_string(c.flipped)) << c.pattern << " after " << c.keys.size() << " keys";
    }
}

TEST_F(FormTest, NumbersAreClampedAndChoicesWrap) {
    const struct {
        std::deque<uint32_t> keys;
        int expected;
    } kNumbers[] = {
        {{'7', '5', KEY_TAB}, 75}, // a digit begins the number
        {{'2', '5', '0', KEY_ENTER}, 100},
        {{KEY_ENTER, '-', '5', KEY_ENTER}, 3},
        {{'9', KEY_ESC}, 50},
    };
    for (const auto &c : kNumbers) {
        int value = 50;
        std::deque<uint32_t> keys = c.keys;
        keys.push_back(F10);
        run({form_number("Number", &value, 3, 100)}, keys);
        EXPECT_EQ(value, c.expected) << c.keys.size() << " keys";
    }
    static const char *const kOptions[] = {"(default)", "zero", "one"};
    const struct {
        std::deque<uint32_t> keys;
        int start, expected;
    } kChoices[] = {
        {{KEY_RIGHT}, -1, 0},
        {{' ', ' ', ' '}, -1, -1},
        {{KEY_LEFT}, -1, 1},
        {{KEY_RIGHT}, 7, 0}, // a value outside the options counts as the first
    };
    for (const auto &c : kChoices) {
        int value = c.start;
        std::deque<uint32_t> keys = c.keys;
        keys.push_back(F10);
        run({form_choice("Choice", &value, kOptions, 3, -1)}, keys);
        EXPECT_EQ(value, c.expected) << c.keys.size() << " keys from " << c.start;
    }
}

TEST_F(FormTest, TextEditingAndTheSaveQuestion) {
    const struct {
        std::deque<uint32_t> keys;
        int saved;
        const char *first, *second;
    } kCases[] = {
        {{KEY_ENTER, 'z', KEY_ENTER, 'b', KEY_UP, F10}, 1, "z", "b"}, // Enter replaces; Up goes back
        {{'q', KEY_ESC, KEY_ESC}, 0, "one", "two"}, // Esc in the editor keeps the value; no question
        {{'q', KEY_ENTER, KEY_ESC, 'y'}, 1, "q", "two"},
    };
    for (const auto &c : kCases) {
        char first[6] = "one", second[6] = "two";
        EXPECT_EQ(run({form_text("First", first, 5), form_text("Second", second, 5)}, c.keys), c.saved);
        EXPECT_EQ(std::string(first) + "/" + second, std::string(c.first) + "/" + c.second);
    }
    char out[40], password[33] = "seven77";
    FormField hidden = form_text("Password", password, 32, 1);
    ui_form_value_text(&hidden, out, sizeof out);
    EXPECT_STREQ(out, "*******");
}

} // namespace
