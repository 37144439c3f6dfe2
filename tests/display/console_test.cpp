// Console choices from the environment, and the title escape that a host's text must not break.
#include <gtest/gtest.h>

#include <string>

#include "display/console.h"
#include "settings/settings.h"
#include "term/terminal.h"

namespace {

TEST(ConsoleChoices, HostKindAndRendererFollowTheEnvironment) {
    EXPECT_EQ(console_host_kind_for("xterm", "{guid}"), HOST_WINDOWS);
    EXPECT_EQ(console_host_kind_for("linux", ""), HOST_LEGACY) << "an empty WT_SESSION";
    EXPECT_EQ(console_truecolour_for(RENDERER_AUTO, "linux"), 0);
    EXPECT_EQ(console_truecolour_for(RENDERER_AUTO, "xterm-256color"), 1);
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
