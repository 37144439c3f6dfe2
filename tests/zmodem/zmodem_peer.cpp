#include "tests/zmodem/zmodem_peer.h"

#include <cstdio>

#include "base/emulation.h"
#include "zmodem/framing.h"

static const char *const kTypeNames[] = {
    "ZRQINIT", "ZRINIT", "ZSINIT", "ZACK", "ZFILE",      "ZSKIP",  "ZNAK", "ZABORT",   "ZFIN",    "ZRPOS",
    "ZDATA",   "ZEOF",   "ZFERR",  "ZCRC", "ZCHALLENGE", "ZCOMPL", "ZCAN", "ZFREECNT", "ZCOMMAND"};

// Runs a writer and returns what it put on the wire.
template <class Write> static std::string written(Write write) {
    std::string before = take_sent();
    write();
    zmodem_flush();
    std::string frame = take_sent();
    g_peer.sent = before;
    return frame;
}

std::string z(std::string bytes) {
    for (char &c : bytes)
        if (c == '^') c = '\x18';
    return bytes;
}

std::string hex_frame(int type, uint32_t value) {
    return written([&] { zmodem_send_hex_header(type, value); });
}

std::string bin_frame(int type, uint32_t value, int crc32) {
    return written([&] { zmodem_send_bin_header(type, value, crc32); });
}

std::string data_frame(const std::string &data, int end, int crc32) {
    return written(
        [&] { zmodem_send_subpacket((const uint8_t *)data.data(), (int)data.size(), end, crc32); });
}

// The subpackets after a header, until one ends the frame or the next header starts (the sender
// was asked to go back).
static std::string subpackets(int type, std::string *data) {
    std::string line = " [";
    for (;;) {
        int next = zmodem_read_byte(0);
        if (next >= 0) zmodem_unread_byte((uint8_t)next);
        if (next < 0 || next == ZPAD) break;
        uint8_t buffer[1024];
        int length = 0;
        int end = zmodem_read_subpacket(buffer, sizeof buffer, &length, g_zmodem_link.last_header_zbin32);
        if (line.size() > 2) line += ' ';
        if (end < ZM_END) return line + "?]";
        line += (char)(end - ZM_END) + std::to_string(length);
        if (type == ZDATA && data) data->append((const char *)buffer, (size_t)length);
        if (end - ZM_END == ZCRCE || end - ZM_END == ZCRCW) break;
    }
    return line + "]";
}

std::string describe_frames(const std::string &bytes, std::string *data) {
    peer_start(EMU_ANSI, 0);
    zmodem_link_start();
    peer_deliver(bytes);
    std::string out, line;
    for (;;) {
        uint32_t value = 0;
        int type = zmodem_read_header(&value, 0);
        if (type == ZM_TIMEOUT) return out;
        if (type == ZM_CANCELLED && line == "CAN") continue; // the second half of the sequence
        char text[64] = "?";
        bool position = type == ZRPOS || type == ZDATA || type == ZEOF || type == ZACK;
        if (type == ZM_CANCELLED) snprintf(text, sizeof text, "CAN");
        if (type >= 0 && type <= ZCOMMAND)
            snprintf(text, sizeof text, position ? "%s %u" : "%s %x", kTypeNames[type], value);
        line = text;
        if (type == ZFILE || type == ZDATA || type == ZSINIT || type == ZCOMMAND)
            line += subpackets(type, data);
        out += (out.empty() ? "" : "; ") + line;
    }
}
