#include "base/screen_rows.h"

#include "base/emulation.h"

ScreenRows screen_rows(int emulation, int status_bar_setting) {
    int status_bar = status_bar_setting ? 1 : 0;
    int terminal = status_bar && !emulation_is_petscii(emulation) ? 24 : 25;
    return ScreenRows{terminal, status_bar, terminal + status_bar};
}
