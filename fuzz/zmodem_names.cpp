// Names a host may offer: the cleaned name is always one harmless component of the download
// directory, and a file made with it lands there.
#include <cstring>
#include <string>
#include <unistd.h>

#include "fuzz/fuzz_files.h"
#include "zmodem/download_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string offered((const char *)data, size);
    offered = offered.c_str(); // a ZFILE name ends at its NUL
    char name[DOWNLOAD_NAME_MAX + 1];
    download_clean_name(offered.c_str(), name);
    size_t length = strlen(name);
    if (length < 1 || length > DOWNLOAD_NAME_MAX || strchr(name, '/') || !strcmp(name, ".") ||
        !strcmp(name, ".."))
        __builtin_trap();
    for (size_t i = 0; i < length; i++)
        if ((uint8_t)name[i] < 0x20) __builtin_trap();
    char path[DOWNLOAD_PATH_SIZE], used[DOWNLOAD_NAME_MAX + 1];
    int fd = download_create(fuzz_dir().c_str(), name, path, sizeof path, used);
    if (fd < 0) __builtin_trap();
    close(fd);
    if (strncmp(path, fuzz_dir().c_str(), fuzz_dir().size()) != 0 || strchr(path + fuzz_dir().size(), '/'))
        __builtin_trap();
    unlink(path);
    return 0;
}
