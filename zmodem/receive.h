// The Zmodem receive engine: downloads what the remote side offers, one new file per offer, into a
// directory. It owns the connection until the transfer ends and reports through TransferStatus.
#pragma once
#include "zmodem/transfer_status.h"

// dir ends in "/". True when at least one file arrived whole.
bool zmodem_receive(const char *dir, TransferStatus *status);
