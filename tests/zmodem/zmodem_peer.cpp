#include "tests/zmodem/zmodem_peer.h"

#include <cstdio>
#include <cstring>

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

namespace {
// Reads the client's bytes the way a receiver would, without the link's code.
struct Decoder {
    const std::string &b;
    size_t i = 0;
    bool more() const { return i < b.size(); }
    // A decoded byte, 256 + end character, or -1 at the end.
    int next() {
        while (i < b.size() && ((b[i] & 0x7F) == 0x11 || (b[i] & 0x7F) == 0x13)) i++;
        if (i >= b.size()) return -1;
        uint8_t c = (uint8_t)b[i++];
        if (c != 0x18) return c;
        if (i >= b.size()) return -1;
        uint8_t e = (uint8_t)b[i++];
        if (e >= 'h' && e <= 'k') return 256 + e;
        if (e == 'l') return 0x7F;
        if (e == 'm') return 0xFF;
        return e ^ 0x40;
    }
};

std::string header_text(const uint8_t *h) {
    uint32_t value = (uint32_t)h[1] | (uint32_t)h[2] << 8 | (uint32_t)h[3] << 16 | (uint32_t)h[4] << 24;
    char text[64];
    const char *name = h[0] < 19 ? kTypeNames[h[0]] : "type?";
    bool position = h[0] == ZRPOS || h[0] == ZDATA || h[0] == ZEOF || h[0] == ZACK;
    snprintf(text, sizeof text, position ? "%s %u" : "%s %08x", name, value);
    return text;
}
} // namespace

static std::string decode(const std::string &bytes, bool data_only) {
    Decoder d{bytes};
    std::string out, data;
    auto add = [&](const std::string &line) {
        if (!out.empty()) out += "; ";
        out += line;
    };
    while (d.more()) {
        if ((bytes[d.i] & 0x7F) == 0x11 || (bytes[d.i] & 0x7F) == 0x13) { // flow control
            d.i++;
        } else if (bytes.compare(d.i, 4, z("**^B")) == 0) {
            uint8_t h[7];
            for (int k = 0; k < 7; k++)
                h[k] = (uint8_t)strtoul(bytes.substr(d.i + 4 + 2 * k, 2).c_str(), nullptr, 16);
            add(header_text(h));
            d.i += 18;
            while (d.i < bytes.size() && strchr("\r\n\x8a\x11", bytes[d.i])) d.i++;
        } else if (bytes.compare(d.i, 3, z("*^C")) == 0 || bytes.compare(d.i, 3, z("*^A")) == 0) {
            bool crc32 = bytes[d.i + 2] == 'C';
            d.i += 3;
            uint8_t h[9];
            for (int k = 0; k < (crc32 ? 9 : 7); k++) h[k] = (uint8_t)d.next();
            std::string text = header_text(h);
            size_t space = text.find(' ');
            std::string line = text.substr(0, space);
            line += crc32 ? "/C" : "/A";
            line += text.substr(space);
            if (h[0] == ZFILE || h[0] == ZDATA || h[0] == ZSINIT || h[0] == ZCOMMAND) {
                line += " [";
                for (bool first = true;; first = false) {
                    int n = 0, c;
                    while ((c = d.next()) >= 0 && c < 256) {
                        if (h[0] == ZDATA) data.push_back((char)c);
                        n++;
                    }
                    if (c < 0) break;
                    for (int k = 0; k < (crc32 ? 4 : 2); k++) d.next();
                    if (!first) line += ' ';
                    line += (char)(c - 256);
                    line += std::to_string(n);
                    if (c - 256 == 'h' || c - 256 == 'k') break;
                    // A frame left unfinished: the sender was asked to go back.
                    if (bytes.compare(d.i, 2, "*\x18") == 0 || bytes.compare(d.i, 2, "**") == 0) break;
                }
                line += "]";
            }
            add(line);
        } else if (bytes.compare(d.i, 10, std::string(10, '\x18')) == 0) {
            add("CAN");
            d.i += 10;
            while (d.i < bytes.size() && (bytes[d.i] == 8 || bytes[d.i] == 0x18)) d.i++;
        } else if (bytes.compare(d.i, 2, "OO") == 0) {
            add("OO");
            d.i += 2;
        } else {
            if (out.size() < 1 || out.back() != '?') add("?");
            d.i++;
        }
    }
    return data_only ? data : out;
}

std::string describe_frames(const std::string &bytes) {
    return decode(bytes, false);
}

std::string sent_data(const std::string &bytes) {
    return decode(bytes, true);
}
