// Splitting the command line by the program's own rules, and reading the options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

std::vector<std::string> split(const char *line) {
    static CommandLine cl;
    cmdline_split(&cl, line);
    std::vector<std::string> out;
    for (int i = 0; i < cl.argc; i++) out.push_back(cl.argv[i]);
    EXPECT_EQ(cl.argv[cl.argc], nullptr);
    return out;
}

TEST(CommandLine, Split) {
    using V = std::vector<std::string>;
    struct {
        const char *line;
        V args;
    } cases[] = {
        {"pelong", V{"pelong"}},
        {"  pelong \t bbs  2323 ", V{"pelong", "bbs", "2323"}},
        {"pelong \"my host\" 2323", V{"pelong", "my host", "2323"}},
        {"pelong \"\"", V{"pelong", ""}},                       // empty quotes: an empty argument
        {"pelong \"ab\"cd", V{"pelong", "ab", "cd"}},           // the closing quote ends the argument
        {"pelong ab\"cd\"", V{"pelong", "ab\"cd\""}},           // quotes inside a word are ordinary
        {"pelong \"unterminated arg", V{"pelong", "unterminated arg"}},
        {"pelong C:\\dir\\x", V{"pelong", "C:\\dir\\x"}},       // no escape character
        {"", V{}},
    };
    for (auto &c : cases) EXPECT_EQ(split(c.line), c.args) << c.line;

    std::string forty = "pelong";
    for (int i = 1; i < 40; i++) forty += " w" + std::to_string(i);
    V args = split(forty.c_str());
    ASSERT_EQ(args.size(), 31u);
    EXPECT_EQ(args[30], "w30");
}

TEST(CommandLine, JoinQuotesWhatWouldSplitDifferently) {
    const char *argv[] = {"pelong", "my host", "", "a\tb", "plain"};
    char line[CMDLINE_BUFFER];
    cmdline_join(5, argv, line, sizeof line);
    EXPECT_STREQ(line, "pelong \"my host\" \"\" \"a\tb\" plain");
    EXPECT_EQ(split(line), (std::vector<std::string>{"pelong", "my host", "", "a\tb", "plain"}));

    std::string huge(5000, 'x');
    const char *long_argv[] = {"pelong", huge.c_str()};
    cmdline_join(2, long_argv, line, sizeof line);
    EXPECT_EQ(strlen(line), (size_t)CMDLINE_BUFFER - 1);
}

TEST(CommandLine, ReadOptions) {
    struct Case {
        std::vector<const char *> args;
        const char *host;
        int port, emulation;
        const char *import_path;
        int quiet, usage;
    } cases[] = {
        {{"pelong"}, nullptr, 23, -1, nullptr, 0, 0},
        {{"pelong", "bbs", "2323"}, "bbs", 2323, -1, nullptr, 0, 0},
        {{"pelong", "bbs", "23"}, "bbs", 23, -1, nullptr, 0, 0},
        {{"pelong", "bbs", "1", "2"}, "bbs", 2, -1, nullptr, 0, 0}, // the last port wins
        {{"pelong", "-e", "vt100", "bbs"}, "bbs", 23, 3, nullptr, 0, 0},
        {{"pelong", "/E", "PETSCII", "bbs"}, "bbs", 23, 5, nullptr, 0, 0},
        {{"pelong", "-e", "nonsense", "somehost"}, "somehost", 23, -1, nullptr, 0, 0},
        {{"pelong", "-e"}, "-e", 23, -1, nullptr, 0, 0},          // no value: a host
        {{"pelong", "-H"}, "-H", 23, -1, nullptr, 0, 0},          // only lower-case h is help
        {{"pelong", "-h"}, nullptr, 23, -1, nullptr, 0, 1},
        {{"pelong", "/?"}, nullptr, 23, -1, nullptr, 0, 1},
        {{"pelong", "-help"}, nullptr, 23, -1, nullptr, 0, 1},
        {{"pelong", "-i", "list.lst", "-q"}, nullptr, 23, -1, "list.lst", 1, 0},
        {{"pelong", "-q"}, nullptr, 23, -1, nullptr, 1, 0},
        {{"pelong", "-x", "bbs"}, "-x", 0, -1, nullptr, 0, 0},    // unknown option: positional
        {{"pelong", "-"}, "-", 23, -1, nullptr, 0, 0},
    };
    for (Case &c : cases) {
        std::vector<char *> argv;
        for (const char *a : c.args) argv.push_back((char *)a);
        argv.push_back(nullptr);
        StartOptions o;
        cmdline_read_options((int)c.args.size(), argv.data(), &o);
        SCOPED_TRACE(c.args.size() > 1 ? c.args[1] : "none");
        if (c.host) EXPECT_STREQ(o.host, c.host);
        else EXPECT_EQ(o.host, nullptr);
        EXPECT_EQ(o.port, c.port);
        EXPECT_EQ(o.emulation, c.emulation);
        if (c.import_path) EXPECT_STREQ(o.import_path, c.import_path);
        else EXPECT_EQ(o.import_path, nullptr);
        EXPECT_EQ(o.quiet, c.quiet);
        EXPECT_EQ(o.show_usage, c.usage);
    }
}

} // namespace
