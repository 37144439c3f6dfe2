#include "app/calls.h"

#include "app/apply_emulation.h"
#include "app/capture_log.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/transfers.h"
#include "zmodem/autostart.h"
#include "display/console.h"
#include "display/present.h"
#include "base/clock.h"
#include "input/event_wait.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "net/transport.h"
#include "settings/settings.h"
#include "base/emulation.h"
#include "term/terminal.h"
#include "base/text.h"
#include "ui/toolkit.h"

static const char kTitle[] = "Pelorin Next Generation";

static unsigned seconds_since(uint32_t start) {
    return (clock_ms() - start) / 1000u;
}

static void fail_call(const char *host, int port, uint32_t start, const char *reason) {
    transport_close();
    ui_connect_result(host, port, seconds_since(start), reason);
}

// The reason for a connect that failed after it was under way.
static const char *connect_failure_reason() {
    const char *error = transport_last_error();
    if (text_find(error, "refused")) return "Connection refused";
    return *error ? error : "Unable to connect";
}

// 1 connected, 0 failed or cancelled (the socket is closed then).
static int wait_for_connect(const char *host, int port, uint32_t start) {
    unsigned shown = 0;
    for (;;) {
        int polled = transport_poll_connect(CALL_POLL_MS);
        if (polled > 0) return 1;
        if (polled < 0) {
            fail_call(host, port, start, connect_failure_reason());
            return 0;
        }
        unsigned seconds = seconds_since(start);
        if (seconds != shown) {
            shown = seconds;
            ui_connect_progress(host, port, seconds, "connecting");
        }
        uint32_t key;
        if (event_wait_for_key(0, &key) == EVENT_KEY && key == KEY_ESC) {
            transport_close();
            compose_and_present();
            return 0;
        }
        if (seconds >= (unsigned)g_settings.connect_timeout) {
            fail_call(host, port, start, "Connection timed out");
            return 0;
        }
    }
}

int call_place(const char *entry_name, const char *host, int port, int emulation) {
    call_hang_up();
    if (emulation >= 0 && emulation < EMU_COUNT) g_connection.emulation = emulation;
    apply_emulation();
    compose_frame();

    uint32_t start = clock_ms();
    ui_connect_progress(host, port, 0, "resolving");
    char error[256];
    if (!transport_open(host, port, error, sizeof error)) {
        const char *reason =
            text_ncasecmp(error, "Host not found", 14) == 0 ? "Unable to resolve hostname" : error;
        ui_connect_result(host, port, seconds_since(start), reason);
        return 0;
    }
    if (!wait_for_connect(host, port, start)) return 0;

    ConnectionState &c = g_connection;
    c.connected = 1;
    c.connect_ms = clock_ms();
    text_copy(c.entry_name, entry_name, sizeof c.entry_name);
    text_copy(c.host, host, sizeof c.host);
    c.port = port;
    Terminal *t = &g_terminal;
    term_reset_call(t);
    t->reply_sink = call_send_reply;
    transfer_autostart_reset();
    telnet_reset(c.emulation, t->columns, t->rows, g_settings.telnet_binary);
    char title[300];
    text_format(title, sizeof title, "%s - %s", "Pelorin NG", *c.entry_name ? c.entry_name : c.host);
    app_set_window_title(title);
    c.last_receive_ms = clock_ms();
    compose_and_present();
    return 1;
}

void call_hang_up() {
    if (transport_is_open()) transport_close();
    if (!g_connection.connected) return;
    g_connection.connected = 0;
    app_set_window_title(kTitle);
}

void call_connection_lost() {
    call_hang_up();
    compose_frame();
    term_take_bells(&g_terminal); // the bells that came before the end are not rung
    ui_message("Disconnected", "The connection was closed.");
    compose_and_present();
}

void call_send_reply(const uint8_t *bytes, int length) {
    if (g_connection.connected) telnet_send_keys(bytes, length);
}

// Hands a transfer the host started to the transfer starters. Data before the start sequence is
// shown, data after it is read again by the transfer.
static void start_host_transfer(const uint8_t *bytes, int length, int start, int upload) {
    if (start > 0) term_feed(&g_terminal, bytes, start);
    int after = start + AUTOSTART_LENGTH;
    if (after < length) telnet_push_back(bytes + after, length - after);
    compose_and_present();
    if (upload)
        transfer_upload(1);
    else
        transfer_download();
}

void call_receive(uint32_t now_ms) {
    static uint8_t buffer[CALL_READ_BLOCK];
    Terminal *t = &g_terminal;
    int total = 0;
    while (g_connection.connected && total < CALL_TURN_BYTES) {
        int n = telnet_read(buffer, sizeof buffer);
        if (n < 0) {
            call_connection_lost();
            return;
        }
        if (n == 0) break;
        total += n;
        g_connection.last_receive_ms = now_ms;
        int start, upload;
        if (g_settings.zmodem_autostart && !emulation_is_petscii(t->emulation) &&
            transfer_autostart_scan(buffer, n, &start, &upload)) {
            // The log gets the block up to the end of the start sequence; what follows is the
            // transfer's, and whatever it leaves comes back through here once more.
            capture_write(buffer, start + AUTOSTART_LENGTH);
            start_host_transfer(buffer, n, start, upload);
            return; // the transfer owned the connection; the bell waits for the next turn
        }
        capture_write(buffer, n);
        term_feed(t, buffer, n);
    }
    if (term_take_bells(t)) console_beep(); // once, however many bells came
    if (g_connection.connected && !transport_is_open()) call_connection_lost();
}

void call_resolve_stalled(uint32_t now_ms) {
    if (!g_connection.connected || g_terminal.utf8_held == 0) return;
    if (now_ms - g_connection.last_receive_ms >= (uint32_t)CALL_STALL_MS) term_resolve_pending(&g_terminal);
}
