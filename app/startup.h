// The program's entry: start-up in a fixed order, the main loop, shutdown in the reverse order.
#pragma once

// Runs app_main over the process arguments,, restores the console and flushes.
int app_entry(int argc, char **argv);
// The main routine over an already split argument vector; returns the exit status.
int app_main(int argc, char **argv);
// Start-up steps that the options dialog runs again after a save: the glyph mode from the "Glyphs"
// setting (or the host kind), and the C64 character set for the graphics window.
void settle_glyph_mode();
void load_c64_font();
