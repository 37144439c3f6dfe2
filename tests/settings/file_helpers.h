// Test helpers for the file-format tests: a temporary directory, whole-file reads and writes, and a
// fault plan for the crash-safe saver's system calls.
#pragma once
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/safe_save.h"

struct TempDir {
    std::string path; // ends in "/"
    TempDir() {
        char pattern[] = "/tmp/pelong-test-XXXXXX";
        path = std::string(mkdtemp(pattern)) + "/";
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const char *name) const { return path + name; }
    // Entries in the directory: catches temporary files left behind.
    int entries() const {
        return (int)std::distance(std::filesystem::directory_iterator(path),
                                  std::filesystem::directory_iterator());
    }
};

// Runs body as the user nobody in a child process (root passes every permission check) and gives
// its result back: body returns 0 when all its checks held. dir is handed over to nobody first.
// Without root, body runs as the user the tests run as.
template <class Body> int run_unprivileged(const TempDir &dir, Body body) {
    if (getuid() != 0) return body();
    const uid_t nobody = 65534;
    if (chown(dir.path.c_str(), nobody, nobody) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        bool dropped = setgroups(0, nullptr) == 0 && setresgid(nobody, nobody, nobody) == 0 &&
                       setresuid(nobody, nobody, nobody) == 0;
        _exit(dropped ? body() : 99);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string read_file(const std::string &path) {
    std::ostringstream data;
    data << std::ifstream(path, std::ios::binary).rdbuf();
    return data.str();
}

inline void write_file(const std::string &path, const std::string &data) {
    std::ofstream(path, std::ios::binary) << data;
}

inline bool file_exists(const std::string &path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Makes the Nth call of one kind fail (counted from 1 since fault_arm); 0 means never. Writes may also
// be cut short to test that partial writes are carried on.
enum FaultKind { FAULT_NONE, FAULT_OPEN, FAULT_WRITE, FAULT_FSYNC, FAULT_CLOSE, FAULT_RENAME, FAULT_KINDS };
struct FaultPlan {
    int kind, fail_at;
    size_t max_write; // when non-zero, every write stores at most this many bytes
    int calls[FAULT_KINDS];
};
inline FaultPlan g_fault;

inline bool fault_hit(int kind) {
    if (++g_fault.calls[kind] != g_fault.fail_at || g_fault.kind != kind) return false;
    errno = kind == FAULT_WRITE ? ENOSPC : EIO;
    return true;
}

inline void fault_arm(int kind, int fail_at, size_t max_write = 0) {
    g_fault = FaultPlan{kind, fail_at, max_write, {}};
    g_safe_save_ops.open = [](const char *path, int flags, mode_t mode) {
        return fault_hit(FAULT_OPEN) ? -1 : open(path, flags, mode);
    };
    g_safe_save_ops.write = [](int fd, const void *data, size_t size) -> ssize_t {
        if (fault_hit(FAULT_WRITE)) return -1;
        return write(fd, data, g_fault.max_write && size > g_fault.max_write ? g_fault.max_write : size);
    };
    g_safe_save_ops.fsync = [](int fd) { return fault_hit(FAULT_FSYNC) ? -1 : fsync(fd); };
    g_safe_save_ops.close = [](int fd) {
        int result = close(fd); // the descriptor is gone either way
        return fault_hit(FAULT_CLOSE) ? -1 : result;
    };
    g_safe_save_ops.rename = [](const char *from, const char *to) {
        return fault_hit(FAULT_RENAME) ? -1 : rename(from, to);
    };
}

// Counts the calls of each kind that save() makes with nothing failing (writes cut to max_write), then
// runs it again once for every one of those calls, with that call failing. save prepares fresh files,
// saves, checks what the save left, and returns the save's result. The calls counted are returned.
template <class Save> FaultPlan fail_each_call(size_t max_write, Save save) {
    fault_arm(FAULT_NONE, 0, max_write);
    EXPECT_EQ(save(), 1);
    FaultPlan counted = g_fault;
    for (int kind = FAULT_OPEN; kind < FAULT_KINDS; kind++) {
        for (int n = 1; n <= counted.calls[kind]; n++) {
            SCOPED_TRACE(testing::Message() << "fault kind " << kind << ", call " << n);
            fault_arm(kind, n, max_write);
            EXPECT_EQ(save(), 0);
        }
    }
    safe_save_ops_reset();
    return counted;
}
