// The Zmodem progress window, its redraw limit, the abort prompt and the upload list.
#include <cstring>

#include "app/transfer_window.h"
#include "app/transfers.h"
#include "base/text.h"
#include "input/keys.h"
#include "tests/app/app_fixture.h"
#include "ui/toolkit.h"

namespace {

using TransferWindowTest = AppTest;

TransferStatus status_of(int32_t size, int32_t position, const char *text) {
    TransferStatus s{};
    text_copy(s.file_name, "file.zip", sizeof s.file_name);
    s.size = size;
    s.position = position;
    s.start_ms = clock_ms();
    text_copy(s.text, text, sizeof s.text);
    return s;
}

TEST_F(TransferWindowTest, ContentsAndProgressBar) {
    const struct {
        int32_t position, size;
        int cells;
    } bars[] = {{500, 1000, 27}, {0, 1000, 0}, {1000, 1000, 54}, {3000, 1000, 54}, {7, -1, 0}, {7, 0, 0}};
    for (const auto &b : bars) EXPECT_EQ(transfer_bar_cells(b.position, b.size), b.cells) << b.position;

    TransferStatus s = status_of(1000, 500, "Receiving");
    transfer_window_reset();
    transfer_window_draw(&s);
    int top = ui_centre_row(TRANSFER_WINDOW_HEIGHT);
    EXPECT_NE(frame_text(top, 10, 60).find("Zmodem Download"), std::string::npos);
    EXPECT_EQ(frame_text(top + 2, 13, 18), "File     : file.zi");
    EXPECT_EQ(frame_text(top + 3, 13, 22), "Size     : 1000 bytes ");
    std::string bar;
    for (int i = 0; i < 54; i++) bar += i < 27 ? "█" : "░";
    EXPECT_EQ(frame_text(top + 7, 13, 54), bar);
    EXPECT_EQ(frame_text(top + 8, 13, 9), "Receiving");

    // Unknown size, an upload, and the rate after two seconds.
    s = status_of(-1, 4000, "Sending");
    s.upload = 1;
    s.start_ms = clock_ms() - 2500;
    transfer_window_reset();
    transfer_window_draw(&s);
    EXPECT_NE(frame_text(top, 10, 60).find("Zmodem Upload"), std::string::npos);
    EXPECT_EQ(frame_text(top + 3, 13, 18), "Size     : unknown");
    EXPECT_EQ(frame_text(top + 4, 13, 34), "Transfer : 4000 bytes   2000 cps  ");
    EXPECT_EQ(frame_text(top + 7, 13, 2), "░░");
    EXPECT_EQ(transfer_rate(&s, s.start_ms + 999), 0);
}

TEST_F(TransferWindowTest, RedrawnAtMostEvery150MsUnlessTheTextChanges) {
    TransferStatus s = status_of(1000, 0, "Receiving");
    transfer_window_reset();
    transfer_window_draw(&s);
    int presents = g_script.presents;
    s.position = 100;
    transfer_window_draw(&s); // same text, too soon
    clock_fake_advance(149);
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents);
    text_copy(s.text, "File received", sizeof s.text);
    transfer_window_draw(&s); // a new text at once
    EXPECT_EQ(g_script.presents, presents + 1);
    clock_fake_advance(150);
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents + 2);
    transfer_window_reset();
    transfer_window_draw(&s);
    EXPECT_EQ(g_script.presents, presents + 3);
}

TEST_F(TransferWindowTest, AbortPromptAsksOnlyOnEsc) {
    const struct {
        std::deque<uint32_t> keys;
        int result;
        size_t keys_left;
    } cases[] = {
        {{}, 0, 0},
        {{'x', KEY_ESC}, 0, 1}, // another key is consumed and does nothing
        {{KEY_ESC, 'n'}, 0, 0},
        {{KEY_ESC, KEY_ESC}, 0, 0},
        {{KEY_ESC, 'y'}, 1, 0},
        {{KEY_ESC, KEY_ENTER}, 1, 0},
    };
    for (const auto &c : cases) {
        g_script.keys = c.keys;
        g_transfer_window.forced = 0;
        EXPECT_EQ(transfer_abort_check(), c.result);
        EXPECT_EQ(g_script.keys.size(), c.keys_left);
        // After a question the window is drawn again over it.
        EXPECT_EQ(g_transfer_window.forced, !c.keys.empty() && c.keys.front() == KEY_ESC);
    }
    EXPECT_TRUE(shown("Abort the file transfer?"));
}

TEST(TransferUploadList, SplitAtSemicolons) {
    char paths[ZMODEM_SEND_FILES_MAX][TRANSFER_NAME_SIZE];
    EXPECT_EQ(transfer_split_list(" a.zip ;; \tb c.txt;", paths), 2);
    EXPECT_STREQ(paths[0], "a.zip");
    EXPECT_STREQ(paths[1], "b c.txt");
    EXPECT_EQ(transfer_split_list("1;2;3;4;5;6;7;8;9", paths), 8);
    EXPECT_STREQ(paths[7], "8");
    EXPECT_EQ(transfer_split_list(" ; ;", paths), 0);
    std::string long_name(300, 'n');
    EXPECT_EQ(transfer_split_list((long_name + ";x").c_str(), paths), 2);
    EXPECT_EQ(strlen(paths[0]), 259u);
    EXPECT_STREQ(paths[1], "x");
}

} // namespace
