#include <gtest/gtest.h>

#include <tuple>

#include "display/window.h"
#include "input/keys.h"

namespace {

// A zoom takes the largest factor from it down that fits; full screen takes cells that fill the
// monitor, never below 8 x 16.
TEST(WindowRules, ClientSizeForEachZoomAndCellsInFullScreen) {
    const int cases[][7] = {
        // zoom, work area, console size, client size
        {4, 1920, 1200, 0, 0, 1920, 1200},     // 3x fits, 4x does not
        {0, 1920, 1040, 1000, 600, 1000, 600}, // the console's size known
        {3, 1920, 1040, 1000, 600, 1280, 800}, // a zoom of its own ignores the console
    };
    int width, height;
    for (const auto &c : cases) {
        window_zoom_size(c[0], 80, 25, c[1], c[2], c[3], c[4], &width, &height);
        EXPECT_EQ(std::pair(width, height), std::pair(c[5], c[6])) << "zoom " << c[0];
    }
    window_fullscreen_cells(1920, 1080, 80, 25, &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(21, 43));
    window_fullscreen_cells(640, 200, 80, 25, &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(8, 16));
}

TEST(WindowRules, BitmapSnapsToWholeMultiplesThatFillNinetyTwoPercent) {
    const int cases[][6] = {
        // client size, bitmap's place and size
        {1347, 842, 33, 21, 1280, 800},  // fitted 1347 wide: 2x is 95% of it
        {1400, 875, 0, 0, 1400, 875},    // fitted 1400 wide: 2x is 91%, so it stretches
        {1920, 1080, 96, 0, 1728, 1080}, // wider than the bitmap's shape: the height decides
    };
    for (const auto &c : cases) {
        WindowRect r = window_fit(640, 400, c[0], c[1]);
        EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), std::tuple(c[2], c[3], c[4], c[5])) << c[0];
    }
}

TEST(WindowRules, KeysPressedInTheWindowBecomeTheProgramsKeyCodes) {
    const uint32_t kNone = 0xFFFFFFFF;
    const std::pair<WindowKey, uint32_t> cases[] = {
        {{KEY_LEFT, 0, 1, 0, 0}, KEY_CTRL | KEY_LEFT},
        {{'c', 0, 1, 0, 0}, 3},                        // Ctrl-C types ETX
        {{key_function(4), 0, 0, 1, 0}, key_alt('x')}, // Alt-F4 asks to close
        {{KEY_TAB, 1, 0, 0, 0}, KEY_SHIFT_TAB},
        {{KEY_ENTER, 0, 0, 1, 1}, kNone}, // held Alt-Enter switches once
        {{'a', 0, 0, 0, 0}, kNone},       // typed characters come as text
    };
    for (const auto &[key, expected] : cases) {
        uint32_t code = kNone;
        window_key_code(key, &code);
        EXPECT_EQ(code, expected) << std::hex << key.key;
    }
    EXPECT_TRUE(window_text_code('@', 0, 0));  // what AltGr types
    EXPECT_FALSE(window_text_code('a', 1, 0)); // came as Alt-A
}

} // namespace
