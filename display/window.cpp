#include "display/window.h"

static int offscreen;

int window_is_open() {
    return offscreen;
}

void window_set_offscreen(int on) {
    offscreen = on;
}
