// The form dialog: keys over read-only lines, number clamping, choice wrapping, the save question.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/keys.h"
#include "tests/ui/script_keys.h"
#include "ui/form.h"

namespace {

const uint32_t F10 = key_function(10);

// Runs the form on a 25-row frame over the keys, which must all be used.
int run(std::vector<FormField> fields, std::deque<uint32_t> keys) {
    g_frame.rows = 25;
    script_start(std::move(keys));
    int saved = ui_form_run("Form", fields.data(), (int)fields.size(), 60, nullptr);
    EXPECT_TRUE(g_script.keys.empty()) << g_script.keys.size() << " keys left when the form ended";
    EXPECT_FALSE(g_script.ran_dry) << "the form waited for a key the script did not give";
    script_stop();
    return saved;
}

// Yes/no fields ("y") among read-only lines ("r"): the keys land on the one field a Space flips.
TEST(Form, KeysMoveOverSelectableFieldsOnly) {
    const struct {
        std::string pattern;
        std::deque<uint32_t> keys;
        size_t flipped;
    } kCases[] = {
        {"ryyryyr", {KEY_TAB, KEY_TAB, KEY_TAB, KEY_TAB, ' ', F10}, 1},                // wraps past the end
        {"ryyryyr", {KEY_UP, ' ', F10}, 5},                                            // and past the start
        {std::string(16, 'y') + "r" + std::string(13, 'y'), {KEY_PGDN, ' ', F10}, 15}, // 16 lines a page
    };
    for (const auto &c : kCases) {
        std::vector<int> values(c.pattern.size(), 0), flipped(c.pattern.size(), 0);
        std::vector<FormField> fields;
        for (size_t i = 0; i < c.pattern.size(); i++)
            fields.push_back(c.pattern[i] == 'r' ? form_read_only("", "") : form_yes_no("", &values[i]));
        flipped[c.flipped] = 1;
        EXPECT_EQ(run(fields, c.keys), 1);
        EXPECT_EQ(values, flipped) << c.pattern;
    }
}

TEST(Form, NumbersAreClampedAndChoicesWrap) {
    static const char *const kOptions[] = {"(default)", "zero", "one"};
    const struct {
        bool choice; // else a number from 3 to 100
        int start;
        std::deque<uint32_t> keys;
        int expected;
    } kCases[] = {
        {false, 50, {'2', '5', '0', KEY_TAB, F10}, 100}, // a typed digit begins the number
        {false, 50, {KEY_ENTER, '-', '5', KEY_ENTER, F10}, 3},
        {true, -1, {' ', ' ', ' ', KEY_LEFT, F10}, 1}, // round to the start, then back past it
        {true, 7, {KEY_RIGHT, F10}, 0},                // a value outside the options counts as the first
    };
    for (const auto &c : kCases) {
        int value = c.start;
        FormField field =
            c.choice ? form_choice("", &value, kOptions, 3, -1) : form_number("", &value, 3, 100);
        run({field}, c.keys);
        EXPECT_EQ(value, c.expected) << c.keys.size() << " keys from " << c.start;
    }
}

TEST(Form, TextEditingAndTheSaveQuestion) {
    char first[6] = "one", second[6] = "two";
    std::vector<FormField> fields = {form_text("", first, 5), form_text("", second, 5)};
    EXPECT_EQ(run(fields, {'q', KEY_ESC, KEY_ESC}), 0) << "Esc in the editor keeps the value; no question";
    EXPECT_EQ(std::string(first) + "/" + second, "one/two");
    EXPECT_EQ(run(fields, {'q', KEY_ENTER, KEY_ESC, 'y'}), 1) << "Esc after a change asks to save";
    EXPECT_EQ(std::string(first) + "/" + second, "q/two");
    EXPECT_EQ(run(fields, {KEY_ENTER, 'z', KEY_ENTER, 'b', KEY_UP, F10}), 1)
        << "Enter replaces; Up goes back";
    EXPECT_EQ(std::string(first) + "/" + second, "z/b");
    char out[40], password[33] = "seven77";
    FormField hidden = form_text("Password", password, 32, 1);
    ui_form_value_text(&hidden, out, sizeof out);
    EXPECT_STREQ(out, "*******") << "a hidden field shows stars, not the password";
}

} // namespace
