// The key commands: every Alt command, Alt-Enter and the resize key; all other keys go to the host.
#pragma once
#include <cstdint>

// Runs the command of key, or sends the key to the host.
void key_dispatch(uint32_t key);
// Alt-X: asks, and on yes hangs up and sets the quit flag.
void command_exit();
