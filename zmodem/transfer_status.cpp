#include "zmodem/transfer_status.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "zmodem/framing.h"

static void draw_nothing(const TransferStatus *) {}
static int never_abort() {
    return 0;
}

static int always_confirm() {
    return 1;
}

TransferHooks g_transfer_hooks = {draw_nothing, never_abort, always_confirm};

void transfer_hooks_reset() {
    g_transfer_hooks = {draw_nothing, never_abort, always_confirm};
}

void transfer_end(TransferStatus *status, const char *text, int abort) {
    if (text) transfer_set_text(status, "%s", text);
    if (abort) zmodem_send_abort();
    g_transfer_hooks.draw(status);
}

void transfer_set_text(TransferStatus *status, const char *format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(status->text, sizeof status->text, format, args);
    va_end(args);
}

void transfer_set_skipped(TransferStatus *status, const char *format, const char *name) {
    transfer_set_text(status, format, name);
    memcpy(status->skipped, status->text, sizeof status->skipped);
}

const char *transfer_base_name(const char *path) {
    const char *start = path;
    for (const char *p = path; *p; p++)
        if (*p == '/' || *p == '\\' || *p == ':') start = p + 1;
    return start;
}
