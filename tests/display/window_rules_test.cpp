// The graphics window's rules that need no window: its size for each zoom, where the bitmap goes in
// the client area, the cells in full screen, and the keys pressed in it.
#include <gtest/gtest.h>

#include "display/window.h"
#include "input/keys.h"

namespace {

TEST(WindowRules, ZoomTakesTheLargestFactorThatFitsDownToOne) {
    struct Case {
        int zoom, rows, work_width, work_height, console_width, console_height, width, height;
    } cases[] = {
        {1, 25, 1920, 1040, 0, 0, 640, 400},       // 1x is 640 x 400 for 25 rows
        {4, 25, 1920, 1200, 0, 0, 1920, 1200},     // 3x fits, 4x does not
        {4, 25, 1920, 1040, 0, 0, 1280, 800},      // nor does 3x here
        {4, 26, 1280, 1000, 0, 0, 1280, 832},      // the status bar's row counts
        {2, 25, 1000, 700, 0, 0, 640, 400},        // nothing above 1x fits
        {0, 25, 1920, 1040, 0, 0, 640, 400},       // the console's size unknown: 1x
        {0, 25, 1920, 1040, 1000, 600, 1000, 600}, // the console's size known
        {3, 25, 1920, 1040, 1000, 600, 1280, 800}, // a zoom of its own ignores the console
    };
    for (const Case &c : cases) {
        int width, height;
        window_zoom_size(c.zoom, 80, c.rows, c.work_width, c.work_height, c.console_width, c.console_height,
                         &width, &height);
        EXPECT_EQ(width, c.width) << "zoom " << c.zoom;
        EXPECT_EQ(height, c.height) << "zoom " << c.zoom;
    }
}

TEST(WindowRules, BitmapSnapsToWholeMultiplesThatFillNinetyTwoPercent) {
    struct Case {
        int client_width, client_height;
        WindowRect expected;
    } cases[] = {
        {640, 400, {0, 0, 640, 400}},
        {1347, 842, {33, 21, 1280, 800}},  // fitted 1347 wide: 2x is 95% of it
        {1400, 875, {0, 0, 1400, 875}},    // fitted 1400 wide: 2x is 91%, so it stretches
        {1920, 1080, {96, 0, 1728, 1080}}, // wider than the bitmap's shape: the height decides
        {500, 300, {10, 0, 480, 300}},     // below 1x: shrunk, bars left and right
    };
    for (const Case &c : cases) {
        WindowRect r = window_fit(640, 400, c.client_width, c.client_height);
        EXPECT_EQ(r.x, c.expected.x) << c.client_width;
        EXPECT_EQ(r.y, c.expected.y) << c.client_width;
        EXPECT_EQ(r.width, c.expected.width) << c.client_width;
        EXPECT_EQ(r.height, c.expected.height) << c.client_width;
    }
    EXPECT_EQ(window_fit(640, 400, 0, 0).width, 0);
}

TEST(WindowRules, FullScreenCellsFillTheMonitor) {
    struct Case {
        int monitor_width, monitor_height, rows, cell_width, cell_height;
    } cases[] = {
        {1920, 1080, 25, 21, 43}, {1920, 1080, 26, 20, 41}, {1280, 1024, 26, 16, 39},
        {3840, 2160, 25, 43, 86}, {800, 600, 25, 10, 24},   {640, 200, 25, 8, 16}, // never below 8 x 16
    };
    for (const Case &c : cases) {
        int w, h;
        window_fullscreen_cells(c.monitor_width, c.monitor_height, 80, c.rows, &w, &h);
        EXPECT_EQ(w, c.cell_width) << c.monitor_width << "x" << c.monitor_height;
        EXPECT_EQ(h, c.cell_height) << c.monitor_width << "x" << c.monitor_height;
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
        {{KEY_TAB, 1, 0, 0, 0}, KEY_SHIFT_TAB},         {{KEY_TAB, 1, 0, 1, 0}, kNone},
        {{'q', 1, 0, 1, 0}, key_alt('q')},              // Alt-Shift-Q is Alt-Q
        {{KEY_ENTER, 0, 0, 1, 0}, KEY_ALT_ENTER},       {{KEY_ENTER, 0, 0, 1, 1}, kNone}, // held: once
        {{'.', 0, 0, 1, 0}, kNone},                     {{KEY_ESC, 0, 0, 0, 0}, KEY_ESC},
        {{'c', 0, 1, 0, 0}, 3},                         {{'2', 0, 1, 0, 0}, KEY_CTRL_2},
        {{'a', 0, 0, 0, 0}, kNone}, // typed characters come as text
    };
    // clang-format on
    for (const Case &c : cases) {
        uint32_t code = kNone;
        window_key_code(c.key, &code);
        EXPECT_EQ(code, c.code) << std::hex << c.key.key;
    }
    EXPECT_TRUE(window_text_code('@', 0, 0)); // what AltGr types
    EXPECT_TRUE(window_text_code(0x1F600, 0, 0));
    EXPECT_FALSE(window_text_code('a', 1, 0)); // came as Alt-A
    EXPECT_FALSE(window_text_code(0xDC00, 0, 0));
}

} // namespace
