// The Zmodem send engine: uploads up to eight local files in the order given, streaming 1024-byte
// subpackets and seeking back when the receiver asks for a position again.
#pragma once
#include "zmodem/transfer_status.h"

enum { ZMODEM_SEND_FILES_MAX = 8 };

// True when at least one file was sent whole. The status is cleared and marked as an upload.
bool zmodem_send(const char *const *paths, int count, TransferStatus *status);
