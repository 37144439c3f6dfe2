#include "base/safe_save.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"

static int real_open(const char *path, int flags, mode_t mode) {
    return open(path, flags, mode);
}

SafeSaveOps g_safe_save_ops = {real_open, write, fsync, close, rename};

void safe_save_ops_reset() {
    g_safe_save_ops = SafeSaveOps{real_open, write, fsync, close, rename};
}

// The mode the new file should get: that of the file it replaces (the phonebook holds passwords, so
// a private file stays private), else what creating it normally would give.
static mode_t target_mode(const char *path) {
    struct stat st;
    if (stat(path, &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Saving through a symbolic link replaces the file it points to, not the link.
static void resolve_target(const char *path, char *out, int size) {
    struct stat st;
    char resolved[PATH_MAX];
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode) && realpath(path, resolved) &&
        (int)strlen(resolved) < size) {
        text_copy(out, resolved, size);
        return;
    }
    text_copy(out, path, size);
}

int safe_save_begin(SafeSave *s, const char *path) {
    return safe_save_begin_like(s, path, nullptr);
}

// The rename would replace a file whatever its permissions: one this user could not open for
// writing is refused, as a plain write would have been.
static bool may_replace(const char *path) {
    return faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0 || errno == ENOENT;
}

int safe_save_begin_like(SafeSave *s, const char *path, const char *mode_of) {
    s->fd = -1;
    s->failed = 0;
    s->used = 0;
    s->error = 0;
    if (!path[0] || (int)strlen(path) >= SAFE_SAVE_PATH - 24) {
        errno = ENAMETOOLONG;
        return 0;
    }
    resolve_target(path, s->path, sizeof s->path);
    if (text_format(s->temp_path, sizeof s->temp_path, "%s.%ld.tmp", s->path, (long)getpid()) >=
        (int)sizeof s->temp_path - 1) {
        errno = ENAMETOOLONG;
        return 0;
    }
    if (!may_replace(s->path)) return 0;
    int fd = g_safe_save_ops.open(s->temp_path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return 0;
    if (fchmod(fd, target_mode(mode_of ? mode_of : s->path)) != 0) {
        int error = errno;
        g_safe_save_ops.close(fd);
        unlink(s->temp_path);
        errno = error;
        return 0;
    }
    s->fd = fd;
    return 1;
}

static void flush_buffer(SafeSave *s) {
    const unsigned char *p = s->buffer;
    size_t left = (size_t)s->used;
    s->used = 0;
    while (left > 0 && !s->failed) {
        ssize_t n = g_safe_save_ops.write(s->fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            s->failed = 1;
            s->error = n < 0 ? errno : ENOSPC; // a write of nothing: the disk took no more
            break;
        }
        p += n;
        left -= (size_t)n;
    }
}

void safe_save_write(SafeSave *s, const void *data, size_t size) {
    const unsigned char *p = (const unsigned char *)data;
    while (size > 0 && !s->failed) {
        size_t room = SAFE_SAVE_BUFFER - (size_t)s->used;
        size_t chunk = size < room ? size : room;
        memcpy(s->buffer + s->used, p, chunk);
        s->used += (int)chunk;
        p += chunk;
        size -= chunk;
        if (s->used == SAFE_SAVE_BUFFER) flush_buffer(s);
    }
}

void safe_save_text(SafeSave *s, const char *text) {
    safe_save_write(s, text, strlen(text));
}

void safe_save_line(SafeSave *s, const char *text) {
    safe_save_write(s, text, strcspn(text, "\n"));
    safe_save_write(s, "\r\n", 2);
}

// Makes the rename itself durable; best effort, the new file is in place either way.
static void sync_directory(const char *path) {
    char dir[SAFE_SAVE_PATH];
    text_copy(dir, path, sizeof dir);
    char *slash = strrchr(dir, '/');
    if (slash)
        slash[1] = 0;
    else
        text_copy(dir, ".", sizeof dir);
    int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

int safe_save_finish(SafeSave *s) {
    if (s->fd < 0) return 0;
    if (s->used > 0) flush_buffer(s);
    bool ok = !s->failed;
    auto fail = [&] {
        if (ok) s->error = errno;
        ok = false;
    };
    if (ok && g_safe_save_ops.fsync(s->fd) != 0) fail();
    if (g_safe_save_ops.close(s->fd) != 0) fail();
    s->fd = -1;
    if (ok && g_safe_save_ops.rename(s->temp_path, s->path) != 0) fail();
    if (!ok) {
        unlink(s->temp_path);
        errno = s->error;
        return 0;
    }
    sync_directory(s->path);
    return 1;
}

void safe_save_cancel(SafeSave *s) {
    if (s->fd < 0) return;
    g_safe_save_ops.close(s->fd);
    s->fd = -1;
    unlink(s->temp_path);
}

void safe_save_store_path(char *dst, const char *path, int size) {
    if ((int)strlen(path) < size)
        text_copy(dst, path, size);
    else if (size > 0)
        dst[0] = 0;
}
