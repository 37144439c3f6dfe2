// Scratch files for the file-format fuzz targets: one private directory, removed at exit.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline const std::string &fuzz_dir() {
    static std::string dir;
    if (dir.empty()) {
        char pattern[] = "/tmp/pelong-fuzz-XXXXXX";
        char shm[] = "/dev/shm/pelong-fuzz-XXXXXX"; // memory-backed when available: faster
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

// Writes bytes (nullptr: removes the file).
inline void fuzz_write(const char *name, const uint8_t *data, size_t size) {
    std::string path = fuzz_path(name);
    unlink(path.c_str());
    if (!data) return;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) abort();
    fwrite(data, 1, size, f);
    fclose(f);
}

// The first two bytes give the length of the first part; the rest is the second part.
inline size_t fuzz_split(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    size_t first = (size_t)data[0] | (size_t)data[1] << 8;
    return first < size - 2 ? first : size - 2;
}
