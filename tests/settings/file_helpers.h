// Test helpers for the file-format tests: a temporary directory, whole-file reads and writes, and a
// fault plan for the crash-safe saver's system calls.
#pragma once
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/safe_save.h"

struct TempDir {
    std::string path; // ends in "/"
    TempDir() {
        char pattern[] = "/tmp/pelong-test-XXXXXX";
        path = std::string(mkdtemp(pattern)) + "/";
    }
    ~TempDir() {
        std::string command = "rm -rf '" + path + "'";
        if (system(command.c_str()) != 0) perror("rm");
    }
    std::string file(const char *name) const { return path + name; }
};

inline std::string read_file(const std::string &path) {
    std::string data;
    if (FILE *f = fopen(path.c_str(), "rb")) {
        char block[65536];
        size_t n;
        while ((n = fread(block, 1, sizeof block, f)) > 0) data.append(block, n);
        fclose(f);
    }
    return data;
}

inline void write_file(const std::string &path, const std::string &data) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
}

inline bool file_exists(const std::string &path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Number of entries in a directory other than "." and "..": catches temporary files left behind.
inline int directory_entries(const std::string &dir) {
    std::string command = "ls -A '" + dir + "' | wc -l";
    FILE *p = popen(command.c_str(), "r");
    int count = -1;
    if (p) {
        if (fscanf(p, "%d", &count) != 1) count = -1;
        pclose(p);
    }
    return count;
}

// Makes the Nth call of one kind fail (counted from 1 since arm()); 0 means never. Writes may also be
// cut short to test that partial writes are carried on.
struct FaultPlan {
    enum Kind { NONE, OPEN, WRITE, FSYNC, CLOSE, RENAME };
    Kind kind = NONE;
    int fail_at = 0;
    int calls[6] = {};
    size_t max_write = 0; // when non-zero, every write stores at most this many bytes
};

inline FaultPlan g_fault;

inline bool fault_hit(FaultPlan::Kind kind) {
    int n = ++g_fault.calls[kind];
    if (g_fault.kind == kind && n == g_fault.fail_at) {
        errno = kind == FaultPlan::WRITE ? ENOSPC : EIO;
        return true;
    }
    return false;
}

inline void fault_arm(FaultPlan::Kind kind, int fail_at, size_t max_write = 0) {
    g_fault = FaultPlan{};
    g_fault.kind = kind;
    g_fault.fail_at = fail_at;
    g_fault.max_write = max_write;
    g_safe_save_ops.open = [](const char *path, int flags, mode_t mode) {
        return fault_hit(FaultPlan::OPEN) ? -1 : open(path, flags, mode);
    };
    g_safe_save_ops.write = [](int fd, const void *data, size_t size) -> ssize_t {
        if (fault_hit(FaultPlan::WRITE)) return -1;
        if (g_fault.max_write && size > g_fault.max_write) size = g_fault.max_write;
        return write(fd, data, size);
    };
    g_safe_save_ops.fsync = [](int fd) { return fault_hit(FaultPlan::FSYNC) ? -1 : fsync(fd); };
    g_safe_save_ops.close = [](int fd) {
        int result = close(fd); // the descriptor is gone either way
        return fault_hit(FaultPlan::CLOSE) ? -1 : result;
    };
    g_safe_save_ops.rename = [](const char *from, const char *to) {
        return fault_hit(FaultPlan::RENAME) ? -1 : rename(from, to);
    };
}

inline int fault_calls(FaultPlan::Kind kind) {
    return g_fault.calls[kind];
}

inline void fault_disarm() {
    safe_save_ops_reset();
}
