#include "app/transfers.h"

#include <cstring>

#include "app/compose.h"
#include "app/program_dir.h"
#include "app/transfer_window.h"
#include "base/clock.h"
#include "base/text.h"
#include "display/present.h"
#include "net/telnet.h"
#include "settings/settings.h"
#include "ui/toolkit.h"
#include "zmodem/autostart.h"
#include "zmodem/download_file.h"
#include "zmodem/receive.h"

enum { FINAL_PAUSE_MS = 300, CANCEL_BYTES = 10 };

static AutoStartDetector g_autostart;
static char g_upload_list[UPLOAD_LIST_SIZE]; // the last list typed, offered again next time

void transfer_autostart_reset() {
    autostart_reset(&g_autostart);
}

int transfer_autostart_scan(const uint8_t *bytes, int length, int *start, int *upload) {
    int direction = AUTOSTART_DOWNLOAD;
    int end = autostart_scan(&g_autostart, bytes, length, &direction);
    if (end == 0) return 0;
    *start = end - AUTOSTART_LENGTH;
    *upload = direction == AUTOSTART_UPLOAD;
    return 1;
}

int transfer_split_list(const char *text, char paths[ZMODEM_SEND_FILES_MAX][TRANSFER_NAME_SIZE]) {
    int count = 0;
    while (*text && count < ZMODEM_SEND_FILES_MAX) {
        const char *end = strchr(text, ';');
        int length = end ? (int)(end - text) : (int)strlen(text);
        char piece[TRANSFER_NAME_SIZE];
        text_copy(piece, text, length + 1 < (int)sizeof piece ? length + 1 : (int)sizeof piece);
        text_trim(piece);
        if (*piece) text_copy(paths[count++], piece, TRANSFER_NAME_SIZE);
        if (!end) break;
        text = end + 1;
    }
    return count;
}

// The window once more with the final state, a moment to read it, then the message box.
static void finish(const TransferStatus *status, const char *title, const char *text) {
    transfer_window_reset();
    transfer_window_draw(status);
    clock_sleep_ms(FINAL_PAUSE_MS);
    compose_frame();
    ui_message(title, text);
    transfer_autostart_reset();
    compose_and_present();
}

void transfer_download() {
    char dir[DOWNLOAD_DIR_SIZE];
    download_dir_choose(g_settings.download_path, g_paths.dir, dir, sizeof dir);
    compose_frame();
    transfer_window_reset();
    TransferStatus status;
    zmodem_receive(dir, &status);
    char text[2 * (int)TRANSFER_TEXT_SIZE + (int)DOWNLOAD_DIR_SIZE + 32];
    text_format(text, sizeof text, "%s%s%s\n\nFiles are saved in %s", status.text,
                *status.skipped ? "\n" : "", status.skipped, dir);
    finish(&status, "Zmodem Download", text);
}

void transfer_upload(int remote_ready) {
    compose_frame();
    if (!*g_upload_list) text_copy(g_upload_list, g_settings.upload_path, sizeof g_upload_list);
    char input[UPLOAD_INPUT_MAX + 1];
    text_copy(input, g_upload_list, sizeof input);
    const char *title = remote_ready ? "Remote is ready to receive" : "Zmodem Upload";
    if (!ui_input(title, "File(s) to send (separate with ;):", input, UPLOAD_INPUT_MAX)) {
        if (remote_ready) { // the host waits for a sender: tell it none is coming
            uint8_t cancel[CANCEL_BYTES];
            memset(cancel, 0x18, sizeof cancel);
            telnet_queue_data(cancel, sizeof cancel);
            telnet_flush();
        }
        compose_and_present();
        return;
    }
    text_copy(g_upload_list, input, sizeof g_upload_list);
    char paths[ZMODEM_SEND_FILES_MAX][TRANSFER_NAME_SIZE];
    int count = transfer_split_list(input, paths);
    compose_frame();
    if (count == 0) {
        present_frame();
        return;
    }
    const char *list[ZMODEM_SEND_FILES_MAX];
    for (int i = 0; i < count; i++) list[i] = paths[i];
    transfer_window_reset();
    TransferStatus status;
    zmodem_send(list, count, &status);
    char text[2 * TRANSFER_TEXT_SIZE + 2];
    text_format(text, sizeof text, "%s%s%s", status.text, *status.skipped ? "\n" : "", status.skipped);
    finish(&status, "Zmodem Upload", text);
}
