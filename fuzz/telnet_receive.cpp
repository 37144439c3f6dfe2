// Host bytes through the telnet layer in chunks, with the data echoed back as keys and a little of
// it pushed back and read again by the timed byte read.
#include <cstddef>
#include <cstdint>

#include "fuzz/host_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    host_source_start(data + 1, size - 1, 1 + (size_t)(data[0] >> 4) * 700);
    telnet_reset(data[0] % 7, 80, 24, data[0] & 8);
    uint8_t buffer[5000];
    int n;
    while ((n = telnet_read(buffer, sizeof buffer)) >= 0) {
        telnet_send_keys(buffer, n);
        if (n > 2) {
            telnet_push_back(buffer, 2);
            telnet_read_byte(5);
        }
    }
    return 0;
}
