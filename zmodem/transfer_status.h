// The progress record both Zmodem engines fill, and the two things they ask of whoever shows it: a
// redraw and the question whether the user wants to stop. Without a window (tests, the headless
// tool) both do nothing.
#pragma once
#include <cstdint>

enum { TRANSFER_NAME_SIZE = 260, TRANSFER_TEXT_SIZE = 80 };

struct TransferStatus {
    char file_name[TRANSFER_NAME_SIZE]; // last path component, empty before the first file
    int32_t size;                       // -1 when not known
    int32_t position;                   // bytes of the current file so far
    int32_t start_position;             // where the current file started (always 0)
    uint32_t start_ms;                  // tick when the current file (or the transfer) started
    uint32_t errors;                    // over the whole transfer
    uint32_t files;                     // completed
    char text[TRANSFER_TEXT_SIZE];      // the current state line
    uint32_t upload;                    // 0 download, 1 upload
    char skipped[TRANSFER_TEXT_SIZE];   // why the last file left out was, for the final message
};

struct TransferHooks {
    void (*draw)(const TransferStatus *status); // called whenever something changed
    int (*abort_requested)(void);               // 1 when the user asked to stop and confirmed
    // Esc was pressed while a read waited: 1 when the user confirms stopping. Without a window
    // there is nobody to ask, and Esc stops at once.
    int (*confirm_abort)(void);
};

extern TransferHooks g_transfer_hooks;
// Back to no window.
void transfer_hooks_reset();

// Ends a transfer that failed: the state line becomes text (unless it is null), the peer gets the
// abort sequence when abort is set, the window is drawn.
void transfer_end(TransferStatus *status, const char *text, int abort);
// Sets the state line (cut to fit).
void transfer_set_text(TransferStatus *status, const char *format, ...) __attribute__((format(printf, 2, 3)));
// Sets the state line for a file that is left out, and keeps it for the final message.
void transfer_set_skipped(TransferStatus *status, const char *format, const char *name);
// The last path component: the part behind the last "/", "\\" or ":".
const char *transfer_base_name(const char *path);
