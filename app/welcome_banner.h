// The welcome text fed through the terminal at start, as if a host had sent it.
#pragma once
#include <cstdint>

// Fills out (at least 512 bytes) with the banner; returns its length.
int welcome_banner(uint8_t *out, int size);
