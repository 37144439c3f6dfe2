// Starting Zmodem transfers: by the user (Alt-R, Alt-U) or by the host (the detector over received
// data), the download directory, the upload list, and the final message.
#pragma once
#include <cstdint>

#include "zmodem/send.h"
#include "zmodem/transfer_status.h"

enum { UPLOAD_LIST_SIZE = 260, UPLOAD_INPUT_MAX = 255 };

// Receives what the host offers into the download directory, then says where the files went.
void transfer_download();
// Asks which files to send and sends them. remote_ready: the host already waits (it started the
// upload), so cancelling tells it to stop.
void transfer_upload(int remote_ready);
// The detector for a transfer that the host starts: forgotten at every call placed and after
// every transfer.
void transfer_autostart_reset();
// Looks for the start of a transfer in received data. 0 when there is none; otherwise 1 with the
// offset of the 6-byte start sequence in bytes (negative when it began in an earlier block) and
// upload set when the host announced a receiver.
int transfer_autostart_scan(const uint8_t *bytes, int length, int *start, int *upload);
// Splits the upload input at ";": pieces trimmed, empty ones skipped, at most 8 kept.
int transfer_split_list(const char *text, char paths[ZMODEM_SEND_FILES_MAX][TRANSFER_NAME_SIZE]);
