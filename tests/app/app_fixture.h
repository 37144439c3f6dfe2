// Test fixture for the app folder: an offline ANSI session on a 25-row frame with the status bar,
// keys from a script, the fake clock at 9:15 Am, and every byte the presenter writes kept.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/compose.h"
#include "app/connection.h"
#include "app/main_loop.h"
#include "app/status_bar.h"
#include "display/console.h"
#include "display/present.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

inline std::string g_output;

inline void capture_output(const uint8_t *bytes, int length) {
    g_output.append((const char *)bytes, (size_t)length);
    g_script.presents++;
}

inline void set_local_time(int hour, int minute) {
    LocalTime at = {2026, 3, 4, hour, minute, 0};
    clock_fake_set_local(&at);
}

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_settings.show_blink = 0;
        g_connection = ConnectionState{0, 0, "", "", 23, -1, 0, EMU_ANSI, 0};
        g_compose = ComposeState{};
        g_status_bar = StatusBarState{-1, 0};
        g_presenter.visible_rows = FRAME_MAX_ROWS;
        display_mode_switch(EMU_ANSI, 1);
        term_create(&g_terminal, EMU_ANSI, 24, 0);
        g_ui_hooks = UiHooks{compose_frame, compose_frame, status_bar_refresh_clock};
        script_start({});
        console_set_writer(capture_output);
        g_output.clear();
        set_local_time(9, 15);
        g_main_loop.blink_ms = clock_ms();
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry);
        script_stop();
        g_ui_hooks = UiHooks{};
        term_release(&g_terminal);
    }
    bool shown(const std::string &text) const { return g_output.find(text) != std::string::npos; }
};
