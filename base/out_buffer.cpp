#include "base/out_buffer.h"

#include <cstring>

void out_buffer_append(uint8_t *buffer, int size, int *count, const uint8_t *bytes, int length,
                       void (*flush)()) {
    while (length > 0) {
        int room = size - *count;
        int n = length < room ? length : room;
        memcpy(buffer + *count, bytes, (size_t)n);
        *count += n;
        bytes += n;
        length -= n;
        if (*count == size) flush();
    }
}
