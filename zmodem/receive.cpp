#include "zmodem/receive.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

#include "base/clock.h"
#include "base/text.h"
#include "net/telnet.h"
#include "zmodem/download_file.h"
#include "zmodem/framing.h"

enum {
    HEADER_MS = 10000,
    HEADER_RETRIES = 10,  // silent header waits answered before the transfer times out
    NOISE_RETRIES = 1024, // header reads that found only noise (8 KiB each) in a row
    PACKET_MAX = 8200,
    CLOSING_O_MS = 500,
    WRITE_BUFFER = 65536,
};
// Positions travel in 32 bits and sizes are kept signed: nothing of 2 GiB or more is taken.
static const int64_t kFileMax = 0x7FFFFFFF;

enum Outcome { GO_ON, DONE_OK, DONE_FAILED };

static struct {
    TransferStatus *status;
    const char *dir;
    int fd; // the file being received, -1 for none
    uint32_t position;
    char name[DOWNLOAD_NAME_MAX + 1];
    uint8_t packet[PACKET_MAX + 1];
    uint8_t pending[WRITE_BUFFER]; // data not yet written to the file
    int pending_count;
} r;

static void draw() {
    g_transfer_hooks.draw(r.status);
}

static void send_header(int type, uint32_t value) {
    zmodem_send_hex_header(type, value);
    zmodem_flush();
}

static void send_rinit() {
    // No buffer size: the sender may stream without pause.
    send_header(ZRINIT, zmodem_flags(CANFDX | CANOVIO | CANFC32));
}

