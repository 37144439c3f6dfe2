// The dialing directory as the program's commands: opening it (Alt-D, at start-up), quick-dial
// (Alt-Q), the SyncTERM import with its screens (-i without -q), and placing the call chosen there.
#pragma once

// Opens the dialing directory and places the call chosen there; sets the quit flag when the user
// left the program from it.
void directory_open();
// Asks for a host and calls it with the current emulation.
void directory_quick_dial();
// The SyncTERM import from a list named on the command line, with its questions on screen.
void directory_import_list(const char *path);
