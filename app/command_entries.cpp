#include "app/command_entries.h"

#include "display/window.h"

void fullscreen_toggle() {
    window_toggle_fullscreen();
}
