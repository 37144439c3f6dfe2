// The table-driven screen test; the tables are instantiated by topic in the other files.
#include "tests/term/screen_text.h"

TEST_P(ScreenTest, LeavesScreenAndCursor) {
    const ScreenCase &c = GetParam();
    TestScreen s(c.emulation, c.rows);
    screen_feed(s.t, c.input);
    if (c.text) {
        EXPECT_EQ(screen_text(s.t), c.text);
    }
    EXPECT_EQ(s->cursor_row, c.row);
    EXPECT_EQ(s->cursor_column, c.column);
}
