// Makes the screen layout, the terminal and the telnet layer agree with the current emulation and
// the status-bar setting.
#pragma once

void apply_emulation();
