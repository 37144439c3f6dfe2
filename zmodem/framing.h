// Zmodem framing over the telnet layer: the output buffer with ZDLE escaping, the two checksums,
// hex and binary headers, data subpackets, and the timed readers of bytes, headers and subpackets.
// Both engines talk to the remote side only through these operations; the link reads ahead from the
// telnet layer into a buffer of its own and gives back what it did not use when a transfer ends.
#pragma once
#include <cstdint>

// Protocol characters.
enum : uint8_t {
    ZPAD = '*',
    ZDLE = 0x18, // also CAN
    ZBIN = 'A',  // binary header, CRC-16
    ZHEX = 'B',  // hex header, CRC-16
    ZBIN32 = 'C',
    ZCRCE = 'h', // end of frame, no more subpackets, no answer wanted
    ZCRCG = 'i', // more subpackets follow, no answer wanted
    ZCRCQ = 'j', // more subpackets follow, ZACK wanted
    ZCRCW = 'k', // end of frame, ZACK wanted
    ZRUB0 = 'l', // escaped 0x7F
    ZRUB1 = 'm', // escaped 0xFF
    XON = 0x11,
    XOFF = 0x13,
};

// Frame types.
enum : int {
    ZRQINIT = 0,
    ZRINIT = 1,
    ZSINIT = 2,
    ZACK = 3,
    ZFILE = 4,
    ZSKIP = 5,
    ZNAK = 6,
    ZABORT = 7,
    ZFIN = 8,
    ZRPOS = 9,
    ZDATA = 10,
    ZEOF = 11,
    ZFERR = 12,
    ZCRC = 13,
    ZCHALLENGE = 14,
    ZCOMPL = 15,
    ZCAN = 16,
    ZFREECNT = 17,
    ZCOMMAND = 18,
};

// ZF0 of ZRINIT: the receiver's abilities.
enum : uint8_t {
    CANFDX = 0x01,  // full duplex
    CANOVIO = 0x02, // can receive while writing to disk
    CANFC32 = 0x20, // understands CRC-32
};

// Read results besides a byte 0..255 (the first three are the telnet layer's own).
enum : int {
    ZM_TIMEOUT = -1,
    ZM_GONE = -2,     // the connection was lost
    ZM_ESC = -3,      // the user pressed Esc during the wait
    ZM_BAD = -4,      // bad escape, checksum error, over-long subpacket, too much noise
    ZM_CANCELLED = -5 // five CAN bytes in a row from the peer
};
// The ZDLE decoder returns ZM_END + end character for a subpacket end.
inline constexpr int ZM_END = 256;

enum {
    ZMODEM_OUT_SIZE = 2048,
    ZMODEM_IN_SIZE = 4096,
    ZMODEM_NOISE_MAX = 8192, // bytes a header read skips before it gives up
};

// A header's four data bytes P0..P3 travel as one little-endian value: P0 is the low byte, so a
// file position is the value itself and ZF0 (P3) is the top byte.
inline uint32_t zmodem_flags(uint8_t zf0) {
    return (uint32_t)zf0 << 24;
}

struct ZmodemLink {
    uint8_t out[ZMODEM_OUT_SIZE];
    int out_count;
    uint8_t in[ZMODEM_IN_SIZE]; // read from the telnet layer, not yet used
    int in_pos, in_count;
    int last_header_zbin32; // tells the subpacket reader which checksum follows
    int can_run;            // consecutive CAN bytes seen by the ZDLE decoder
};

extern ZmodemLink g_zmodem_link;

// Empties the link for a new transfer.
void zmodem_link_start();
// Hands bytes read ahead but not used back to the telnet layer, so that the terminal gets them.
void zmodem_link_finish();

// Output side. Nothing reaches the telnet layer before the buffer is full or flushed.
void zmodem_put_raw(const uint8_t *bytes, int length);
// Escapes CR, DLE, XON, XOFF, CAN (ZDLE) and their high-bit forms; 0xFF goes as ZDLE ZRUB1.
void zmodem_put_escaped(const uint8_t *bytes, int length);
void zmodem_send_hex_header(int type, uint32_t value);
void zmodem_send_bin_header(int type, uint32_t value, int crc32);
void zmodem_send_subpacket(const uint8_t *data, int length, int end, int crc32);
void zmodem_flush();
// Drops unsent output and sends ten CAN and eight BS at once.
void zmodem_send_abort();

// Input side; timeouts in milliseconds.
// A byte, with XON and XOFF (either parity) skipped, or ZM_TIMEOUT, ZM_GONE, ZM_ESC.
int zmodem_read_byte(int timeout_ms);
// Makes a byte just read the next one read again.
void zmodem_unread_byte(uint8_t b);
// A data byte, ZM_END + end character, or a negative result.
int zmodem_read_decoded(int timeout_ms);
// Hunts for the next header: its frame type with *value set, or a negative result.
int zmodem_read_header(uint32_t *value, int timeout_ms);
// Reads one subpacket of at most max bytes: ZM_END + its end character with *length set, or a
// negative result. The checksum is the one the last header announced unless crc32 says otherwise.
int zmodem_read_subpacket(uint8_t *buffer, int max, int *length, int crc32);
// Looks at what the peer sent without waiting (at most max bytes): 1 when a header may be starting
// (a "*" or CAN among them, all kept for reading), 0 when nothing or only noise came (dropped),
// ZM_GONE when the connection is lost.
int zmodem_poll_incoming(int max);
