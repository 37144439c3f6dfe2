// The main loop: wait for a key or the network, move the host's data into the terminal, hand keys
// to the commands, keep the clock and blinking text current, and redraw when something changed.
#pragma once
#include <cstdint>

struct MainLoopState {
    uint32_t blink_ms; // tick of the last blink phase change
};

extern MainLoopState g_main_loop;

// Runs until the quit flag is set.
void main_loop_run();
// One turn: wait (20 ms online, 250 offline), receive, dispatch, then redraw what needs it.
void main_loop_turn();
