// pelong-xfer: one Zmodem transfer over a telnet connection, without the screen. It uses the
// program's own transport, telnet layer and transfer engines, for tests and for measuring speed.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/clock.h"
#include "base/emulation.h"
#include "net/telnet.h"
#include "net/transport.h"
#include "zmodem/download_file.h"
#include "zmodem/receive.h"
#include "zmodem/send.h"

static const char kUsage[] =
    "usage: pelong-xfer [--receive DIR | --send FILE...] HOST PORT\n"
    "  Connects to HOST PORT, then receives the files the host sends into DIR, or sends up to\n"
    "  8 FILEs. Prints one line\n"
    "  RESULT tool=pelong-xfer dir=receive|send files=N bytes=B seconds=S MBps=X status=\"...\"\n"
    "  (bytes of the files completed; MB = 10^6 bytes) and exits 0 when the transfer completed.\n";

enum { CONNECT_SECONDS = 10 };

// Bytes of the files completed, learned from the engines' redraws: a redraw that shows one more
// file completed still shows that file's final position.
static long long g_done_bytes;
static uint32_t g_seen_files;

static void count_files(const TransferStatus *status) {
    if (status->files != g_seen_files) {
        g_done_bytes += status->position;
        g_seen_files = status->files;
    }
}

static int usage() {
    fputs(kUsage, stderr);
    return 2;
}

static int connect_to(const char *host, int port) {
    char error[256];
    if (!transport_start() || !transport_open(host, port, error, sizeof error)) {
        fprintf(stderr, "pelong-xfer: %s\n", error);
        return 0;
    }
    for (int waited = 0; waited < CONNECT_SECONDS * 10; waited++) {
        int polled = transport_poll_connect(100);
        if (polled > 0) return 1;
        if (polled < 0) break;
    }
    fprintf(stderr, "pelong-xfer: cannot connect: %s\n",
            *transport_last_error() ? transport_last_error() : "timed out");
    transport_close();
    return 0;
}

int main(int argc, char **argv) {
    if (argc < 4) return usage();
    bool receive = strcmp(argv[1], "--receive") == 0;
    if (!receive && strcmp(argv[1], "--send") != 0) return usage();
    const char *host = argv[argc - 2];
    int port = atoi(argv[argc - 1]);
    int first = 2, count = argc - 4;
    if (receive && count != 1) return usage();
    if (!receive && (count < 1 || count > ZMODEM_SEND_FILES_MAX)) return usage();
    if (port < 1 || port > 65535) return usage();

    char dir[DOWNLOAD_DIR_SIZE] = "";
    if (receive) {
        int n = snprintf(dir, sizeof dir, "%s", argv[first]);
        if (n < 1 || n + 1 >= (int)sizeof dir) return usage();
        if (dir[n - 1] != '/') strcat(dir, "/");
    }
    if (!connect_to(host, port)) return 1;
    telnet_reset(EMU_ANSI, 80, 24, 1);
    g_transfer_hooks.draw = count_files;

    TransferStatus status;
    uint32_t start = clock_ms();
    bool done = receive ? zmodem_receive(dir, &status) : zmodem_send(argv + first, count, &status);
    double seconds = (double)(clock_ms() - start) / 1000.0;
    transport_close();
    printf("RESULT tool=pelong-xfer dir=%s files=%u bytes=%lld seconds=%.3f MBps=%.2f status=\"%s\"\n",
           receive ? "receive" : "send", status.files, g_done_bytes, seconds,
           seconds > 0 ? (double)g_done_bytes / 1e6 / seconds : 0.0, status.text);
    return done ? 0 : 1;
}
