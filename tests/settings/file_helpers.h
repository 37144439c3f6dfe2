// File-format test helpers: a temporary directory, whole files, faults for the crash-safe saver.
#pragma once
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/safe_save.h"

struct TempDir {
    std::string path = std::string(mkdtemp(std::string("/tmp/pelong-test-XXXXXX").data())) + "/";
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const char *name) const { return path + name; }
    int entries() const { return (int)std::distance(std::filesystem::directory_iterator(path), {}); }
};

inline std::string read_file(const std::string &path) {
    std::ostringstream data;
    data << std::ifstream(path, std::ios::binary).rdbuf(); // a directory or no file reads as ""
    return data.str();
}

inline void write_file(const std::string &path, const std::string &data) {
    std::ofstream(path, std::ios::binary) << data;
}

inline bool file_exists(const std::string &path) {
    return faccessat(AT_FDCWD, path.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0; // a dangling link counts
}

// Fails the Nth call of one kind (from 1 after fault_arm; 0: none); max_write cuts every write short.
enum FaultKind { FAULT_NONE, FAULT_OPEN, FAULT_WRITE, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME, FAULT_KINDS };
struct FaultPlan {
    int kind, fail_at, calls[FAULT_KINDS];
    size_t max_write;
};
inline FaultPlan g_fault;

inline bool fault_hit(int kind) {
    bool hit = ++g_fault.calls[kind] == g_fault.fail_at && g_fault.kind == kind;
    if (hit) errno = kind == FAULT_WRITE ? ENOSPC : EIO;
    return hit;
}

inline void fault_arm(int kind, int fail_at, size_t max_write = 0) {
    g_fault = FaultPlan{kind, fail_at, {}, max_write ? max_write : ~(size_t)0};
    g_safe_save_ops = {
        [](const char *p, int f, mode_t m) { return fault_hit(FAULT_OPEN) ? -1 : open(p, f, m); },
        [](int fd, const void *d, size_t n) {
            return fault_hit(FAULT_WRITE) ? -1 : write(fd, d, n < g_fault.max_write ? n : g_fault.max_write);
        },
        [](int fd) { return fault_hit(FAULT_FSYNC) ? -1 : fsync(fd); },
        [](int fd) { return close(fd) == 0 && !fault_hit(FAULT_CLOSE) ? 0 : -1; }, // closed either way
        [](const char *from, const char *to) { return fault_hit(FAULT_RENAME) ? -1 : rename(from, to); },
    };
}

// Runs save() with nothing failing to count its calls of each kind (returned), then once for each of
// those calls with that call failing. save makes fresh files, saves, checks them, returns the result.
template <class Save> FaultPlan fail_each_call(size_t max_write, Save save) {
    fault_arm(FAULT_NONE, 0, max_write);
    EXPECT_EQ(save(), 1);
    FaultPlan counted = g_fault;
    for (int kind = FAULT_OPEN; kind < FAULT_KINDS; kind++)
        for (int n = 1; n <= counted.calls[kind]; n++) {
            SCOPED_TRACE(testing::Message() << "fault kind " << kind << ", call " << n);
            fault_arm(kind, n, max_write);
            EXPECT_EQ(save(), 0);
        }
    safe_save_ops_reset();
    return counted;
}
