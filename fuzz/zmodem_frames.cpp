// Host bytes through the Zmodem header and subpacket readers, in the order a receiver reads them.
#include "fuzz/host_source.h"
#include "zmodem/framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    host_source_start(data + 1, size - 1, 1 + (size_t)(data[0] & 0x3F) * 64);
    telnet_reset(EMU_ANSI, 80, 24, 0);
    zmodem_link_start();
    uint8_t packet[8200];
    for (int reads = 0; reads < 10000; reads++) {
        uint32_t value;
        int type = zmodem_read_header(&value, 1000);
        if (type == ZM_GONE) break;
        if (type != ZFILE && type != ZDATA && type != ZSINIT && type != ZCOMMAND) continue;
        int length = -1;
        int result;
        do {
            result = zmodem_read_subpacket(packet, (data[0] & 0x40) ? 1024 : (int)sizeof packet, &length,
                                           g_zmodem_link.last_header_zbin32);
            if (result >= ZM_END && (length < 0 || length > (int)sizeof packet)) __builtin_trap();
        } while (result == ZM_END + ZCRCG || result == ZM_END + ZCRCQ);
        if (result == ZM_GONE) break;
    }
    zmodem_link_finish();
    return 0;
}
