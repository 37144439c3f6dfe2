// The key commands that work offline (emulation cycling, PETSCII text mode, status bar, help pages),
// and what the main loop redraws while idle. (A refused Alt-S save is checked end to end.)
#include "app/apply_emulation.h"
#include "app/key_commands.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "tests/app/app_fixture.h"
#include "tests/settings/file_helpers.h"

namespace {

using KeyCommandTest = AppTest;

TEST_F(KeyCommandTest, AltECyclesEveryEmulationAndSaysWhich) {
    for (int i = 1; i <= EMU_COUNT; i++) {
        key_dispatch(key_alt('e'));
        int emulation = i % EMU_COUNT;
        EXPECT_EQ(g_terminal.emulation, emulation);
        EXPECT_EQ(g_terminal.rows + g_frame.status_rows, g_frame.rows) << "the terminal fills the frame";
        EXPECT_TRUE(shown(std::string("Emulation: ") + emulation_long_names[emulation])) << emulation;
    }
}

TEST_F(KeyCommandTest, AltACyclesTheTextModeOnlyInPetscii) {
    key_dispatch(key_alt('a'));
    EXPECT_EQ(g_script.presents, 0);
    g_connection.emulation = EMU_PETSCII80;
    apply_emulation();
    for (const char *notice : {"ASCII", "PETSCII only", "auto detect ASCII / PETSCII"}) {
        key_dispatch(key_alt('a'));
        EXPECT_TRUE(shown(std::string("PETSCII text mode: ") + notice)) << notice;
    }
    EXPECT_EQ(g_terminal.text_mode, PETSCII_TEXT_AUTO);
}

TEST_F(KeyCommandTest, AltSMovesTheTerminalAndSavesTheSettings) {
    TempDir dir;
    std::string classic = dir.file("pelo.cfg"), extended = dir.file("pelong.cfg");
    settings_load(&g_settings, classic.c_str(), extended.c_str());
    key_dispatch(key_alt('s'));
    EXPECT_EQ(g_terminal.rows, 25);
    EXPECT_EQ(frame_text(0, 0, 5), "     ") << "the bar is gone";
    settings_set_defaults(&g_settings);
    settings_load(&g_settings, classic.c_str(), extended.c_str());
    EXPECT_EQ(g_settings.status_bar, 0) << "saved";
}

// At 80x24 the status bar covered the host's first row and pushed its last one off the screen; the
// bar now steps aside while the terminal is too short for the frame (PETSCII needs 26 rows with it),
// the setting stays, and the host is told the rows it gets.
TEST_F(KeyCommandTest, EveryTurnFitsTheFrameToTheTerminalRows) {
    const struct {
        int emulation, available, status_bar, terminal_rows;
    } kCases[] = {
        {EMU_ANSI, 24, 0, 24},
        {EMU_ANSI, 25, 1, 24},
        {EMU_PETSCII80, 25, 0, 25},
    };
    for (const auto &c : kCases) {
        g_connection.emulation = c.emulation;
        apply_emulation();
        g_presenter.visible_rows = c.available; // the terminal was resized
        main_loop_turn();
        SCOPED_TRACE(testing::Message() << c.emulation << " at " << c.available << " rows");
        EXPECT_EQ(std::pair(g_frame.status_rows, g_frame.rows),
                  std::pair(c.status_bar, c.terminal_rows + c.status_bar));
        EXPECT_EQ(std::pair(g_terminal.rows, g_telnet.height), std::pair(c.terminal_rows, c.terminal_rows));
        EXPECT_EQ(g_settings.status_bar, 1);
    }
}

TEST_F(KeyCommandTest, HelpPagesTurnWithTheirKeysAndCloseOnAnyOther) {
    g_script.keys = {' ', KEY_PGDN, KEY_UP, 'q'};
    key_dispatch(key_alt('z'));
    EXPECT_TRUE(g_script.keys.empty());
    EXPECT_EQ(g_script.presents, 5); // four pages shown, then the screen again
}

TEST_F(KeyCommandTest, IdleTurnsRedrawOnlyForBlinkingAndTheClock) {
    compose_frame();
    for (int i = 0; i < 8; i++) main_loop_turn(); // two seconds offline
    EXPECT_EQ(g_script.presents, 0);
    set_local_time(9, 16);
    main_loop_turn();
    EXPECT_EQ(g_script.presents, 1);
    g_settings.show_blink = 1;
    for (int i = 0; i < 4; i++) main_loop_turn(); // 250 ms each: the phase flips every other turn
    EXPECT_EQ(g_script.presents, 3);
}

} // namespace
