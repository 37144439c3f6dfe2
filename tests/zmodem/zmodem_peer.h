// Zmodem conversations for tests: frames built with the link's own writers, and what the client
// sent read back with the link's own readers.
#pragma once
#include <cstdint>
#include <string>

#include "tests/net/telnet_fake_peer.h"

// "^" stands for ZDLE (0x18), which a literal cannot put before "B" without making one hex escape.
std::string z(std::string bytes);

std::string hex_frame(int type, uint32_t value);
std::string bin_frame(int type, uint32_t value, int crc32);
std::string data_frame(const std::string &data, int end, int crc32);

// One line per frame, joined by "; ": "ZRPOS 1024" (positions decimal, flags hexadecimal), "ZDATA 0
// [i1024 h976]" with the end character and length of each subpacket, "CAN" for an abort, "?" for
// what fits nothing. The data of the ZDATA subpackets are appended to *data. Starts a fresh peer.
std::string describe_frames(const std::string &bytes, std::string *data = nullptr);
