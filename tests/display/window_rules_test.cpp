// The graphics window's rules that need no window: its size for each zoom, where the bitmap goes in
// the client area, the cells in full screen, and the keys pressed in it.
#include <gtest/gtest.h>

#include <tuple>

#include "display/window.h"
#include "input/keys.h"

namespace {

TEST(WindowRules, ZoomTakesTheLargestFactorThatFitsDownToOne) {
    struct Case {
        int zoom, rows, work_width, work_height, console_width, console_height, width, height;
    } cases[] = {
        {1, 25, 1920, 1040, 0, 0, 640, 400},       // 1x is 640 x 400 for 25 rows
        {4, 25, 1920, 1200, 0, 0, 1920, 1200},     // 3x fits, 4x does not
        {4, 26, 1280, 1000, 0, 0, 1280, 832},      // the status bar's row counts
        {0, 25, 1920, 1040, 1000, 600, 1000, 600}, // the console's size known
        {3, 25, 1920, 1040, 1000, 600, 1280, 800}, // a zoom of its own ignores the console
    };
    for (const Case &c : cases) {
        int width, height;
        window_zoom_size(c.zoom, 80, c.rows, c.work_width, c.work_height, c.console_width, c.console_height,
                         &width, &height);
        EXPECT_EQ(std::pair(width, height), std::pair(c.width, c.height)) << "zoom " << c.zoom;
    }
}

TEST(WindowRules, BitmapSnapsToWholeMultiplesThatFillNinetyTwoPercent) {
    struct Case {
        int client_width, client_height;
        WindowRect expected;
    } cases[] = {
        {1347, 842, {33, 21, 1280, 800}},  // fitted 1347 wide: 2x is 95% of it
        {1400, 875, {0, 0, 1400, 875}},    // fitted 1400 wide: 2x is 91%, so it stretches
        {1920, 1080, {96, 0, 1728, 1080}}, // wider than the bitmap's shape: the height decides
    };
    for (const Case &c : cases) {
        WindowRect r = window_fit(640, 400, c.client_width, c.client_height);
        EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height),
                  std::tuple(c.expected.x, c.expected.y, c.expected.width, c.expected.height))
            << c.client_width;
    }
    EXPECT_EQ(window_fit(640, 400, 0, 0).width, 0);
}

TEST(WindowRules, FullScreenCellsFillTheMonitor) {
    struct Case {
        int monitor_width, monitor_height, rows, cell_width, cell_height;
    } cases[] = {
        {1920, 1080, 25, 21, 43}, {1280, 1024, 26, 16, 39}, {640, 200, 25, 8, 16}, // never below 8 x 16
    };
    for (const Case &c : cases) {
        int w, h;
        window_fullscreen_cells(c.monitor_width, c.monitor_height, 80, c.rows, &w, &h);
        EXPECT_EQ(std::pair(w, h), std::pair(c.cell_width, c.cell_height)) << c.monitor_width;
    }
}

TEST(WindowRules, KeysPressedInTheWindowBecomeTheProgramsKeyCodes) {
    const uint32_t kNone = 0xFFFFFFFF;
    struct Case {
        WindowKey key;
        uint32_t code;
        // clang-format off
    } cases[] = {
        {{KEY_LEFT, 0, 1, 0, 0}, KEY_CTRL | KEY_LEFT},
        {{key_function(5), 1, 0, 0, 1}, KEY_SHIFT | key_function(5)},
        {{key_function(4), 0, 0, 1, 0}, key_alt('x')}, // Alt-F4 asks to close
        {{KEY_TAB, 1, 0, 0, 0}, KEY_SHIFT_TAB},
        {{'q', 1, 0, 1, 0}, key_alt('q')},              // Alt-Shift-Q is Alt-Q
        {{KEY_ENTER, 0, 0, 1, 0}, KEY_ALT_ENTER},       {{KEY_ENTER, 0, 0, 1, 1}, kNone}, // held: once
        {{'a', 0, 0, 0, 0}, kNone}, // typed characters come as text
    };
    // clang-format on
    for (const Case &c : cases) {
        uint32_t code = kNone;
        window_key_code(c.key, &code);
        EXPECT_EQ(code, c.code) << std::hex << c.key.key;
    }
    EXPECT_TRUE(window_text_code('@', 0, 0));  // what AltGr types
    EXPECT_FALSE(window_text_code('a', 1, 0)); // came as Alt-A
}

} // namespace
