#include "app/program_dir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
    } else if (!(executable_dir(dir, sizeof dir) && access(dir, W_OK) == 0)) {
        const char *config = getenv("XDG_CONFIG_HOME");
        const char *user_home = getenv("HOME");
        if (config && *config)
            text_format(dir, sizeof dir, "%s/pelong/", config);
        else
            text_format(dir, sizeof dir, "%s/.config/pelong/", user_home ? user_home : ".");
        make_directories(dir);
    }
    program_paths_form(paths, dir);
}