static int write_pending() {
    int done = 0;
    while (done < r.pending_count) {
        ssize_t n = write(r.fd, r.pending + done, (size_t)(r.pending_count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        done += (int)n;
    }
    r.pending_count = 0;
    return 1;
}

static int write_data(const uint8_t *data, int length) {
    if (r.pending_count + length > WRITE_BUFFER && !write_pending()) return 0;
    memcpy(r.pending + r.pending_count, data, (size_t)length);
    r.pending_count += length;
    return 1;
}

// 1 when everything written reached the file.
static int close_file() {
    if (r.fd < 0) return 1;
    int ok = write_pending();
    if (close(r.fd) != 0) ok = 0;
    r.fd = -1;
    r.pending_count = 0;
    return ok;
}

// Ends without a word to the sender (it cancelled or is gone).
static Outcome end_quietly(const char *text) {
    close_file();
    transfer_end(r.status, text, 0);
    return DONE_FAILED;
}

// The status keeps its text; the sender gets the abort sequence.
static Outcome abort_with(const char *text) {
    close_file();
    transfer_end(r.status, text, 1);
    return DONE_FAILED;
}

static Outcome abort_transfer() {
    return abort_with(nullptr);
}

static Outcome write_failed() {
    transfer_set_text(r.status, "Cannot write %s", r.name);
    return abort_transfer();
}

// The results of a read that end the transfer; GO_ON for the others.
static Outcome read_ended(int result) {
    if (result == ZM_CANCELLED) return end_quietly("Cancelled by sender");
    if (result == ZM_GONE) return end_quietly("Connection lost");
    if (result == ZM_ESC) return abort_with("Aborted by user");
    return GO_ON;
}

static Outcome check_abort() {
    return g_transfer_hooks.abort_requested() ? abort_with("Aborted by user") : GO_ON;
}

// The size field of a ZFILE: the decimal number at the start of what follows the name, -1 when
// nothing does; numbers beyond kFileMax stay just above it.
static int64_t offered_size(const uint8_t *info, int length) {
    if (length < 1) return -1;
    int i = 0;
    while (i < length && info[i] == ' ') i++;
    if (i == length || info[i] < '0' || info[i] > '9') return -1;
    int64_t size = 0;
    for (; i < length && info[i] >= '0' && info[i] <= '9'; i++) {
        size = size * 10 + (info[i] - '0');
        if (size > kFileMax) return kFileMax + 1;
    }
    return size;
}

static Outcome on_file() {
    int length;
    int c = zmodem_read_subpacket(r.packet, PACKET_MAX - 1, &length, g_zmodem_link.last_header_zbin32);
    if (c < 0) {
        if (read_ended(c) != GO_ON) return DONE_FAILED;
        r.status->errors++;
        send_rinit();
        return GO_ON;
    }
    r.packet[length] = 0;
    const char *offered = (const char *)r.packet;
    int name_length = (int)strlen(offered);
    int64_t size = offered_size(r.packet + name_length + 1, length - name_length - 1);
    char clean[DOWNLOAD_NAME_MAX + 1];
    download_clean_name(offered, clean);
    close_file(); // an earlier file still open stays as far as it came
    if (size > kFileMax) {
        transfer_set_skipped(r.status, "File too large: %s", clean);
        draw();
        send_header(ZSKIP, 0);
        return GO_ON;
    }
    char path[DOWNLOAD_PATH_SIZE];
    r.fd = download_create(r.dir, clean, path, sizeof path, r.name);
    if (r.fd < 0) {
        transfer_set_skipped(r.status, "Cannot create %s", clean);
        draw();
        send_header(ZSKIP, 0);
        return GO_ON;
    }
    TransferStatus *s = r.status;
    text_copy(s->file_name, r.name, sizeof s->file_name);
    s->size = (int32_t)size;
    s->position = s->start_position = 0;
    s->start_ms = clock_ms();
    transfer_set_text(s, "Receiving");
    draw();
    r.position = 0;
    send_header(ZRPOS, 0);
    return GO_ON;
}

static Outcome on_data(uint32_t value) {
    if (r.fd < 0) {
        send_rinit();
        return GO_ON;
    }
    if (value != r.position) {
        r.status->errors++;
        send_header(ZRPOS, r.position);
        return GO_ON;
    }
    int crc32 = g_zmodem_link.last_header_zbin32;
    for (;;) {
        int length;
        int c = zmodem_read_subpacket(r.packet, PACKET_MAX, &length, crc32);
        if (c < 0) {
            if (read_ended(c) != GO_ON) return DONE_FAILED;
            r.status->errors++;
            send_header(ZRPOS, r.position);
            return GO_ON;
        }
        if ((int64_t)r.position + length > kFileMax) {
            transfer_set_text(r.status, "File too large: %s", r.name);
            return abort_transfer();
        }
        if (!write_data(r.packet, length)) return write_failed();
        r.position += (uint32_t)length;
        r.status->position = (int32_t)r.position;
        draw();
        if (check_abort() != GO_ON) return DONE_FAILED;
        switch (c - ZM_END) {
        case ZCRCG: break;
        case ZCRCQ: send_header(ZACK, r.position); break;
        case ZCRCW: send_header(ZACK, r.position); return GO_ON;
        default: return GO_ON; // ZCRCE
        }
    }
}

static Outcome on_finish() {
    send_header(ZFIN, 0);
    // The sender's closing "OO"; anything else is left for the terminal.
    for (int i = 0; i < 2; i++) {
        int b = zmodem_read_byte(CLOSING_O_MS);
        if (b == 'O') continue;
        if (b >= 0) zmodem_unread_byte((uint8_t)b);
        break;
    }
    transfer_set_text(r.status, "Transfer complete, %d file(s)", (int)r.status->files);
    close_file();
    draw();
    return r.status->files >= 1 ? DONE_OK : DONE_FAILED;
}

static Outcome dispatch(int type, uint32_t value) {
    switch (type) {
    case ZRQINIT: send_rinit(); return GO_ON;
    case ZSINIT: {
        int length;
        int c = zmodem_read_subpacket(r.packet, PACKET_MAX, &length, g_zmodem_link.last_header_zbin32);
        if (c < 0) return read_ended(c);
        send_header(ZACK, 0); // the attention string is not kept
        return GO_ON;
    }
    case ZFILE: return on_file();
    case ZDATA: return on_data(value);
    case ZEOF:
        if (r.fd < 0 || value != r.position) return GO_ON; // the next header decides
        if (!close_file()) return write_failed();
        r.status->files++;
        transfer_set_text(r.status, "File received");
        draw();
        send_rinit();
        return GO_ON;
    case ZFIN: return on_finish();
    case ZFREECNT: send_header(ZACK, 0x7FFFFFFF); return GO_ON;
    case ZCOMMAND: {
        int length;
        int c = zmodem_read_subpacket(r.packet, PACKET_MAX, &length, g_zmodem_link.last_header_zbin32);
        if (c < 0) return read_ended(c);
        send_header(ZCOMPL, 0); // commands are never run
        return GO_ON;
    }
    default: return GO_ON;
    }
}

static Outcome run() {
    send_rinit();
    if (check_abort() != GO_ON) return DONE_FAILED;
    int silences = 0, noises = 0;
    for (;;) {
        uint32_t value = 0;
        int type = zmodem_read_header(&value, HEADER_MS);
        if (type < 0) {
            if (read_ended(type) != GO_ON) return DONE_FAILED;
            r.status->errors++;
            // Data the sender streamed before it saw a ZRPOS keeps arriving as noise for a while;
            // on a fast line that is far more than ten header reads' worth.
            if (type == ZM_TIMEOUT ? ++silences > HEADER_RETRIES : ++noises > NOISE_RETRIES)
                return abort_with("Timeout");
            if (r.fd >= 0)
                send_header(ZRPOS, r.position);
            else
                send_rinit();
            draw();
        } else {
            silences = noises = 0;
            Outcome outcome = dispatch(type, value);
            if (outcome != GO_ON) return outcome;
        }
        if (check_abort() != GO_ON) return DONE_FAILED;
    }
}

bool zmodem_receive(const char *dir, TransferStatus *status) {
    zmodem_link_start();
    telnet_request_binary();
    memset(status, 0, sizeof *status);
    r.status = status;
    r.dir = dir;
    r.fd = -1;
    r.position = 0;
    r.pending_count = 0;
    status->start_ms = clock_ms();
    transfer_set_text(status, "Waiting for sender");
    draw();
    Outcome outcome = run();
    close_file();
    zmodem_link_finish();
    return outcome == DONE_OK;
}
