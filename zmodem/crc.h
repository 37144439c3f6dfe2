// The two Zmodem checksums, table-driven with tables built by the compiler.
// CRC-16/XMODEM: polynomial 0x1021, MSB first, initial 0, no final XOR; sent high byte first.
// CRC-32 (IEEE 802.3): reflected polynomial 0xEDB88320, initial 0xFFFFFFFF, final complement; sent
// low byte first.
#pragma once
#include <array>
#include <cstdint>

namespace zmodem_detail {
constexpr std::array<uint16_t, 256> make_crc16_table() {
    std::array<uint16_t, 256> table{};
    for (int i = 0; i < 256; i++) {
        uint16_t crc = (uint16_t)(i << 8);
        for (int bit = 0; bit < 8; bit++) crc = (uint16_t)(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
        table[i] = crc;
    }
    return table;
}
constexpr std::array<uint32_t, 256> make_crc32_table() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; bit++) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        table[i] = crc;
    }
    return table;
}
} // namespace zmodem_detail

inline constexpr std::array<uint16_t, 256> kCrc16Table = zmodem_detail::make_crc16_table();
inline constexpr std::array<uint32_t, 256> kCrc32Table = zmodem_detail::make_crc32_table();

inline uint16_t crc16_update(uint16_t crc, uint8_t b) {
    return (uint16_t)((crc << 8) ^ kCrc16Table[(uint8_t)((crc >> 8) ^ b)]);
}

// The running CRC-32 register (start with 0xFFFFFFFF, complement at the end).
inline uint32_t crc32_update(uint32_t crc, uint8_t b) {
    return (crc >> 8) ^ kCrc32Table[(crc ^ b) & 0xFF];
}

inline uint16_t crc16_block(uint16_t crc, const uint8_t *bytes, int length) {
    for (int i = 0; i < length; i++) crc = crc16_update(crc, bytes[i]);
    return crc;
}

inline uint32_t crc32_block(uint32_t crc, const uint8_t *bytes, int length) {
    for (int i = 0; i < length; i++) crc = crc32_update(crc, bytes[i]);
    return crc;
}
