#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "input/keys.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

int g_redraws;
void count_redraw() {
    g_redraws++;
    frame_blank();
}

class ToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        g_frame.rows = 25, g_frame.status_rows = 1;
        frame_blank();
        g_redraws = 0;
        g_ui_hooks = UiHooks{count_redraw, count_redraw, nullptr};
        g_ui_field_dark = 0;
        script_start({});
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry) << "a dialog waited for a key the script did not give";
        script_stop();
        g_ui_hooks = UiHooks{};
    }
};

int fg(int row, int column) {
    return g_frame.cells[row][column].fg;
}

// The foregrounds of count cells from column, as "7 14 7".
std::string fgs(int row, int column, int count) {
    std::string s;
    for (int c = column; c < column + count; c++) s += std::to_string(fg(row, c)) + " ";
    s.pop_back();
    return s;
}

TEST_F(ToolkitTest, PanelWidthHeightAndPlacement) {
    static const std::string hundred(100, 'x');
    const struct {
        const char *title, *text;
        int extra, status_bar, frame_rows;
        UiRect expected;
    } kCases[] = {
        {"Exit", "Exit Pelorin NG?", 1, 1, 25, {25, 10, 30, 6}},             // narrow: at least 30 wide
        {"T", hundred.c_str(), 0, 1, 25, {2, 10, 76, 5}},                    // at most 76
        {"A rather long title for a panel", "x", 0, 1, 25, {21, 10, 37, 5}}, // title + 6
        {"T", "a\nbb\nccc", 2, 1, 26, {25, 9, 30, 9}},                       // lines + extra + 4
        {"T", "1\n2\n3\n4\n5\n6\n7\n8\n9\n0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n0\n1\n2", 0, 0, 25, {25, 0, 30, 26}},
    };
    for (const auto &c : kCases) {
        g_frame.status_rows = c.status_bar;
        g_frame.rows = c.frame_rows;
        UiRect r = ui_panel(c.title, c.text, c.extra), e = c.expected;
        EXPECT_EQ(std::tie(r.column, r.row, r.width, r.height), std::tie(e.column, e.row, e.width, e.height))
            << c.title << " / " << c.text;
    }
    EXPECT_EQ(g_redraws, 5); // every panel starts from a recomposed background
}

TEST_F(ToolkitTest, PanelDrawsFrameTitleTextAndShadow) {
    UiRect r = ui_panel("Exit", "Exit Pelorin NG?", 1);
    EXPECT_EQ(frame_text(r.row, r.column, r.width), "╔═══════════ Exit ═══════════╗");
    EXPECT_EQ(frame_text(r.row + 2, r.column, 20), "║ Exit Pelorin NG?  ");
    const DisplayCell &shadow = g_frame.cells[r.row + r.height][r.column + 5];
    EXPECT_EQ(shadow.fg, 8) << "dark grey";
    EXPECT_EQ(shadow.bg, 0) << "on black";
    EXPECT_EQ(shadow.glyph, (uint32_t)' ');      // the glyph under the shadow stays
    EXPECT_EQ(fg(r.row, r.column + r.width), 7); // the top-right is not shaded

    // A line too long for any panel is cut and never spills onto the border or the next line.
    std::string text = std::string(250, 'x') + "\nsecond";
    r = ui_panel("T", text.c_str(), 0);
    EXPECT_EQ(r.height, 6);
    EXPECT_EQ(frame_text(r.row + 2, r.column + 2, 73), std::string(72, 'x') + " ");
    EXPECT_EQ(frame_text(r.row + 3, r.column + 2, 6), "second");
}

TEST_F(ToolkitTest, MarkupTogglesForegroundAndTakesNoCell) {
    EXPECT_EQ(ui_markup(2, 3, 7, 14, 1, "(~Y~es / ~N~o)"), 2 + 10);
    EXPECT_EQ(frame_text(3, 2, 12), "(Yes / No)  ");
    ui_markup(0, 5, 7, 14, 1, "a~b~c~de"); // an odd "~" leaves the rest highlighted
    EXPECT_EQ(fgs(3, 2, 3) + " | " + fgs(5, 0, 5), "7 14 7 | 7 14 7 14 14");
}

TEST_F(ToolkitTest, FieldTextAndBoxStayInsideTheFrame) {
    ui_field(0, 0, 15, 0, "abcdef", 3);
    ui_field(0, 1, 15, 0, "ab", 5);
    EXPECT_EQ(frame_text(0, 0, 4) + "|" + frame_text(1, 0, 5), "abc |ab   ");
    EXPECT_EQ(ui_text(78, 2, 15, 0, "xyz"), 81); // the position still advances past the edge
    EXPECT_EQ(frame_text(2, 78, 2), "xy");
    ui_text(-2, 24, 15, 0, "\xc9\xcd!"); // CP437 box bytes, partly left of the frame
    EXPECT_EQ(frame_text(24, 0, 1), "!");
    ui_box(70, 20, 30, 10, 11, 1, 0, "A title far too long for the box to hold");
    ui_fill(0, 30, 5, 5, 15, 1);                 // wholly below the frame
    EXPECT_EQ(frame_text(20, 64, 7), " A titl"); // the title is centred over the corner
    EXPECT_EQ(frame_text(21, 70, 2), "│ ");
}

