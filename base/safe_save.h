// Crash-safe file saving: the new contents go to a temporary file in the same directory, every write
// is checked, the file is flushed to disk and then renamed over the old one. On any failure the old
// file is left as it was and the save reports 0. The system calls go through g_safe_save_ops so
// tests can make any one of them fail.
#pragma once
#include <cstddef>
#include <sys/types.h>

struct SafeSaveOps {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void *data, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char *from, const char *to);
};

extern SafeSaveOps g_safe_save_ops;
// Puts the real system calls back.
void safe_save_ops_reset();

enum { SAFE_SAVE_PATH = 700, SAFE_SAVE_BUFFER = 4096 };

struct SafeSave {
    int fd;                         // the temporary file, -1 when none is open
    int failed;                     // a write failed: finishing removes the temporary file and reports 0
    int used;                       // bytes waiting in buffer
    int error;                      // errno of the first failure, given back when the save ends
    char path[SAFE_SAVE_PATH];      // the file being replaced
    char temp_path[SAFE_SAVE_PATH]; // path + ".<pid>.tmp"
    unsigned char buffer[SAFE_SAVE_BUFFER];
};

// Creates the temporary file for path; 0 when it cannot be created (nothing is left behind), the
// path is empty, or path names a file this user could not write to in place (a file the user made
// read-only stays as it is). The new file gets the permissions of the file it replaces. Every
// failure leaves the system's reason in errno.
int safe_save_begin(SafeSave *s, const char *path);
// The same, with the permissions of the file mode_of (a backup stays as private as its original).
int safe_save_begin_like(SafeSave *s, const char *path, const char *mode_of);
void safe_save_write(SafeSave *s, const void *data, size_t size);
void safe_save_text(SafeSave *s, const char *text);
// One line of a text file: text up to its first LF (a value can never split its line and shift the
// lines after it), then CR LF.
void safe_save_line(SafeSave *s, const char *text);
// Writes what is buffered, syncs, closes and renames over the old file; 1 on success. On failure
// the temporary file is removed and the old file is untouched.
int safe_save_finish(SafeSave *s);
// Drops the temporary file without touching the old one.
void safe_save_cancel(SafeSave *s);

// Copies a file path into a record's buffer. A path that does not fit is stored empty, which no save
// accepts: a cut path would name another file.
void safe_save_store_path(char *dst, const char *path, int size);
