// The state of the connection and of the session around it: online or not, what is connected, the
// current emulation and the quit flag.
#pragma once
#include <cstdint>

struct ConnectionState {
    int connected;        // 1 while a call is up
    uint32_t connect_ms;  // tick when the call was established
    char entry_name[128]; // empty for a call placed from the command line
    char host[256];
    int port;
    int current_entry;        // the dialing-directory entry dialled last, -1 for none
    uint32_t last_receive_ms; // tick of the last turn that received data
    int emulation;            // the current emulation (made the terminal's by apply_emulation)
    int quit;                 // set when the user confirmed the exit
};

extern ConnectionState g_connection;
