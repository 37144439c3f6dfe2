// The command line: the process's own arguments (at most 31) read into host, port, emulation and
// import options.
#pragma once

enum { CMDLINE_MAX_ARGS = 31 }; // the program's name counts as the first

struct StartOptions {
    const char *host;        // nullptr when none was given
    int port;                // 23 unless a later positional argument gave one
    int emulation;           // -1 when -e was not given or its name is unknown
    const char *import_path; // nullptr when none
    int quiet;
    int show_usage;       // -h, -?, /? or --help was seen
    int show_version;     // --version was seen
    const char *bad_port; // the port argument when it is not a number from 1 to 65535 (port is 0 then)
};

extern const char kVersionText[];
extern const char kUsageText[];

// Reads the arguments after the program name; arguments after the 31st are ignored. Stops at -h,
// /? or --help with show_usage set, and at --version with show_version set.
void cmdline_read_options(int argc, char *const *argv, StartOptions *out);
