// The status bar: its pieces while online (offline, and the entry's name, are seen end to end), the
// charset label, the 12-hour clock and its refresh.
#include "base/text.h"
#include "tests/app/app_fixture.h"

namespace {

using StatusBarTest = AppTest;

// Five columns less with the capture log open: "bbs.example.org:2323" loses its last digit.
TEST_F(StatusBarTest, OnlineTimeAndAddressMakeRoomForTheLogMark) {
    g_connection.connected = 1;
    g_connection.connect_ms = clock_ms() - (2 * 3600 + 3 * 60 + 59) * 1000;
    text_copy(g_connection.host, "bbs.example.org", sizeof g_connection.host);
    g_connection.port = 2323;
    g_status_bar.capture_open = 1;
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
    EXPECT_EQ(frame_text(0), "Alt-Z - Help!   ANSI/Auto   Online 02:03   bbs.example.org:232    LOG" +
                                 std::string(2, ' ') + "[9:15 Am]");
}

TEST_F(StatusBarTest, CharsetLabelOnlyWhereTheEmulationLeavesTheEncodingOpen) {
    for (auto [emulation, encoding, ascii_text, shown] :
         {std::tuple{EMU_VT100, TEXT_UTF8, 0, "VT100/UTF8   "},
          {EMU_TTY, TEXT_CP437, 0, "TTY   "},
          {EMU_PETSCII40, TEXT_UNDECIDED, 1, "PET-40/ASCII   "}}) {
        g_terminal.emulation = emulation;
        g_terminal.text_encoding = encoding;
        g_terminal.ascii_text = ascii_text;
        status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
        EXPECT_EQ(frame_text(0, 16, (int)strlen(shown) + 7), shown + std::string("Offline"));
    }
}

TEST_F(StatusBarTest, TwelveHourClockAndItsRefresh) {
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    for (auto [hour, minute, clock] : {std::tuple{0, 5, "[12:05 Am]"}, {12, 30, "[12:30 Pm]"}}) {
        set_local_time(hour, minute);
        EXPECT_EQ(status_bar_refresh_clock(), 1);
        EXPECT_EQ(frame_text(0, 70, 10), clock); // a longer clock starts one column earlier
    }
    // With the bar off the minute is still kept, so the main loop redraws once a minute, not always.
    display_mode_switch(EMU_ANSI, 0);
    set_local_time(12, 31);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    EXPECT_EQ(status_bar_clock_stale(), 0);
}

} // namespace
