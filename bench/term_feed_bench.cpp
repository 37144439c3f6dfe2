// term_feed_bench: interpreter throughput. Feeds a whole file through term_feed in pieces of CHUNK
// bytes, REPS times on a fresh terminal (24 rows, 25 for PETSCII, 2000 scrollback lines, as the
// program starts), and prints one RESULT line with the median, lowest and highest rate in MB/s
// (10^6 bytes per second).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/screen_rows.h"
#include "term/terminal.h"

static const char kUsage[] = "usage: term_feed_bench [-r REPS] [-c CHUNK] [-e EMULATION] FILE\n";

static void ignore_reply(const uint8_t *, int) {}

int main(int argc, char **argv) {
    int reps = 5, chunk = 4096, emulation = EMU_ANSI;
    const char *path = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-r") == 0 && i + 1 < argc)
            reps = atoi(argv[++i]);
        else if (strcmp(argv[i], "-c") == 0 && i + 1 < argc)
            chunk = atoi(argv[++i]);
        else if (strcmp(argv[i], "-e") == 0 && i + 1 < argc)
            emulation = emulation_from_name(argv[++i]);
        else if (!path && argv[i][0] != '-')
            path = argv[i];
        else
            emulation = -2;
    }
    if (!path || reps < 1 || chunk < 1 || emulation < 0) {
        fputs(kUsage, stderr);
        return 2;
    }

    FILE *in = fopen(path, "rb");
    if (!in) {
        fprintf(stderr, "term_feed_bench: cannot open %s\n", path);
        return 1;
    }
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0) data.insert(data.end(), buffer, buffer + got);
    fclose(in);

    term_build_tables();
    static Terminal terminal;
    std::vector<double> rates;
    for (int rep = 0; rep < reps; rep++) {
        terminal.reply_sink = ignore_reply;
        term_create(&terminal, emulation, screen_rows(emulation, 1, 0).terminal, 2000);
        auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < data.size(); at += (size_t)chunk) {
            size_t size = std::min((size_t)chunk, data.size() - at);
            term_feed(&terminal, data.data() + at, (int)size);
        }
        std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        term_release(&terminal);
        rates.push_back((double)data.size() / 1e6 / seconds.count());
    }
    std::sort(rates.begin(), rates.end());
    double median = rates.size() % 2 ? rates[rates.size() / 2]
                                     : (rates[rates.size() / 2 - 1] + rates[rates.size() / 2]) / 2;
    const char *name = strrchr(path, '/') ? strrchr(path, '/') + 1 : path;
    printf("RESULT tool=pelong name=%s mode=%s bytes=%zu median_MBps=%.1f min_MBps=%.1f max_MBps=%.1f\n",
           name, emulation_file_words[emulation], data.size(), median, rates.front(), rates.back());
    return 0;
}
