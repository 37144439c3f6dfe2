#include "app/program_dir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"

ProgramPaths g_paths;

// Creates every missing level of a directory path ("a/b/c/").
static void make_directories(const char *path) {
    char partial[PROGRAM_DIR_SIZE];
    text_copy(partial, path, sizeof partial);
    for (char *p = partial + 1; *p; p++) {
        if (*p != '/') continue;
        *p = 0;
        mkdir(partial, 0700);
        *p = '/';
    }
    mkdir(partial, 0700);
}

static void end_with_slash(char *dir, int size) {
    size_t len = strlen(dir);
    if (len > 0 && dir[len - 1] != '/' && (int)len + 1 < size) {
        dir[len] = '/';
        dir[len + 1] = 0;
    }
}

// A portable install: the user keeps the files beside the program, as with the classic one. An
// installed program (/usr/bin, even when root runs it) holds none of them and never writes there.
static bool holds_program_files(const char *dir) {
    static const char *const kNames[] = {"pelo.cfg", "pelong.cfg", "pelo.fon"};
    char path[PROGRAM_PATH_SIZE];
    for (const char *name : kNames) {
        text_format(path, sizeof path, "%s%s", dir, name);
        if (access(path, F_OK) == 0) return true;
    }
    return false;
}

static const char *user_home() {
    const char *home = getenv("HOME");
    if (home && *home) return home;
    const struct passwd *pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : ".";
}

static bool executable_dir(char *out, int size) {
    char exe[PROGRAM_DIR_SIZE];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return false;
    exe[n] = 0;
    char *slash = strrchr(exe, '/');
    if (!slash) return false;
    slash[1] = 0;
    text_copy(out, exe, size);
    return true;
}

void program_paths_form(ProgramPaths *paths, const char *dir) {
    text_copy(paths->dir, dir, PROGRAM_DIR_SIZE);
    text_format(paths->classic_settings, PROGRAM_PATH_SIZE, "%spelo.cfg", paths->dir);
    text_format(paths->extended_settings, PROGRAM_PATH_SIZE, "%spelong.cfg", paths->dir);
    text_format(paths->phonebook, PROGRAM_PATH_SIZE, "%spelo.fon", paths->dir);
    text_format(paths->phonebook_ext, PROGRAM_PATH_SIZE, "%spelong.ext", paths->dir);
}

void program_paths_find(ProgramPaths *paths) {
    char dir[PROGRAM_DIR_SIZE] = "";
    const char *home = getenv("PELONG_HOME");
    if (home && *home) {
        text_copy(dir, home, sizeof dir);
        end_with_slash(dir, sizeof dir);
        make_directories(dir);
    } else if (!(executable_dir(dir, sizeof dir) && holds_program_files(dir) && access(dir, W_OK) == 0)) {
        const char *config = getenv("XDG_CONFIG_HOME");
        if (config && config[0] == '/') // a relative one is to be ignored
            text_format(dir, sizeof dir, "%s/pelong/", config);
        else
            text_format(dir, sizeof dir, "%s/.config/pelong/", user_home());
        make_directories(dir);
    }
    program_paths_form(paths, dir);
}
