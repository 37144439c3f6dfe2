// Address parsing, formatting and normalising.
#include <gtest/gtest.h>

#include <string>

#include "phonebook/address.h"

TEST(Address, Parse) {
    const struct {
        const char *text, *host;
        int port;
    } cases[] = {
        {"  bbs.example.org\t\r\n", "bbs.example.org", 23},
        {"telnet://bbs:2323/", "bbs", 2323},
        {"bbs    2323 extra", "bbs", 2323},
        {"bbs:70000", "bbs", 23},
        {"bbs:4294969619", "bbs", 23}, // 2^32 + 2323 must not wrap to 2323
        {"fe80::1", "fe80::1", 23},
        {"bbs:65535", "bbs", 65535},
    };
    for (const auto &c : cases) {
        char host[256] = "unchanged";
        int port = -1;
        address_parse(c.text, host, sizeof host, &port);
        EXPECT_STREQ(host, c.host) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
    char host[8];
    int port;
    address_parse((std::string(400, 'h') + ":2323").c_str(), host, sizeof host, &port);
    EXPECT_STREQ(host, "hhhhhhh");
    EXPECT_EQ(port, 23); // only the first 255 characters are looked at: the port is beyond them
}

TEST(Address, FormatAndNormalise) {
    const struct {
        const char *text, *normalised;
    } cases[] = {
        {"telnet://bbs:23", "bbs"},
        {"bbs:2323", "bbs 2323"},
        {":2323", " 2323"},
    };
    for (const auto &c : cases) {
        char text[61];
        snprintf(text, sizeof text, "%s", c.text);
        address_normalise(text, sizeof text);
        EXPECT_STREQ(text, c.normalised) << c.text;
    }
    char out[10];
    address_format(out, sizeof out, "longhostname", 2323);
    EXPECT_STREQ(out, "longhostn");
}
