// The key commands that work offline: emulation cycling, PETSCII text mode, status bar and help
// pages.
#include <gtest/gtest.h>

#include <unistd.h>

#include "app/compose.h"
#include "app/connection.h"
#include "app/apply_emulation.h"
#include "app/help_pages.h"
#include "app/key_commands.h"
#include "app/status_bar.h"
#include "display/console.h"
#include "input/keys.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

std::string g_output;

void capture_output(const uint8_t *bytes, int length) {
    g_output.append((const char *)bytes, (size_t)length);
    g_script.presents++;
}

class KeyCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_settings.show_blink = 0;
        g_connection = ConnectionState{0, 0, "", "", 23, -1, 0, EMU_ANSI, 0};
        term_create(&g_terminal, EMU_ANSI, 24, 0);
        apply_emulation();
        g_ui_hooks = UiHooks{compose_frame, compose_frame, status_bar_refresh_clock};
        script_start({});
        console_set_writer(capture_output);
        g_output.clear();
    }
    void TearDown() override {
        EXPECT_FALSE(g_script.ran_dry);
        script_stop();
        g_ui_hooks = UiHooks{};
        term_release(&g_terminal);
    }
    bool shown(const std::string &text) const { return g_output.find(text) != std::string::npos; }
};

TEST_F(KeyCommandTest, AltECyclesEveryEmulationAndWraps) {
    const int rows[EMU_COUNT] = {24, 24, 24, 24, 24, 25, 25};
    for (int i = 1; i <= EMU_COUNT; i++) {
        g_output.clear();
        key_dispatch(key_alt('e'));
        int emulation = i % EMU_COUNT;
        EXPECT_EQ(g_terminal.emulation, emulation);
        EXPECT_EQ(g_terminal.rows, rows[emulation]);
        EXPECT_EQ(g_terminal.columns, emulation == EMU_PETSCII40 ? 40 : 80);
        EXPECT_TRUE(shown(std::string("Emulation: ") + emulation_long_names[emulation])) << emulation;
    }
}

TEST_F(KeyCommandTest, AltACyclesTheTextModeOnlyInPetscii) {
    key_dispatch(key_alt('a'));
    EXPECT_EQ(g_script.presents, 0);
    EXPECT_EQ(g_terminal.text_mode, 0);

    g_connection.emulation = EMU_PETSCII80;
    apply_emulation();
    g_terminal.crlf_count = 5;
    g_terminal.lower_count = 9;
    g_terminal.byte_count = 40;
    const struct {
        int mode, ascii;
        const char *notice;
    } steps[] = {
        {1, 1, "PETSCII text mode: ASCII"},
        {2, 0, "PETSCII text mode: PETSCII only"},
        {0, 0, "PETSCII text mode: auto detect ASCII / PETSCII"},
    };
    for (const auto &step : steps) {
        g_output.clear();
        key_dispatch(key_alt('a'));
        EXPECT_EQ(g_terminal.text_mode, step.mode);
        EXPECT_EQ(g_terminal.ascii_text, step.ascii);
        EXPECT_TRUE(shown(step.notice)) << step.notice;
    }
    EXPECT_EQ(g_terminal.crlf_count, 0); // detection starts over
    EXPECT_EQ(g_terminal.lower_count, 0);
    EXPECT_EQ(g_terminal.byte_count, 40);
}

TEST_F(KeyCommandTest, AltSMovesTheTerminalAndSavesTheSettings) {
    char dir[] = "/tmp/pelong-alt-s-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string classic = std::string(dir) + "/pelo.cfg", extended = std::string(dir) + "/pelong.cfg";
    settings_load(&g_settings, classic.c_str(), extended.c_str());
    key_dispatch(key_alt('s'));
    EXPECT_EQ(g_settings.status_bar, 0);
    EXPECT_EQ(g_terminal.rows, 25);
    EXPECT_EQ(g_frame.rows, 25);
    Settings saved;
    settings_set_defaults(&saved);
    settings_load(&saved, classic.c_str(), extended.c_str());
    EXPECT_EQ(saved.status_bar, 0);
    remove(classic.c_str());
    remove(extended.c_str());
    rmdir(dir);
    key_dispatch(key_alt('s'));
    EXPECT_EQ(g_terminal.rows, 24);
    EXPECT_EQ(frame_text(0, 0, 13), "Alt-Z - Help!");
}

TEST_F(KeyCommandTest, HelpPagesTurnWithTheirKeysAndCloseOnAnyOther) {
    help_pages_draw(0);
    EXPECT_EQ(frame_text(3, 3, 4), "█  █");
    EXPECT_EQ(frame_text(6, 3, 4), "▀  ▀");
    EXPECT_EQ(frame_text(8, 3, 5), "Alt-D");
    EXPECT_EQ(frame_text(8, 12, 17), "Dialing Directory");
    EXPECT_EQ(frame_text(21, 3, 6), "f1-f10");
    EXPECT_EQ(frame_text(23, 20, 39), "Page 1/2 - Press <space> for next page!");
    EXPECT_EQ(g_frame.cells[23][20].fg, 12);
    help_pages_draw(1);
    EXPECT_EQ(frame_text(15, 12, 18), "Dialing Directory:");
    EXPECT_EQ(frame_text(20, 3, 5), "V / Q");
    EXPECT_EQ(frame_text(23, 22, 37), "Page 2/2 - Press <space> for page #1!");

    g_script.keys = {' ', KEY_PGDN, KEY_UP, 'q'};
    key_dispatch(key_alt('z'));
    EXPECT_TRUE(g_script.keys.empty());
    EXPECT_EQ(g_script.presents, 5); // four pages shown, then the screen again
    EXPECT_EQ(frame_text(8, 3, 5), "     ");
}

} // namespace
