// The detector of a transfer the host starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/zmodem/zmodem_peer.h"
#include "zmodem/autostart.h"

TEST(AutoStart, FindsStartsOnlyWhereTheyAre) {
    const struct {
        const char *name;
        std::vector<std::string> blocks; // fed in turn
        int block, index, direction;     // where the detection ends; block -1 for none
    } cases[] = {
        {"text, then ZRQINIT", {"Hi!\r\n**^B00000000000000\r\n"}, 0, 11, AUTOSTART_DOWNLOAD},
        {"ZRINIT", {"**^B0100000023be50"}, 0, 6, AUTOSTART_UPLOAD},
        {"a late asterisk starts over", {"**^*^B01", "**^B*^B01"}, -1, 0, 0},
        {"split over two blocks", {"xx**^", "B00"}, 1, 3, AUTOSTART_DOWNLOAD},
        {"another frame type, then a start", {"**^B09 **^B00"}, 0, 13, AUTOSTART_DOWNLOAD},
        {"plain text", {"* * ** B0 **B00"}, -1, 0, 0},
    };
    for (const auto &c : cases) {
        AutoStartDetector d;
        autostart_reset(&d);
        int found_block = -1, index = 0, direction = -1;
        for (size_t b = 0; b < c.blocks.size() && found_block < 0; b++) {
            std::string block = z(c.blocks[b]);
            index = autostart_scan(&d, (const uint8_t *)block.data(), (int)block.size(), &direction);
            if (index) found_block = (int)b;
        }
        EXPECT_EQ(found_block, c.block) << c.name;
        if (c.block >= 0) {
            EXPECT_EQ(index, c.index) << c.name;
            EXPECT_EQ(direction, c.direction) << c.name;
        }
    }
}