TEST_F(ToolkitTest, YesNoTakesOnlyItsKeys) {
    const struct {
        std::deque<uint32_t> keys;
        int answer;
        // clang-format off
    } kCases[] = {{{KEY_ENTER}, 1}, {{'N'}, 0}, {{'x', key_alt('y'), KEY_F1, KEY_RESIZE, KEY_UP, ' ', 'Y'}, 1}};
    // clang-format on
    for (auto &c : kCases) {
        g_script.keys = c.keys;
        EXPECT_EQ(ui_yes_no("Exit", "Exit Pelorin NG?"), c.answer);
        EXPECT_TRUE(g_script.keys.empty());
    }
}

// A message going by itself is seen end to end.
TEST_F(ToolkitTest, AKeyEndsAMessageAndIsConsumed) {
    g_script.keys = {'q', 'r'};
    uint32_t start = clock_ms();
    ui_message("T", "1\n2\n3\n4\n5\n6\n7\n8");
    EXPECT_EQ(clock_ms(), start); // the first key ended it and was consumed
    EXPECT_EQ(g_script.keys.size(), 1u);
}

TEST_F(ToolkitTest, WaitKeySkipsResizeAndKeepsTheClockCurrent) {
    static int refreshes;
    refreshes = 0;
    g_script.keys = {KEY_RESIZE};
    // Three idle waits of 500 ms, then the key the test pushes from the clock hook.
    g_ui_hooks.refresh_clock = [] {
        if (++refreshes == 3) g_script.keys.push_back('k');
        return refreshes == 2 ? 1 : 0;
    };
    EXPECT_EQ(ui_wait_key(), (uint32_t)'k');
    EXPECT_EQ(refreshes, 3);
    // The resize shows the dialog again; of the idle waits only the one whose refresh redrew the
    // status bar presents.
    EXPECT_EQ(g_script.presents, 2);
}

TEST_F(ToolkitTest, LineEditorBehaviour) {
    const uint32_t H = KEY_HOME, L = KEY_LEFT, E = KEY_END, ENTER = KEY_ENTER, INS = KEY_INSERT;
    const struct {
        const char *name, *initial;
        int max_length;
        std::deque<uint32_t> keys;
        const char *text;
        // clang-format off
    } kCases[] = {
        {"fresh text replaced", "old", 20, {'x', ENTER}, "x"},
        {"editing key keeps the text", "old", 20, {E, 'x', ENTER}, "oldx"},
        {"insert at the cursor", "abc", 20, {L, 'x', ENTER}, "abxc"},
        {"insert drops at max", "abc", 3, {H, 'x', ENTER}, "abc"},
        {"overwrite at max", "abc", 3, {H, INS, 'x', 'y', ENTER}, "xyc"},
        {"overwrite appends at the end", "ab", 5, {E, INS, 'x', ENTER}, "abx"},
        {"backspace and delete", "abcd", 20, {L, KEY_BACKSPACE, H, KEY_DELETE, ENTER}, "bd"},
        {"ctrl-y clears", "abc", 20, {KEY_CTRL_Y, 'z', ENTER}, "z"},
        {"esc returns the edited text", "abc", 20, {E, 'd', KEY_ESC}, "abcd"},
        {"unicode to cp437", "", 20, {0xE9, 0x20AC, ENTER}, "\x82" "E"},
        {"special keys ignored", "ab", 20, {KEY_F1, key_alt('x'), 3, KEY_SHIFT | KEY_LEFT, 'c', KEY_TAB}, "abc"},
        {"shift-tab ends", "a", 20, {KEY_SHIFT_TAB}, "a"},
    };
    // clang-format on
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

// Typing a host and Enter is seen end to end.
TEST_F(ToolkitTest, InputDialogAcceptsOnEnterOnly) {
    char buffer[40] = "bbs.example";
    g_script.keys = {'x', KEY_TAB};
    EXPECT_EQ(ui_input("Quick Dial", "Host to call:", buffer, 39), 0);
}

TEST_F(ToolkitTest, ConnectProgressBox) {
    // The ordinary box and its result going by itself are seen end to end.
    std::string host(60, 'h');
    ui_connect_progress(host.c_str(), 2, 0, "x");
    EXPECT_EQ(frame_text(12, 2, 75), "connecting to: " + std::string(50, 'h') + " / port: 2");
    std::string reason(60, 'r'); // a long result widens the box to the whole screen
    ui_connect_progress("bbs", 23, 0, reason.c_str());
    EXPECT_EQ(frame_text(11, 0, 1) + frame_text(11, 79, 1) + frame_text(13, 78, 2), "┌┐r│");
}

} // namespace
