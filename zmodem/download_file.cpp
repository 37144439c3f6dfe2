#include "zmodem/download_file.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"

enum { OFFERED_NAME_MAX = 259, EXTENSION_KEEP_MAX = 16 };

// 1 when a new file could be made in dir (which ends in "/"). The probe is only ever a file this
// call created; when a file of that name is already there, the directory's permissions decide.
static int dir_writable(const char *dir) {
    char probe[DOWNLOAD_PATH_SIZE];
    text_format(probe, sizeof probe, "%spelong.$$$", dir);
    int fd = open(probe, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
        unlink(probe);
        return 1;
    }
    return errno == EEXIST && access(dir, W_OK | X_OK) == 0;
}

void download_dir_choose(const char *setting, const char *program_dir, char *out, int size) {
    char dir[DOWNLOAD_DIR_SIZE];
    text_copy(dir, *setting ? setting : program_dir, sizeof dir);
    int n = (int)strlen(dir);
    if (n > 0 && dir[n - 1] != '/' && n + 1 < (int)sizeof dir) {
        dir[n++] = '/';
        dir[n] = 0;
    }
    // One level is created; a short root such as "/a/" stays whole.
    char level[DOWNLOAD_DIR_SIZE];
    text_copy(level, dir, sizeof level);
    for (int k = (int)strlen(level); k > 3 && level[k - 1] == '/'; k--) level[k - 1] = 0;
    if (*level) mkdir(level, 0777);
    text_copy(out, n > 0 && dir_writable(dir) ? dir : program_dir, size);
}

// Length of the leading part of name (n bytes) that fits in limit bytes without splitting a UTF-8
// sequence; bytes that are not UTF-8 are cut anywhere.
static int fit_characters(const char *name, int n, int limit) {
    if (n <= limit) return n;
    int cut = limit;
    for (int back = 0; back < 3 && cut > 0 && ((uint8_t)name[cut] & 0xC0) == 0x80; back++) cut--;
    if (((uint8_t)name[cut] & 0xC0) == 0x80) cut = limit; // not UTF-8 after all
    return cut;
}

// Writes name cut to fit limit bytes together with suffix, keeping an extension of up to 16 bytes.
static void fit_name(const char *name, const char *suffix, int limit, char *out) {
    int n = (int)strlen(name);
    int suffix_length = (int)strlen(suffix);
    int room = limit - suffix_length;
    if (n <= room) {
        memcpy(out, name, (size_t)n);
        memcpy(out + n, suffix, (size_t)suffix_length + 1);
        return;
    }
    const char *dot = strrchr(name, '.');
    int ext = dot && dot != name ? (int)(name + n - dot) : 0;
    if (ext > EXTENSION_KEEP_MAX || ext >= room) ext = 0;
    int stem = fit_characters(name, n - ext, room - ext);
    memcpy(out, name, (size_t)stem);
    memcpy(out + stem, name + n - ext, (size_t)ext);
    memcpy(out + stem + ext, suffix, (size_t)suffix_length + 1);
}

void download_clean_name(const char *offered, char *out) {
    const char *start = offered;
    for (const char *p = offered; *p; p++)
        if (*p == '/' || *p == '\\' || *p == ':') start = p + 1;
    char name[OFFERED_NAME_MAX + 1];
    int n = 0;
    for (const char *p = start; *p && n < OFFERED_NAME_MAX; p++) {
        uint8_t b = (uint8_t)*p;
        name[n++] = b < 0x20 || strchr("<>:\"/\\|?*", b) ? '_' : (char)b;
    }
    name[n] = 0;
    if (n == 0 || strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        text_copy(name, "download.bin", sizeof name);
    fit_name(name, "", DOWNLOAD_NAME_MAX, out);
}

int download_create(const char *dir, const char *name, char *path, int path_size, char *used_name) {
    for (int number = 0; number <= DOWNLOAD_NUMBERS; number++) {
        char suffix[8] = "";
        if (number > 0) text_format(suffix, sizeof suffix, ".%d", number);
        fit_name(name, suffix, DOWNLOAD_NAME_MAX, used_name);
        if (text_format(path, path_size, "%s%s", dir, used_name) != (int)(strlen(dir) + strlen(used_name))) {
            errno = ENAMETOOLONG;
            return -1;
        }
        int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}
