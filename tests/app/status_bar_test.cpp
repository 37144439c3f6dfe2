// The status bar: its pieces while online (offline it is seen end to end), the charset label, the 12-hour
// clock and its refresh.
#include "base/text.h"
#include "tests/app/app_fixture.h"

namespace {

using StatusBarTest = AppTest;

void draw() {
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
}

TEST_F(StatusBarTest, PiecesOfEachState) {
    const struct {
        const char *name;
        int port, capture;
        uint32_t seconds_ago;
        std::string middle; // from column 16 to the clock at column 71
    } cases[] = {
        {"Level 29", 23, 0, 2 * 3600 + 3 * 60 + 59, "ANSI/Auto   Online 02:03   Level 29"},
        // five columns less with the capture log open: "bbs.example.org:2323" loses its last digit
        {"", 2323, 1, 0, "ANSI/Auto   Online 00:00   bbs.example.org:232    LOG"},
    };
    g_connection.connected = 1;
    text_copy(g_connection.host, "bbs.example.org", sizeof g_connection.host);
    for (const auto &c : cases) {
        g_connection.connect_ms = clock_ms() - c.seconds_ago * 1000;
        text_copy(g_connection.entry_name, c.name, sizeof g_connection.entry_name);
        g_connection.port = c.port;
        g_status_bar.capture_open = c.capture;
        draw();
        std::string row = "Alt-Z - Help!   " + c.middle;
        EXPECT_EQ(frame_text(0), row + std::string(71 - row.size(), ' ') + "[9:15 Am]");
    }
}

TEST_F(StatusBarTest, CharsetLabelOnlyWhereTheEmulationLeavesTheEncodingOpen) {
    const struct {
        int emulation, text_encoding, ascii_text;
        const char *shown;
    } cases[] = {
        {EMU_VT100, TEXT_UTF8, 0, "VT100/UTF8   "},
        {EMU_TTY, TEXT_CP437, 0, "TTY   "},
        {EMU_PETSCII40, 0, 1, "PET-40/ASCII   "},
    };
    for (const auto &c : cases) {
        g_terminal.emulation = c.emulation;
        g_terminal.text_encoding = c.text_encoding;
        g_terminal.ascii_text = c.ascii_text;
        draw();
        EXPECT_EQ(frame_text(0, 16, (int)strlen(c.shown) + 7), c.shown + std::string("Offline"));
    }
}

TEST_F(StatusBarTest, TwelveHourClockAndItsRefresh) {
    draw();
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
