// The command line split by the program's own rules, joined back, and read into options.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/command_line.h"

namespace {

// The arguments the program's own rules split line into, each in brackets.
std::string split(const char *line) {
    static CommandLine cl;
    cmdline_split(&cl, line);
    std::string out;
    for (int i = 0; i < cl.argc; i++) out += std::string("[") + cl.argv[i] + "]";
    EXPECT_EQ(cl.argv[cl.argc], nullptr);
    return out;
}

TEST(CommandLine, SplitQuotesAndLimit) {
    const char *cases[][2] = {
        {"  pelong \t bbs  2323 ", "[pelong][bbs][2323]"},
        {"pelong \"my host\" \"\"", "[pelong][my host][]"},         // empty quotes: an empty argument
        {"pelong \"ab\"cd ab\"cd\"", "[pelong][ab][cd][ab\"cd\"]"}, // quotes only open an argument
        {"pelong \"unterminated arg", "[pelong][unterminated arg]"},
        {"pelong C:\\dir\\x", "[pelong][C:\\dir\\x]"}, // no escape character
    };
    for (auto &c : cases) EXPECT_EQ(split(c[0]), c[1]) << c[0];
    std::string forty = "pelong";
    for (int i = 1; i < 40; i++) forty += " w" + std::to_string(i);
    EXPECT_TRUE(split(forty.c_str()).ends_with("[w29][w30]")) << "31 arguments at most";
}

TEST(CommandLine, JoinQuotesWhatWouldSplitDifferently) {
    const char *argv[] = {"pelong", "my host", "", "a\tb", "plain"};
    char line[CMDLINE_BUFFER];
    cmdline_join(5, argv, line, sizeof line);
    EXPECT_EQ(split(line), "[pelong][my host][][a\tb][plain]");
    std::string huge(5000, 'x');
    const char *long_argv[] = {"pelong", huge.c_str()};
    cmdline_join(2, long_argv, line, sizeof line);
    EXPECT_EQ(strlen(line), (size_t)CMDLINE_BUFFER - 1);
}

TEST(CommandLine, ReadOptions) {
    const char *cases[][2] = {
        {"pelong bbs 1 2", " host=bbs port=2"}, // the last port wins
        {"pelong /E PETSCII bbs", " host=bbs emu=5"},
        {"pelong -e nonsense bbs", " host=bbs"},
        {"pelong bbs -h", " host=bbs usage"},
        {"pelong --version -h", " version"},
        {"pelong -i list.lst -q", " import=list.lst quiet"},
        {"pelong -x bbs", " host=-x port=0"}, // unknown option: positional
    };
    for (auto &c : cases) {
        static CommandLine cl;
        cmdline_split(&cl, c[0]);
        StartOptions o;
        cmdline_read_options(cl.argc, cl.argv, &o);
        std::string out;
        if (o.host) out += std::string(" host=") + o.host;
        if (o.port != 23) out += " port=" + std::to_string(o.port);
        if (o.emulation != -1) out += " emu=" + std::to_string(o.emulation);
        if (o.import_path) out += std::string(" import=") + o.import_path;
        out += std::string(o.quiet ? " quiet" : "") + (o.show_usage ? " usage" : "") +
               (o.show_version ? " version" : "");
        EXPECT_EQ(out, c[1]) << c[0];
    }
}

} // namespace
