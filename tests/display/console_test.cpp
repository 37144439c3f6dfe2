// Console choices from the environment, and the title escape that a host's text must not break.
#include <gtest/gtest.h>

#include <string>

#include "display/console.h"
#include "settings/settings.h"
#include "term/terminal.h"

namespace {

TEST(ConsoleChoices, HostKindAndRendererFollowTheEnvironment) {
    struct {
        const char *term, *wt_session;
        int renderer, host_kind, truecolour;
    } cases[] = {
        {"xterm-256color", nullptr, RENDERER_AUTO, HOST_VT, 1},
        {"linux", "", RENDERER_AUTO, HOST_LEGACY, 0}, // an empty WT_SESSION is no Windows Terminal
        {"linux", nullptr, RENDERER_VT, HOST_LEGACY, 1},
        {"xterm", "{guid}", RENDERER_LEGACY, HOST_WINDOWS, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(console_host_kind_for(c.term, c.wt_session), c.host_kind) << c.term;
        EXPECT_EQ(console_truecolour_for(c.renderer, c.term), c.truecolour) << c.term;
    }
}

TEST(ConsoleTitle, ControlBytesCannotEndOrStartAnEscape) {
    term_build_tables();
    char out[1100];
    int n = console_title_escape("Pelorin NG - evil\x07\x1b]0;owned\x1b\\", out, sizeof out);
    EXPECT_EQ(std::string(out, n), "\x1b]2;Pelorin NG - evil  ]0;owned \\\x07");
    n = console_title_escape("caf\x82", out, sizeof out); // CP437 e-acute goes out as UTF-8
    EXPECT_EQ(std::string(out, n), "\x1b]2;caf\xc3\xa9\x07");
}

} // namespace
