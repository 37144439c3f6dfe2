// The key commands that work offline (emulation and PETSCII text mode cycling), the frame fitted to
// the terminal's rows, and what the main loop redraws while idle.
#include "app/apply_emulation.h"
#include "app/key_commands.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "tests/app/app_fixture.h"

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
}

// At 80x24 the status bar covered the host's first row and pushed its last one off the screen; the bar
// now steps aside while the terminal is too short for the frame (PETSCII needs 26 rows with it), the
// setting stays, and the host is told the rows it gets. Rows: emulation, rows available, bar, terminal.
TEST_F(KeyCommandTest, EveryTurnFitsTheFrameToTheTerminalRows) {
    for (auto [emulation, available, bar, rows] :
         {std::tuple{EMU_ANSI, 24, 0, 24}, {EMU_ANSI, 25, 1, 24}, {EMU_PETSCII80, 25, 0, 25}}) {
        g_connection.emulation = emulation;
        apply_emulation();
        g_presenter.visible_rows = available; // the terminal was resized
        main_loop_turn();
        SCOPED_TRACE(testing::Message() << emulation << " at " << available << " rows");
        EXPECT_EQ(std::pair(g_frame.status_rows, g_frame.rows), std::pair(bar, rows + bar));
        EXPECT_EQ(std::pair(g_terminal.rows, g_telnet.height), std::pair(rows, rows));
        EXPECT_EQ(g_settings.status_bar, 1);
    }
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
