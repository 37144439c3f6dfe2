#include "zmodem/send.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/clock.h"
#include "base/text.h"
#include "net/telnet.h"
#include "zmodem/framing.h"

enum {
    RQINIT_TRIES = 11,
    RQINIT_MS = 5000,
    ZFILE_TRIES = 11,
    ZFILE_MS = 10000,
    SUBPACKET = 1024,
    LOOK_MAX = 256, // bytes looked at between subpackets
    LOOK_HEADER_MS = 2000,
    ZEOF_MS = 10000,
    ZEOF_RETRIES = 5, // after the first ZEOF: at most seven go out
    ZFIN_TRIES = 5,
    ZFIN_MS = 5000,
    READ_BUFFER = 65536,
    ZFILE_INFO = 512,
    RESYNC_TRIES = 11,
    RESYNC_READS = 100000, // headers read past while waiting for one ZACK
};
static const int64_t kFileMax = 0x7FFFFFFF;

enum Outcome {
    GO_ON,
    NEXT_FILE,
    DONE_FAILED,
    AT_END,  // the end of the file went out
    GO_BACK, // the receiver asked for another position
};

static struct {
    TransferStatus *status;
    int crc32;
    int fd; // the file being sent, -1 for none
    int64_t size;
    const char *path; // as entered
    uint8_t info[ZFILE_INFO];
    int info_length;
    uint8_t buffer[READ_BUFFER]; // read ahead from the file
    int buffer_pos, buffer_count;
    int resync_failures; // going back that did not get the receiver going again
} s;

static void draw() {
    g_transfer_hooks.draw(s.status);
}

static void close_file() {
    if (s.fd >= 0) close(s.fd);
    s.fd = -1;
}

static Outcome end_quietly(const char *text) {
    close_file();
    transfer_end(s.status, text, 0);
    return DONE_FAILED;
}

// The status keeps its text; the receiver gets the abort sequence.
static Outcome abort_with(const char *text) {
    close_file();
    transfer_end(s.status, text, 1);
    return DONE_FAILED;
}

static Outcome abort_transfer() {
    return abort_with(nullptr);
}

static Outcome check_abort() {
    return g_transfer_hooks.abort_requested() ? abort_with("Aborted by user") : GO_ON;
}

static void seek_to(uint32_t position) {
    lseek(s.fd, (off_t)position, SEEK_SET);
    s.buffer_pos = s.buffer_count = 0;
}

// Up to want bytes of the file at *data: the count, 0 at its end, -1 when reading failed.
static int next_data(const uint8_t **data, int want) {
    if (s.buffer_pos == s.buffer_count) {
        ssize_t n;
        while ((n = read(s.fd, s.buffer, sizeof s.buffer)) < 0 && errno == EINTR) {
        }
        if (n <= 0) return n < 0 ? -1 : 0;
        s.buffer_pos = 0;
        s.buffer_count = (int)n;
    }
    int n = s.buffer_count - s.buffer_pos;
    if (n > want) n = want;
    *data = s.buffer + s.buffer_pos;
    s.buffer_pos += n;
    return n;
}

// The data of the next subpacket from position p: its length, 0 at the end (or when the file
// shrank), -1 after a read error, which aborts: a half-sent file must not look complete.
static int read_subpacket(uint32_t p, const uint8_t **data) {
    int64_t left = s.size - (int64_t)p;
    if (left <= 0) return 0;
    int n = next_data(data, left < SUBPACKET ? (int)left : SUBPACKET);
    if (n < 0) {
        transfer_set_text(s.status, "Cannot read %s", s.path);
        abort_transfer();
    }
    return n;
}

// Waits for the receiver's ZRINIT, sending ZRQINIT each time.
static Outcome wait_receiver() {
    for (int tries = 1;; tries++) {
        zmodem_send_hex_header(ZRQINIT, 0);
        zmodem_flush();
        uint32_t value;
        int type = zmodem_read_header(&value, RQINIT_MS);
        if (type == ZRINIT) {
            s.crc32 = (value >> 24 & CANFC32) != 0;
            return GO_ON;
        }
        if (type == ZM_CANCELLED || type == ZM_GONE) {
            transfer_set_text(s.status, "Cancelled");
            return DONE_FAILED;
        }
        if (type == ZM_ESC) return abort_with("Aborted by user");
        if (check_abort() != GO_ON) return DONE_FAILED;
        if (tries == RQINIT_TRIES) return abort_with("No response from receiver");
    }
}

