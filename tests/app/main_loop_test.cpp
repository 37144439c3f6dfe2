#include <gtest/gtest.h>

#include "app/compose.h"
#include "app/connection.h"
#include "app/main_loop.h"
#include "app/status_bar.h"
#include "display/console.h"
#include "input/keys.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

class MainLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_settings.show_blink = 0;
        g_connection = ConnectionState{0, 0, "", "", 23, -1, 0, EMU_ANSI, 0};
        g_compose = ComposeState{};
        display_mode_switch(EMU_ANSI, 1);
        term_create(&g_terminal, EMU_ANSI, 24, 0);
        g_ui_hooks = UiHooks{compose_frame, compose_frame, status_bar_refresh_clock};
        script_start({});
        LocalTime at = {2026, 3, 4, 9, 15, 0};
        clock_fake_set_local(&at);
        compose_frame();
        g_main_loop.blink_ms = clock_ms();
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry);
        script_stop();
        g_ui_hooks = UiHooks{};
        term_release(&g_terminal);
    }
};

TEST_F(MainLoopTest, AltXAsksAndOnlyYesQuits) {
    g_script.keys = {key_alt('x'), 'n'};
    int before = g_script.presents;
    main_loop_turn();
    EXPECT_EQ(g_connection.quit, 0);
    EXPECT_EQ(g_script.presents, before + 2); // the box, then the screen without it
    EXPECT_EQ(frame_text(12, 25, 30), std::string(30, ' '));
    g_script.keys = {key_alt('x'), 'x', 'y'};
    main_loop_turn();
    EXPECT_EQ(g_connection.quit, 1);
}

TEST_F(MainLoopTest, IdleTurnsRedrawOnlyForBlinkingAndTheClock) {
    int before = g_script.presents;
    for (int i = 0; i < 8; i++) main_loop_turn(); // two seconds offline
    EXPECT_EQ(g_script.presents, before);

    LocalTime at = {2026, 3, 4, 9, 16, 0};
    clock_fake_set_local(&at);
    main_loop_turn();
    EXPECT_EQ(g_script.presents, before + 1);
    EXPECT_EQ(frame_text(0, 71, 9), "[9:16 Am]");

    g_settings.show_blink = 1;
    before = g_script.presents;
    int phase = g_compose.blink_hidden;
    for (int i = 0; i < 4; i++) main_loop_turn(); // 250 ms each: the phase flips every other turn
    EXPECT_EQ(g_script.presents, before + 2);
    EXPECT_EQ(g_compose.blink_hidden, phase);
}

} // namespace
