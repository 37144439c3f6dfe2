// Zmodem conversations for tests: frames built with the link's writers, and an independent decoder
// that turns what the client sent into one readable line per frame.
#pragma once
#include <cstdint>
#include <string>

#include "tests/net/telnet_fake_peer.h"

// "^" stands for ZDLE (0x18), which a literal cannot put before "B" without making one hex escape.
std::string z(std::string bytes);

std::string hex_frame(int type, uint32_t value);
std::string bin_frame(int type, uint32_t value, int crc32);
std::string data_frame(const std::string &data, int end, int crc32);

// One line per frame, separated by "; ": "ZRPOS 1024" for a hex header, "ZDATA/C 0 [i1024 h976]"
// for a binary header (A CRC-16, C CRC-32) with its subpackets (end character and length), "CAN"
// for an abort sequence, "OO". Positions are decimal, other header values hexadecimal. Bytes that
// fit nothing are "?".
std::string describe_frames(const std::string &bytes);
// The data of every ZDATA subpacket in the sent bytes, joined.
std::string sent_data(const std::string &bytes);
