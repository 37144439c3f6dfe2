#include <gtest/gtest.h>

#include <string>

#include "app/connection.h"
#include "app/status_bar.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/ui/script_keys.h"

namespace {

// The status row as text, with each piece placed at its column.
std::string row_with(std::initializer_list<std::pair<int, std::string>> pieces) {
    std::string row(80, ' ');
    for (const auto &p : pieces) row.replace((size_t)p.first, p.second.size(), p.second);
    return row;
}

class StatusBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        term_create(&g_terminal, EMU_ANSI, 24, 0);
        g_frame.rows = 25;
        g_connection = ConnectionState{0, 0, "", "", 23, -1, 0, EMU_ANSI, 0};
        g_status_bar = StatusBarState{-1, 0};
        LocalTime at = {2026, 3, 4, 18, 29, 0};
        clock_fake_enable(10000000, &at);
    }
    void TearDown() override {
        clock_fake_disable();
        term_release(&g_terminal);
    }
    void go_online(const char *name, const char *host, int port, uint32_t seconds_ago) {
        g_connection.connected = 1;
        g_connection.connect_ms = clock_ms() - seconds_ago * 1000;
        snprintf(g_connection.entry_name, sizeof g_connection.entry_name, "%s", name);
        snprintf(g_connection.host, sizeof g_connection.host, "%s", host);
        g_connection.port = port;
    }
};

TEST_F(StatusBarTest, LayoutOfEachState) {
    status_bar_draw();
    EXPECT_EQ(frame_text(0), row_with({{0, "Alt-Z - Help!"},
                                       {16, "ANSI/Auto"},
                                       {28, "Offline"},
                                       {38, "Pelorin NG 1.0"},
                                       {71, "[6:29 Pm]"}}));
    EXPECT_EQ(g_status_bar.minute_shown, 29);

    go_online("Level 29", "bbs.example.org", 23, 2 * 3600 + 3 * 60 + 59);
    status_bar_draw();
    EXPECT_EQ(frame_text(0), row_with({{0, "Alt-Z - Help!"},
                                       {16, "ANSI/Auto"},
                                       {28, "Online 02:03"},
                                       {43, "Level 29"},
                                       {71, "[6:29 Pm]"}}));

    go_online("", "bbs.example.org", 23, 100 * 3600);
    status_bar_draw();
    EXPECT_EQ(frame_text(0, 28, 34), "Online 100:00   bbs.example.org   ");

    go_online("", "bbs.example.org", 2323, 0);
    g_status_bar.capture_open = 1; // five columns less: "bbs.example.org:2323" loses its last digit
    status_bar_draw();
    EXPECT_EQ(frame_text(0), row_with({{0, "Alt-Z - Help!"},
                                       {16, "ANSI/Auto"},
                                       {28, "Online 00:00"},
                                       {43, "bbs.example.org:232"},
                                       {66, "LOG"},
                                       {71, "[6:29 Pm]"}}));
}

TEST_F(StatusBarTest, LongHostIsCutBeforeTheClockArea) {
    std::string host(100, 'h');
    go_online("", host.c_str(), 23, 0);
    status_bar_draw();
    EXPECT_EQ(frame_text(0, 43, 28), std::string(24, 'h') + "    "); // room = 64 - 40
    g_status_bar.capture_open = 1;
    status_bar_draw();
    EXPECT_EQ(frame_text(0, 43, 20), std::string(19, 'h') + " ");
}

TEST_F(StatusBarTest, EmulationNameAndCharsetLabel) {
    struct {
        int emulation, text_encoding, ascii_text;
        const char *shown;
    } cases[] = {
        {EMU_ANSI, TEXT_UNDECIDED, 0, "ANSI/Auto   "}, {EMU_ANSI, TEXT_CP437, 0, "ANSI/437   "},
        {EMU_VT100, TEXT_UTF8, 0, "VT100/UTF8   "},    {EMU_CP437, TEXT_CP437, 0, "ANSI-437   "},
        {EMU_UTF8, TEXT_UTF8, 0, "ANSI-UTF8   "},      {EMU_TTY, TEXT_UNDECIDED, 0, "TTY   "},
        {EMU_PETSCII40, 0, 1, "PET-40/ASCII   "},      {EMU_PETSCII80, 0, 0, "PET-80   "},
    };
    for (const auto &c : cases) {
        g_terminal.emulation = c.emulation;
        g_terminal.text_encoding = c.text_encoding;
        g_terminal.ascii_text = c.ascii_text;
        status_bar_draw();
        std::string shown = c.shown;
        EXPECT_EQ(frame_text(0, 16, (int)shown.size() + 7), shown + "Offline") << c.emulation;
    }
}

TEST_F(StatusBarTest, TwelveHourClock) {
    const struct {
        int hour, minute;
        const char *text;
    } cases[] = {{0, 5, "[12:05 Am]"},
                 {11, 59, "[11:59 Am]"},
                 {12, 30, "[12:30 Pm]"},
                 {13, 7, "[1:07 Pm]"},
                 {23, 0, "[11:00 Pm]"}};
    for (const auto &c : cases) {
        char text[32];
        status_bar_clock_text(c.hour, c.minute, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
    LocalTime at = {2026, 3, 4, 0, 5, 0};
    clock_fake_set_local(&at);
    status_bar_draw();
    EXPECT_EQ(frame_text(0, 70, 10), "[12:05 Am]"); // a longer clock starts one column earlier
}

TEST_F(StatusBarTest, ClockStalenessAndRefresh) {
    status_bar_draw();
    EXPECT_EQ(status_bar_clock_stale(), 0);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    LocalTime at = {2026, 3, 4, 18, 30, 0};
    clock_fake_set_local(&at);
    EXPECT_EQ(status_bar_clock_stale(), 1);
    EXPECT_EQ(status_bar_refresh_clock(), 1);
    EXPECT_EQ(frame_text(0, 71, 9), "[6:30 Pm]");
    // With the bar off the minute is still kept, so the main loop redraws once a minute, not always.
    g_settings.status_bar = 0;
    at.minute = 31;
    clock_fake_set_local(&at);
    EXPECT_EQ(status_bar_refresh_clock(), 0);
    EXPECT_EQ(status_bar_clock_stale(), 0);
}

} // namespace
