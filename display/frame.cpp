#include "display/frame.h"

#include <cstring>

DisplayFrame g_frame = {{}, 25, 1, 0, 0, 0};

void frame_clear(DisplayFrame *f) {
    memset((void *)f->cells, 0, sizeof f->cells);
}
