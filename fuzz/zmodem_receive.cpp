// A whole download from a hostile sender into a scratch directory, emptied after every run.
#include <cstring>
#include <dirent.h>
#include <string>

#include "fuzz/fuzz_files.h"
#include "fuzz/host_source.h"
#include "zmodem/framing.h"
#include "zmodem/receive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    host_source_start(data + 1, size - 1, 1 + (size_t)data[0] * 16);
    telnet_reset(EMU_ANSI, 80, 24, 0);
    zmodem_link_start();
    TransferStatus status;
    zmodem_receive(fuzz_dir().c_str(), &status);
    DIR *dir = opendir(fuzz_dir().c_str());
    if (!dir) abort();
    while (dirent *entry = readdir(dir))
        if (entry->d_name[0] != '.' || (entry->d_name[1] && strcmp(entry->d_name, "..") != 0))
            unlink((fuzz_dir() + entry->d_name).c_str());
    closedir(dir);
    return 0;
}
