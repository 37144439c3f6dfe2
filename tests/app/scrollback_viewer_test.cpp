// The scrollback viewer: its position arithmetic, and what the end-to-end session cannot see: the
// corner label without the status bar, and the minute's clock kept off the header.
#include "app/scrollback_viewer.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"

namespace {

TEST(ScrollbackPositionTest, KeysMoveTheViewWithinTheStoredLines) {
    ScrollbackPosition few{3, 24, 0}, many{100, 24, 0};
    for (uint32_t key : std::vector<uint32_t>{KEY_END, KEY_DOWN}) EXPECT_EQ(scrollback_key(&few, key), 1);
    for (uint32_t key : std::vector<uint32_t>{KEY_PGUP, KEY_PGUP, KEY_PGDN, 'x', KEY_F1})
        EXPECT_EQ(scrollback_key(&many, key), 1);
    EXPECT_EQ(std::pair(few.back, scrollback_first_line(&few)), std::pair(0, 4));
    EXPECT_EQ(std::pair(many.back, scrollback_first_line(&many)), std::pair(23, 78));
    for (uint32_t key : std::vector<uint32_t>{KEY_ENTER, KEY_ESC, key_alt('b')})
        EXPECT_EQ(scrollback_key(&many, key), 0) << "a key that leaves the view";
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
    g_settings.status_bar = 0;
    display_mode_switch(EMU_ANSI, 0);
    term_set_emulation(&g_terminal, EMU_ANSI, 25);
    scrollback_view();
    EXPECT_EQ(seen.back(), "Line 1" + std::string(43, ' ') + "[ SCROLLBACK 1/32 - Esc exits ]"); // 25 rows
}

} // namespace
