// Where settings and the phonebook live: PELONG_HOME, else the executable's directory when it already
// holds pelo.cfg, pelong.cfg or pelo.fon and is writable (a portable install), else
// $XDG_CONFIG_HOME/pelong/ (default ~/.config/pelong/). Always ends in "/".
#pragma once

enum { PROGRAM_DIR_SIZE = 512, PROGRAM_PATH_SIZE = 600 };

struct ProgramPaths {
    char dir[PROGRAM_DIR_SIZE];                // ends in "/" (empty only if nothing could be found)
    char classic_settings[PROGRAM_PATH_SIZE];  // pelo.cfg
    char extended_settings[PROGRAM_PATH_SIZE]; // pelong.cfg
    char phonebook[PROGRAM_PATH_SIZE];         // pelo.fon
    char phonebook_ext[PROGRAM_PATH_SIZE];     // pelong.ext
};

extern ProgramPaths g_paths;

// Finds the program directory and forms the four file paths.
void program_paths_find(ProgramPaths *paths);
// Forms the four file paths for a directory that already ends in "/".
void program_paths_form(ProgramPaths *paths, const char *dir);
