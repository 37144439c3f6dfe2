// A fixed output buffer filled by copying and emptied by its owner's flush: the telnet layer's
// buffer before the socket and the Zmodem link's buffer before the telnet layer both work this way.
#pragma once
#include <cstdint>

// Copies as much as fits into buffer[*count..size); each time the buffer is full, flush() is
// called, which must send the bytes on and set *count to 0, and copying goes on.
void out_buffer_append(uint8_t *buffer, int size, int *count, const uint8_t *bytes, int length,
                       void (*flush)());
