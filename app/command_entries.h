// Entry points of the commands whose screens live in areas of their own (full screen), called by
// name from the key commands and the main loop.
#pragma once
#include <cstdint>

void fullscreen_toggle();
