// Reading the options from the process arguments. (Bad ports, help words and a quiet import are
// checked end to end.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

// The options read from the words of a command line: those that are not the defaults, as text.
std::string options_of(std::vector<std::string> words) {
    std::vector<char *> argv;
    for (std::string &w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    StartOptions o;
    cmdline_read_options((int)words.size(), argv.data(), &o);
    std::string out = o.host ? std::string(" host=") + o.host : "";
    if (o.port != 23) out += " port=" + std::to_string(o.port);
    if (o.emulation != -1) out += " emu=" + std::to_string(o.emulation);
    if (o.import_path) out += std::string(" import=") + o.import_path;
    out += std::string(o.quiet ? " quiet" : "") + (o.show_usage ? " usage" : "") +
           (o.show_version ? " version" : "");
    if (o.bad_port) out += std::string(" bad-port=") + o.bad_port;
    return out;
}

TEST(CommandLine, ReadOptions) {
    const struct {
        std::vector<std::string> words;
        const char *options;
    } cases[] = {
        {{"pelong", "bbs", "1", "2"}, " host=bbs port=2"}, // the last port wins
        {{"pelong", "/E", "PETSCII", "bbs"}, " host=bbs emu=5"},
        {{"pelong", "--version", "-h"}, " version"},
        {{"pelong", "-x", "bbs"}, " host=-x port=0 bad-port=bbs"}, // unknown option: positional
        // quotes and blanks inside one argument are part of it
        {{"pelong", "-i", "my \"odd\" list.lst", "-q"}, " import=my \"odd\" list.lst quiet"},
    };
    for (const auto &c : cases) EXPECT_EQ(options_of(c.words), c.options) << c.words[1];
}

} // namespace
