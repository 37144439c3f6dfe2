// The command line: joined from the process arguments, split again by the program's own quoting
// rules (at most 31 arguments), and read into host, port, emulation and import options.
#pragma once

enum {
    CMDLINE_BUFFER = 2048,
    CMDLINE_MAX_ARGS = 31,
};

struct CommandLine {
    char buffer[CMDLINE_BUFFER];      // arguments are carved out of this text in place
    char *argv[CMDLINE_MAX_ARGS + 1]; // null after the last
    int argc;
};

struct StartOptions {
    const char *host;        // nullptr when none was given
    int port;                // 23 unless a later positional argument gave one
    int emulation;           // -1 when -e was not given or its name is unknown
    const char *import_path; // nullptr when none
    int quiet;
    int show_usage;   // -h or /? was seen
    int show_version; // --version was seen
};

extern const char kVersionText[];
extern const char kUsageText[];

// Joins process arguments with blanks, quoting any that holds a blank or tab or is empty,
// cut to 2047 characters.
void cmdline_join(int argc, const char *const *argv, char *out, int size);
// Splits line (copied into cl->buffer) into at most 31 arguments.
void cmdline_split(CommandLine *cl, const char *line);
// Reads the arguments after the program name. Stops at -h or /? with show_usage set, and at
// --version with show_version set.
void cmdline_read_options(int argc, char *const *argv, StartOptions *out);
