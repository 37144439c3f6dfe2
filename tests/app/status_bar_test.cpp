#include "base/text.h"
#include "tests/app/app_fixture.h"

namespace {

// The status row as text, with each piece placed at its column.
std::string row_with(std::initializer_list<std::pair<int, std::string>> pieces) {
    std::string row(80, ' ');
    for (const auto &p : pieces) row.replace((size_t)p.first, p.second.size(), p.second);
    return row;
}

using StatusBarTest = AppTest;

TEST_F(StatusBarTest, LayoutOfEachState) {
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
    EXPECT_EQ(frame_text(0), row_with({{0, "Alt-Z - Help!"},
                                       {16, "ANSI/Auto"},
                                       {28, "Offline"},
                                       {38, "Pelorin NG 1.0"},
                                       {71, "[9:15 Am]"}}));
    EXPECT_EQ(g_status_bar.minute_shown, 15);

    const std::string h100(100, 'h');
    const struct {
        const char *name, *host;
        int port, capture;
        uint32_t seconds_ago;
        std::string row; // from column 28 to the clock
    } cases[] = {
        {"Level 29", "bbs.example.org", 23, 0, 2 * 3600 + 3 * 60 + 59, "Online 02:03   Level 29"},
        {"", "bbs.example.org", 23, 0, 100 * 3600, "Online 100:00   bbs.example.org"},
        // five columns less with the capture log open: "bbs.example.org:2323" loses its last digit
        {"", "bbs.example.org", 2323, 1, 0, "Online 00:00   bbs.example.org:232    LOG"},
        {"", h100.c_str(), 23, 0, 0, "Online 00:00   " + std::string(24, 'h')}, // room = 64 - 40
        {"", h100.c_str(), 23, 1, 0, "Online 00:00   " + std::string(19, 'h') + "    LOG"},
    };
    for (const auto &c : cases) {
        g_connection.connected = 1;
        g_connection.connect_ms = clock_ms() - c.seconds_ago * 1000;
        text_copy(g_connection.entry_name, c.name, sizeof g_connection.entry_name);
        text_copy(g_connection.host, c.host, sizeof g_connection.host);
        g_connection.port = c.port;
        g_status_bar.capture_open = c.capture;
        status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
        EXPECT_EQ(frame_text(0),
                  row_with({{0, "Alt-Z - Help!"}, {16, "ANSI/Auto"}, {28, c.row}, {71, "[9:15 Am]"}}));
    }
}

TEST_F(StatusBarTest, EmulationNameAndCharsetLabel) {
    struct {
        int emulation, text_encoding, ascii_text;
        const char *shown;
    } cases[] = {
        {EMU_ANSI, TEXT_UNDECIDED, 0, "ANSI/Auto   "},
        {EMU_VT100, TEXT_UTF8, 0, "VT100/UTF8   "},
        {EMU_UTF8, TEXT_UTF8, 0, "ANSI-UTF8   "},
        {EMU_PETSCII40, 0, 1, "PET-40/ASCII   "},
        {EMU_PETSCII80, 0, 0, "PET-80   "},
    };
    for (const auto &c : cases) {
        g_terminal.emulation = c.emulation;
        g_terminal.text_encoding = c.text_encoding;
        g_terminal.ascii_text = c.ascii_text;
        status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
        std::string shown = c.shown;
        EXPECT_EQ(frame_text(0, 16, (int)shown.size() + 7), shown + "Offline") << c.emulation;
    }
}

TEST_F(StatusBarTest, TwelveHourClockAndItsRefresh) {
    char text[32];
    status_bar_clock_text(12, 30, text, sizeof text); // noon is Pm
    EXPECT_STREQ(text, "[12:30 Pm]");
    status_bar_draw(&g_frame, &g_terminal, &g_connection, &g_settings);
    EXPECT_EQ(status_bar_clock_stale(), 0);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    set_local_time(0, 5);
    EXPECT_EQ(status_bar_clock_stale(), 1);
    EXPECT_EQ(status_bar_refresh_clock(), 1);
    EXPECT_EQ(frame_text(0, 70, 10), "[12:05 Am]"); // a longer clock starts one column earlier
    // With the bar off the minute is still kept, so the main loop redraws once a minute, not always.
    display_mode_switch(EMU_ANSI, 0);
    set_local_time(0, 6);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    EXPECT_EQ(status_bar_clock_stale(), 0);
}

} // namespace
