// Files for the file-format fuzz targets. Names live in one private scratch directory (removed at
// exit). Readers that take a path get real files there (memory-backed under /dev/shm when it exists);
// the memory store below keeps whole files in the process instead: saves go into it through the
// safe-save seam and readers that take a stream read it back, so those inputs never touch a file
// system at all.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "base/safe_save.h"
#include "base/text.h"
#include "phonebook/phonebook.h"

inline const std::string &fuzz_dir() {
    static std::string dir;
    if (dir.empty()) {
        char pattern[] = "/tmp/pelong-fuzz-XXXXXX";
        char shm[] = "/dev/shm/pelong-fuzz-XXXXXX";
        const char *made = mkdtemp(shm);
        if (!made) made = mkdtemp(pattern);
        if (!made) abort();
        dir = std::string(made) + "/";
        atexit([] {
            std::string command = "rm -rf '" + fuzz_dir() + "'";
            if (system(command.c_str()) != 0) return;
        });
    }
    return dir;
}

inline std::string fuzz_path(const char *name) {
    return fuzz_dir() + name;
}

// Writes a real file in the scratch directory (nullptr: removes it).
inline void fuzz_write(const char *name, const uint8_t *data, size_t size) {
    std::string path = fuzz_path(name);
    unlink(path.c_str());
    if (!data) return;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
}

// Whether two entries hold the same texts and emulation (and stored bytes, when asked).
inline bool fuzz_same_entry(const PhonebookEntry &a, const PhonebookEntry &b, bool with_image) {
    return (!with_image || memcmp(a.image, b.image, sizeof a.image) == 0) && strcmp(a.name, b.name) == 0 &&
           strcmp(a.address, b.address) == 0 && (!with_image || strcmp(a.last_call, b.last_call) == 0) &&
           strcmp(a.login, b.login) == 0 && strcmp(a.password, b.password) == 0 && a.emulation == b.emulation;
}

// The first two bytes give the length of the first part; the rest is the second part.
inline size_t fuzz_split(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    size_t first = (size_t)data[0] | (size_t)data[1] << 8;
    return first < size - 2 ? first : size - 2;
}

// ---------------------------------------------------------------- the memory store

// Buffers are never freed, only emptied: growing fresh ones per input would cost more than the parsing.
struct FuzzMemoryFile {
    bool exists = false;
    std::vector<uint8_t> bytes;
};

struct FuzzMemoryFiles {
    std::map<std::string, FuzzMemoryFile> files; // by full path
    std::map<int, std::string> writing;          // descriptor of a save -> its temporary path
    int memfd = -1; // saves need a real descriptor (the saver sets its mode); duplicates of this one
};

inline FuzzMemoryFiles &fuzz_memory() {
    static FuzzMemoryFiles store;
    return store;
}

// Sends every safe save into the store; the saver's own rules (temporary name, rename over the old
// file) still run.
inline void fuzz_memory_install() {
    FuzzMemoryFiles &m = fuzz_memory();
    if (m.memfd >= 0) return;
    m.memfd = memfd_create("pelong-fuzz", MFD_CLOEXEC);
    if (m.memfd < 0) abort();
    g_safe_save_ops.open = [](const char *path, int, mode_t) {
        int fd = dup(fuzz_memory().memfd);
        if (fd >= 0) {
            fuzz_memory().writing[fd] = path;
            FuzzMemoryFile &file = fuzz_memory().files[path];
            file.exists = true;
            file.bytes.clear();
        }
        return fd;
    };
    g_safe_save_ops.write = [](int fd, const void *data, size_t size) -> ssize_t {
        std::vector<uint8_t> &file = fuzz_memory().files[fuzz_memory().writing[fd]].bytes;
        if (file.capacity() < file.size() + size) file.reserve(2 * (file.size() + size));
        file.insert(file.end(), (const uint8_t *)data, (const uint8_t *)data + size);
        return (ssize_t)size;
    };
    g_safe_save_ops.fsync = [](int) { return 0; };
    g_safe_save_ops.close = [](int fd) {
        fuzz_memory().writing.erase(fd);
        return close(fd);
    };
    g_safe_save_ops.rename = [](const char *from, const char *to) {
        auto &files = fuzz_memory().files;
        auto it = files.find(from);
        if (it == files.end() || !it->second.exists) return -1;
        FuzzMemoryFile &target = files[to];
        target.bytes.swap(it->second.bytes);
        target.exists = true;
        it->second.exists = false;
        return 0;
    };
}

// Puts a file into the store (nullptr: removes it).
inline void fuzz_memory_put(const char *name, const uint8_t *data, size_t size) {
    FuzzMemoryFile &file = fuzz_memory().files[fuzz_path(name)];
    file.exists = data != nullptr;
    if (data) file.bytes.assign(data, data + size);
}

// A read-only stream over a stored file, or nullptr when there is none (a missing file).
inline FILE *fuzz_memory_open(const char *name) {
    auto &files = fuzz_memory().files;
    auto it = files.find(fuzz_path(name));
    if (it == files.end() || !it->second.exists) return nullptr;
    static uint8_t empty[1];
    std::vector<uint8_t> &bytes = it->second.bytes;
    FILE *f = fmemopen(bytes.empty() ? empty : bytes.data(), bytes.size(), "rb");
    if (!f) abort();
    return f;
}

inline void fuzz_close(FILE *f) {
    if (f) fclose(f);
}

// Loads a phonebook from the stored pelo.fon and pelong.ext (missing ones read as absent files); its
// saves go back into the store.
inline void fuzz_load_phonebook(Phonebook *pb) {
    FILE *fon = fuzz_memory_open("pelo.fon"), *ext = fuzz_memory_open("pelong.ext");
    phonebook_read(pb, fon, ext);
    fuzz_close(fon);
    fuzz_close(ext);
    text_copy(pb->fon_path, fuzz_path("pelo.fon").c_str(), sizeof pb->fon_path);
    text_copy(pb->ext_path, fuzz_path("pelong.ext").c_str(), sizeof pb->ext_path);
}
