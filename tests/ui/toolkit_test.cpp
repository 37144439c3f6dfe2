#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "input/keys.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

class ToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        g_frame.rows = 25, g_frame.status_rows = 1;
        g_ui_hooks = UiHooks{frame_blank, frame_blank, nullptr};
        script_start({});
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "a dialog waited for a key the script did not give";
        script_stop();
    }
};

TEST_F(ToolkitTest, PanelIsCentredWithFrameTitleTextAndShadow) {
    UiRect r = ui_panel("Exit", "Exit Pelorin NG?", 1);
    EXPECT_EQ(std::tie(r.column, r.row, r.width, r.height), std::make_tuple(25, 10, 30, 6));
    EXPECT_EQ(frame_text(r.row, r.column, r.width), "╔═══════════ Exit ═══════════╗");
    EXPECT_EQ(frame_text(r.row + 2, r.column, 20), "║ Exit Pelorin NG?  ");
    EXPECT_EQ(g_frame.cells[r.row + r.height][r.column + 5].fg, 8) << "the shadow is dark grey";

    // A line too long for any panel is cut at 76 columns and never spills onto the next line.
    std::string text = std::string(250, 'x') + "\nsecond";
    r = ui_panel("T", text.c_str(), 0);
    EXPECT_EQ(std::tie(r.column, r.width, r.height), std::make_tuple(2, 76, 6));
    EXPECT_EQ(frame_text(r.row + 2, r.column + 2, 73), std::string(72, 'x') + " ");
    EXPECT_EQ(frame_text(r.row + 3, r.column + 2, 6), "second");
}

TEST_F(ToolkitTest, MarkupTogglesForegroundAndTakesNoCell) {
    EXPECT_EQ(ui_markup(2, 3, 7, 14, 1, "(~Y~es / ~N~o)"), 2 + 10);
    EXPECT_EQ(frame_text(3, 2, 10), "(Yes / No)");
    EXPECT_EQ(g_frame.cells[3][3].fg, 14) << "Y is highlighted";
    EXPECT_EQ(g_frame.cells[3][4].fg, 7) << "e is not";
}

TEST_F(ToolkitTest, YesNoTakesOnlyItsKeys) {
    g_script.keys = {KEY_ENTER, 'N', 'x', key_alt('y'), KEY_F1, KEY_RESIZE, ' ', 'Y'};
    EXPECT_EQ(ui_yes_no("Exit", "Exit Pelorin NG?"), 1);
    EXPECT_EQ(ui_yes_no("Exit", "Exit Pelorin NG?"), 0);
    EXPECT_EQ(ui_yes_no("Exit", "Exit Pelorin NG?"), 1) << "after keys that are no answer";
    EXPECT_TRUE(g_script.keys.empty());
}

TEST_F(ToolkitTest, AKeyEndsAMessageAndIsConsumed) {
    g_script.keys = {'q', 'r'};
    ui_message("T", "1\n2\n3\n4\n5\n6\n7\n8");
    EXPECT_EQ(g_script.keys, std::deque<uint32_t>{'r'});
}

TEST_F(ToolkitTest, WaitKeySkipsResizeAndKeepsTheClockCurrent) {
    static int refreshes;
    refreshes = 0;
    g_script.keys = {KEY_RESIZE};
    // Three idle waits, then the key the test pushes from the clock hook; the second redraws the bar.
    g_ui_hooks.refresh_clock = [] {
        if (++refreshes == 3) g_script.keys.push_back('k');
        return refreshes == 2 ? 1 : 0;
    };
    EXPECT_EQ(ui_wait_key(), (uint32_t)'k');
    EXPECT_EQ(refreshes, 3);
    EXPECT_EQ(g_script.presents, 2) << "one for the dialog shown again after the resize, one for the bar";
}

TEST_F(ToolkitTest, LineEditorBehaviour) {
    const uint32_t H = KEY_HOME, L = KEY_LEFT, ENTER = KEY_ENTER, INS = KEY_INSERT;
    const struct {
        const char *name, *initial;
        int max_length;
        std::deque<uint32_t> keys;
        const char *text;
    } kCases[] = {
        {"fresh text replaced", "old", 20, {'x', ENTER}, "x"},
        {"an editing key keeps the text; insert", "abc", 20, {L, 'x', ENTER}, "abxc"},
        {"insert drops at max", "abc", 3, {H, 'x', ENTER}, "abc"},
        {"overwrite at max", "abc", 3, {H, INS, 'x', 'y', ENTER}, "xyc"},
        {"backspace and delete", "abcd", 20, {L, KEY_BACKSPACE, H, KEY_DELETE, ENTER}, "bd"},
        {"ctrl-y clears; esc returns the text", "abc", 20, {KEY_CTRL_Y, 'z', KEY_ESC}, "z"},
        {"unicode to cp437", "", 20, {0xE9, 0x20AC, ENTER}, "\202E"}, // € falls back to E
        {"special keys ignored", "ab", 20, {KEY_F1, key_alt('x'), 3, KEY_SHIFT | L, 'c', KEY_TAB}, "abc"},
    };
    for (const auto &c : kCases) {
        char buffer[64];
        strcpy(buffer, c.initial);
        g_script.keys = c.keys;
        EXPECT_EQ(ui_edit_line(5, 5, 20, buffer, c.max_length), c.keys.back()) << c.name;
        EXPECT_STREQ(buffer, c.text) << c.name;
        EXPECT_TRUE(g_script.keys.empty()) << c.name;
        EXPECT_EQ(g_frame.cursor_visible, 0) << c.name;
    }
}

TEST_F(ToolkitTest, LineEditorScrollsToKeepTheCursorVisible) {
    char buffer[32] = "abcdefghij";
    g_script.keys = {KEY_ENTER};
    ui_edit_line(10, 3, 5, buffer, 20);
    EXPECT_EQ(frame_text(3, 10, 5), "ghij "); // the cursor after the end sits in the last cell
    EXPECT_EQ(g_frame.cursor_column, 14);
    g_script.keys = {KEY_HOME, KEY_ENTER};
    ui_edit_line(10, 3, 5, buffer, 20);
    EXPECT_EQ(frame_text(3, 10, 5), "abcde");
    EXPECT_EQ(g_frame.cursor_column, 10);
}

} // namespace
