#include "base/screen_rows.h"

#include "base/emulation.h"

ScreenRows screen_rows(int emulation, int status_bar_setting, int available_rows) {
    bool petscii = emulation_is_petscii(emulation);
    bool known = available_rows > 0;
    int status_bar = status_bar_setting && (!known || available_rows >= (petscii ? 26 : 25)) ? 1 : 0;
    int terminal = petscii ? 25 : status_bar || available_rows == 24 ? 24 : 25;
    return ScreenRows{terminal, status_bar, terminal + status_bar};
}
