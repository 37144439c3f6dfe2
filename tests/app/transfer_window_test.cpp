// The Zmodem progress window, its redraw limit, the abort prompt and the upload list.
#include "app/transfer_window.h"
#include "app/transfers.h"
#include "base/text.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"

using TransferWindowTest = AppTest;

static TransferStatus status_of(int32_t size, int32_t position, const char *text) {
    TransferStatus s{};
    s.size = size;
    s.position = position;
    s.start_ms = clock_ms();
    text_copy(s.text, text, sizeof s.text);
    return s;
}

TEST_F(TransferWindowTest, ContentsAndRedrawLimit) {
    EXPECT_EQ(transfer_bar_cells(3000, 1000), 54) << "a file that grew fills the bar, no more";
    EXPECT_EQ(transfer_bar_cells(7, 0), 0) << "an empty file";
    int top = ui_centre_row(TRANSFER_WINDOW_HEIGHT);
    TransferStatus s = status_of(1000, 500, "Receiving");
    transfer_window_reset();
    transfer_window_draw(&s);
    EXPECT_EQ(frame_text(top + 3, 13, 22), "Size     : 1000 bytes ");
    EXPECT_EQ(frame_text(top + 7, 13, 29), "███████████████████████████░░"); // half full

    // An unchanged state line is drawn again after 150 ms, a new one at once.
    int presents = g_script.presents;
    clock_fake_advance(149);
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents);
    clock_fake_advance(1);
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents + 1);
    s = status_of(-1, 4000, "Sending"); // unknown size, an upload, the rate after 2.5 seconds
    s.upload = 1;
    s.start_ms -= 2500;
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents + 2);
    EXPECT_NE(frame_text(top, 10, 60).find("Zmodem Upload"), std::string::npos);
    EXPECT_EQ(frame_text(top + 3, 13, 18), "Size     : unknown");
    EXPECT_EQ(frame_text(top + 4, 13, 34), "Transfer : 4000 bytes   2000 cps  ");
}

TEST_F(TransferWindowTest, AbortPromptAsksOnlyOnEsc) {
    const struct {
        std::deque<uint32_t> keys;
        int result, keys_left; // another key is consumed and does nothing
    } cases[] = {{{}, 0, 0},
                 {{'x', KEY_ESC}, 0, 1},
                 {{KEY_ESC, 'n'}, 0, 0},
                 {{KEY_ESC, 'y'}, 1, 0},
                 {{KEY_ESC, KEY_ENTER}, 1, 0}};
    for (const auto &c : cases) {
        g_script.keys = c.keys;
        EXPECT_EQ(transfer_abort_check(), c.result);
        EXPECT_EQ((int)g_script.keys.size(), c.keys_left);
    }
    EXPECT_TRUE(shown("Abort the file transfer?"));
}

TEST(TransferUploadList, SplitAtSemicolonsUpToEight) {
    char paths[ZMODEM_SEND_FILES_MAX][TRANSFER_NAME_SIZE];
    EXPECT_EQ(transfer_split_list(" a.zip ;; \tb c.txt;", paths), 2);
    EXPECT_STREQ(paths[0], "a.zip");
    EXPECT_STREQ(paths[1], "b c.txt");
    EXPECT_EQ(transfer_split_list("1;2;3;4;5;6;7;8;9", paths), 8);
    EXPECT_STREQ(paths[7], "8");
}
