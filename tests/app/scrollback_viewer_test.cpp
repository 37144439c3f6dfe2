// The scrollback viewer: its position arithmetic as one table, and the view of numbered lines with
// its header, the live screen coming back unchanged, and the empty buffer.
#include <cstring>

#include "app/scrollback_viewer.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"

namespace {

TEST(ScrollbackPositionTest, KeysMoveTheViewWithinTheStoredLines) {
    const struct {
        int stored, rows;
        std::vector<uint32_t> keys;
        int back, first_line;
    } cases[] = {
        {3, 24, {}, 0, 4},
        {3, 24, {KEY_HOME}, 3, 1},
        {3, 24, {KEY_HOME, KEY_UP}, 3, 1},
        {3, 24, {KEY_END, KEY_DOWN}, 0, 4},
        {100, 24, {KEY_PGUP}, 23, 78},
        {100, 24, {KEY_PGUP, KEY_PGUP, KEY_PGDN}, 23, 78},
        {100, 24, {KEY_PGUP, KEY_DOWN, KEY_UP, KEY_UP}, 24, 77},
        {10, 24, {KEY_PGUP}, 10, 1},
        {10, 24, {KEY_HOME, KEY_PGDN}, 0, 11},
        {100, 25, {KEY_HOME, KEY_PGDN, KEY_END}, 0, 101},
        {100, 24, {KEY_UP, 'x', KEY_LEFT, KEY_F1}, 1, 100},
    };
    for (const auto &c : cases) {
        ScrollbackPosition p{c.stored, c.rows, 0};
        for (uint32_t key : c.keys) EXPECT_EQ(scrollback_key(&p, key), 1);
        EXPECT_EQ(p.back, c.back) << c.stored << " lines, " << c.keys.size() << " keys";
        EXPECT_EQ(scrollback_first_line(&p), c.first_line);
    }
    for (uint32_t key : {(uint32_t)KEY_ENTER, (uint32_t)KEY_ESC, key_alt('b'), key_alt('B')}) {
        ScrollbackPosition p{5, 24, 2};
        EXPECT_EQ(scrollback_key(&p, key), 0);
        EXPECT_EQ(p.back, 2);
    }
}

class ScrollbackViewTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        term_release(&g_terminal);
        term_create(&g_terminal, EMU_ANSI, 24, 100);
    }
    // The host clears the screen and sends lines "Line 01" to "Line <count>".
    void feed_numbered_lines(int count) {
        std::string bytes = "\x1b[2J\x1b[H";
        for (int i = 1; i <= count; i++)
            bytes += "Line " + std::string(i < 10 ? "0" : "") + std::to_string(i) + "\r\n";
        term_feed(&g_terminal, (const uint8_t *)bytes.data(), (int)bytes.size());
    }
    std::vector<std::string> frame_rows() const {
        std::vector<std::string> rows;
        for (int r = 0; r < g_frame.rows; r++) rows.push_back(frame_text(r));
        return rows;
    }
};

// The frame as it stood when the last key was asked for: the view while it is up.
std::vector<std::string> g_seen;
int look_then_key(int timeout_ms, uint32_t *key) {
    g_seen.clear();
    for (int r = 0; r < g_frame.rows; r++) g_seen.push_back(frame_text(r));
    return scripted_wait(timeout_ms, key);
}

TEST_F(ScrollbackViewTest, TheViewOpensAtTheLiveScreenAndEscBringsItBackUnchanged) {
    feed_numbered_lines(60);
    // 60 lines and the cursor row below them: 37 rows went up, after the cleared screen.
    ASSERT_EQ(g_terminal.scrollback_count, 37);
    compose_frame();
    auto live = frame_rows();
    event_wait_set_fake(look_then_key);
    g_script.keys = {KEY_ESC};
    scrollback_view();
    EXPECT_EQ(g_seen[0].substr(0, 26), " SCROLLBACK  line 38 of 61");
    EXPECT_EQ(g_seen[1].substr(0, 7), "Line 38");
    EXPECT_EQ(frame_rows(), live);
    EXPECT_EQ(g_frame.cursor_visible, 1);
}

TEST_F(ScrollbackViewTest, TheViewShowsTheStoredLinesUnderItsHeader) {
    feed_numbered_lines(60);
    const struct {
        int status_bar;
        uint32_t key;
        const char *header, *top_line;
    } cases[] = {
        {1, KEY_HOME, " SCROLLBACK  line 1 of 61", "Line 01"},
        {1, KEY_UP, " SCROLLBACK  line 37 of 61", "Line 37"},
        {0, KEY_HOME, "[ SCROLLBACK 1/62 - Esc exits ]", nullptr},
    };
    event_wait_set_fake(look_then_key);
    for (const auto &c : cases) {
        if (!c.status_bar) { // 25 rows: one more line on the live screen
            g_settings.status_bar = 0;
            display_mode_switch(EMU_ANSI, 0);
            term_set_emulation(&g_terminal, EMU_ANSI, 25);
        }
        g_script.keys = {c.key, KEY_ESC};
        scrollback_view();
        const std::string &top = g_seen[0];
        EXPECT_NE(top.find(c.header), std::string::npos) << top;
        if (c.top_line) {
            EXPECT_EQ(g_seen[1].substr(0, 7), c.top_line);
            EXPECT_NE(top.find("PgUp PgDn Home End Esc"), std::string::npos);
        } else {
            EXPECT_EQ(top.substr(0, 7), "Line 01"); // the header covers only the right end
            EXPECT_EQ(top.size(), 80u);
        }
    }
}

TEST_F(ScrollbackViewTest, TheMinutesClockDoesNotDrawOverTheHeader) {
    feed_numbered_lines(30);
    g_script.keys = {};
    event_wait_set_fake([](int timeout_ms, uint32_t *key) {
        static int waits = 0;
        if (waits++ == 0) {
            set_local_time(9, 16); // the minute moves while the view is up
            clock_fake_advance((uint32_t)timeout_ms);
            return (int)EVENT_TIMEOUT;
        }
        EXPECT_EQ(frame_text(0, 0, 11), " SCROLLBACK");
        *key = KEY_ESC;
        return (int)EVENT_KEY;
    });
    scrollback_view();
    EXPECT_EQ(frame_text(0, 0, 13), "Alt-Z - Help!");
    EXPECT_TRUE(shown("[9:16 Am]"));
}

TEST_F(ScrollbackViewTest, AnEmptyBufferIsSaidSo) {
    g_script.keys = {'x'};
    scrollback_view();
    EXPECT_TRUE(shown("The scrollback buffer is empty."));
    EXPECT_TRUE(g_script.keys.empty());
}

} // namespace