// Opens the file and fills in the status and the ZFILE information; NEXT_FILE when it cannot go.
static Outcome open_file(const char *path, int left) {
    s.path = path;
    s.fd = open(path, O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (s.fd < 0 || fstat(s.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_file();
        transfer_set_skipped(s.status, "Cannot open %s", path);
        draw();
        return NEXT_FILE;
    }
    if (st.st_size > kFileMax) {
        close_file();
        transfer_set_skipped(s.status, "File too large: %s", path);
        draw();
        return NEXT_FILE;
    }
    s.size = st.st_size;
    s.buffer_pos = s.buffer_count = 0;
    TransferStatus *st_ = s.status;
    const char *name = transfer_base_name(path);
    text_copy(st_->file_name, name, sizeof st_->file_name);
    st_->size = (int32_t)s.size;
    st_->position = st_->start_position = 0;
    st_->start_ms = clock_ms();
    transfer_set_text(st_, "Sending");
    draw();
    // name NUL "size mtime mode serial files-left bytes-left" NUL
    int n = text_format((char *)s.info, ZFILE_INFO, "%s", name) + 1;
    n += text_format((char *)s.info + n, ZFILE_INFO - n, "%ld 0 100644 0 %d %ld", (long)s.size, left,
                     (long)s.size);
    s.info_length = n + 1 <= ZFILE_INFO ? n + 1 : ZFILE_INFO;
    return GO_ON;
}

// Offers the file until the receiver names a start position (*position) or skips it.
static Outcome offer_file(uint32_t *position) {
    int resend = 1;
    for (int tries = 1;; tries++) {
        if (resend) {
            zmodem_send_bin_header(ZFILE, 0, s.crc32);
            zmodem_send_subpacket(s.info, s.info_length, ZCRCW, s.crc32);
            zmodem_flush();
        }
        uint32_t value;
        int type = zmodem_read_header(&value, ZFILE_MS);
        // A receiver that announced itself and then answered ZRQINIT as well sends a second
        // ZRINIT; offering the file again would make it start the file twice.
        resend = type != ZRINIT;
        if (type == ZRPOS) {
            *position = value;
            return GO_ON;
        }
        if (type == ZSKIP) {
            close_file();
            return NEXT_FILE;
        }
        if (type == ZM_CANCELLED || type == ZM_GONE) return end_quietly("Cancelled");
        if (type == ZM_ESC) return abort_with("Aborted by user");
        if (tries == ZFILE_TRIES) return abort_with("No response to ZFILE");
    }
}

// Streams from *position to the end of the file: AT_END when the end was sent, GO_BACK with
// *position set when the receiver asked for a position again.
static Outcome stream_file(uint32_t *position) {
    uint32_t p = *position;
    seek_to(p);
    zmodem_send_bin_header(ZDATA, p, s.crc32);
    for (;;) {
        const uint8_t *data = nullptr;
        int n = read_subpacket(p, &data);
        if (n < 0) return DONE_FAILED;
        if (n == 0) { // at the end, or the file shrank
            zmodem_send_subpacket(nullptr, 0, ZCRCE, s.crc32);
            break;
        }
        p += (uint32_t)n;
        zmodem_send_subpacket(data, n, (int64_t)p < s.size ? ZCRCG : ZCRCE, s.crc32);
        s.status->position = (int32_t)p;
        if ((int64_t)p >= s.size) break;

        int look = zmodem_poll_incoming(LOOK_MAX);
        if (look == ZM_GONE) return end_quietly("Connection lost");
        if (look == 1) {
            zmodem_flush();
            uint32_t value;
            int type = zmodem_read_header(&value, LOOK_HEADER_MS);
            if (type == ZRPOS) {
                *position = value;
                s.status->errors++;
                return GO_BACK;
            }
            if (type == ZFERR || type == ZABORT || type == ZM_CANCELLED)
                return end_quietly("Cancelled by receiver");
        }
        if (check_abort() != GO_ON) return DONE_FAILED;
        draw();
    }
    *position = p;
    return AT_END;
}

// Going back to *position after a ZRPOS: one subpacket that asks for a ZACK, sent again until the
// receiver takes it. Data already on its way keeps the receiver asking for the same position for a
// while; those requests are not answered, so the line drains instead of filling up again. GO_ON
// when streaming can go on at *position, GO_BACK when another position was asked for.
static Outcome resync(uint32_t *position) {
    uint32_t p = *position;
    if ((int64_t)p >= s.size) return GO_ON; // nothing to send again but the end
    while (s.resync_failures < RESYNC_TRIES) {
        seek_to(p);
        zmodem_send_bin_header(ZDATA, p, s.crc32);
        const uint8_t *data = nullptr;
        int n = read_subpacket(p, &data);
        if (n < 0) return DONE_FAILED;
        if (n == 0) return GO_ON; // the file shrank
        zmodem_send_subpacket(data, n, ZCRCW, s.crc32);
        zmodem_flush();
        for (int reads = 0; reads < RESYNC_READS; reads++) {
            uint32_t value;
            int type = zmodem_read_header(&value, ZFILE_MS);
            if (type == ZACK && value == p + (uint32_t)n) {
                *position = value;
                s.status->position = (int32_t)value;
                s.resync_failures = 0;
                return GO_ON;
            }
            if (type == ZRPOS && value != p) {
                *position = value;
                s.status->errors++;
                s.resync_failures++;
                return GO_BACK;
            }
            if (type == ZFERR || type == ZABORT || type == ZM_CANCELLED)
                return end_quietly("Cancelled by receiver");
            if (type == ZM_GONE) return end_quietly("Connection lost");
            if (type == ZM_ESC) return abort_with("Aborted by user");
            if (check_abort() != GO_ON) return DONE_FAILED;
            if (type == ZM_TIMEOUT || type == ZNAK) break; // lost on the way: send it again
        }
        s.resync_failures++;
    }
    return abort_with("No response to ZDATA");
}

// Sends ZEOF until the receiver takes it (NEXT_FILE) or asks for a position again (GO_BACK).
static Outcome end_file(uint32_t *position) {
    zmodem_send_bin_header(ZEOF, *position, s.crc32);
    zmodem_flush();
    for (int retries = 0;;) {
        draw();
        uint32_t value;
        int type = zmodem_read_header(&value, ZEOF_MS);
        if (type == ZRINIT || type == ZSKIP) {
            close_file();
            s.status->files++;
            draw();
            return NEXT_FILE;
        }
        if (type == ZRPOS) {
            *position = value;
            s.status->errors++;
            return GO_BACK;
        }
        if (type == ZM_ESC) return abort_with("Aborted by user");
        if (type == ZM_GONE || type == ZM_CANCELLED) return end_quietly("Cancelled");
        if (retries++ > ZEOF_RETRIES) return abort_with("No response to ZEOF");
        if (type != ZACK) { // a ZACK is read past without sending again
            zmodem_send_bin_header(ZEOF, *position, s.crc32);
            zmodem_flush();
        }
    }
}

static Outcome send_file(const char *path, int left) {
    Outcome outcome = open_file(path, left);
    if (outcome != GO_ON) return outcome;
    uint32_t position;
    outcome = offer_file(&position);
    if (outcome != GO_ON) return outcome;
    s.resync_failures = 0;
    for (bool went_back = false;;) {
        if (went_back) {
            outcome = resync(&position);
            if (outcome == GO_BACK) continue;
            if (outcome != GO_ON) return outcome;
        }
        outcome = stream_file(&position);
        if (outcome == AT_END) outcome = end_file(&position);
        if (outcome != GO_BACK) return outcome;
        went_back = true;
    }
}

static void finish() {
    for (int tries = 0; tries < ZFIN_TRIES; tries++) {
        zmodem_send_hex_header(ZFIN, 0);
        zmodem_flush();
        uint32_t value;
        int type = zmodem_read_header(&value, ZFIN_MS);
        if (type == ZFIN) {
            telnet_queue_data((const uint8_t *)"OO", 2);
            telnet_flush();
            return;
        }
        if (type == ZM_ESC || type == ZM_GONE) return;
    }
}

static Outcome run(const char *const *paths, int count) {
    Outcome outcome = wait_receiver();
    if (outcome != GO_ON) return outcome;
    for (int i = 0; i < count; i++) {
        outcome = send_file(paths[i], count - i);
        if (outcome == DONE_FAILED) return outcome;
    }
    finish();
    transfer_set_text(s.status, "Transfer complete, %d file(s)", (int)s.status->files);
    draw();
    return s.status->files >= 1 ? NEXT_FILE : DONE_FAILED;
}

bool zmodem_send(const char *const *paths, int count, TransferStatus *status) {
    zmodem_link_start();
    telnet_request_binary();
    memset(status, 0, sizeof *status);
    status->upload = 1;
    status->start_ms = clock_ms();
    s.status = status;
    s.fd = -1;
    s.crc32 = 0;
    transfer_set_text(status, "Waiting for receiver");
    draw();
    if (count > ZMODEM_SEND_FILES_MAX) count = ZMODEM_SEND_FILES_MAX;
    Outcome outcome = run(paths, count);
    close_file();
    zmodem_link_finish();
    return outcome == NEXT_FILE;
}
