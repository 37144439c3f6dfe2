// The scrollback viewer: its position arithmetic as one table, and what the end-to-end session cannot
// see: the corner label without the status bar, and the minute's clock kept off the header.
#include "app/scrollback_viewer.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"

namespace {

TEST(ScrollbackPositionTest, KeysMoveTheViewWithinTheStoredLines) {
    const struct {
        int stored;
        std::vector<uint32_t> keys;
        int back, first_line;
    } cases[] = {
        {3, {KEY_END, KEY_DOWN}, 0, 4},
        {100, {KEY_PGUP, KEY_PGUP, KEY_PGDN}, 23, 78},
        {10, {KEY_PGUP}, 10, 1},
        {100, {KEY_UP, 'x', KEY_LEFT, KEY_F1}, 1, 100},
    };
    for (const auto &c : cases) {
        ScrollbackPosition p{c.stored, 24, 0};
        for (uint32_t key : c.keys) EXPECT_EQ(scrollback_key(&p, key), 1);
        EXPECT_EQ(std::pair(p.back, scrollback_first_line(&p)), std::pair(c.back, c.first_line))
            << c.stored << " lines, " << c.keys.size() << " keys";
    }
    ScrollbackPosition p{5, 24, 2};
    for (uint32_t key : {(uint32_t)KEY_ENTER, (uint32_t)KEY_ESC, key_alt('b')})
        EXPECT_EQ(scrollback_key(&p, key), 0);
    EXPECT_EQ(p.back, 2);
}

TEST_F(AppTest, ScrollbackLabelWithoutTheBarAndNoClockOverTheHeader) {
    term_release(&g_terminal);
    term_create(&g_terminal, EMU_ANSI, 24, 100);
    std::string bytes;
    for (int i = 1; i <= 30; i++) bytes += "Line " + std::to_string(i) + "\r\n";
    term_feed(&g_terminal, (const uint8_t *)bytes.data(), (int)bytes.size()); // 7 lines go up
    static std::vector<std::string> seen;
    event_wait_set_fake([](int timeout_ms, uint32_t *key) {
        seen.push_back(frame_text(0));
        if (seen.size() == 1) { // the minute moves while the view is up
            set_local_time(9, 16);
            clock_fake_advance((uint32_t)timeout_ms);
            return (int)EVENT_TIMEOUT;
        }
        *key = seen.size() == 3 ? KEY_HOME : KEY_ESC; // Esc, then Home and Esc in the second view
        return (int)EVENT_KEY;
    });
    scrollback_view();
    EXPECT_EQ(seen.back().substr(0, 25), " SCROLLBACK  line 8 of 31");
    EXPECT_EQ(frame_text(0, 0, 13), "Alt-Z - Help!");

    g_settings.status_bar = 0;
    display_mode_switch(EMU_ANSI, 0);
    term_set_emulation(&g_terminal, EMU_ANSI, 25);
    scrollback_view();
    EXPECT_EQ(seen.back(), "Line 1" + std::string(43, ' ') + "[ SCROLLBACK 1/32 - Esc exits ]"); // 25 rows
}

} // namespace
