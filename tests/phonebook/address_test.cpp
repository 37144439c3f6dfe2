// Address parsing and normalising.
#include <gtest/gtest.h>

#include "phonebook/address.h"

TEST(Address, Parse) {
    const struct {
        const char *text, *host;
        int port;
    } cases[] = {
        {"  bbs.example.org\t\r\n", "bbs.example.org", 23},
        {"telnet://bbs:2323/", "bbs", 2323},
        {"bbs    2323 extra", "bbs", 2323},
        {"bbs:4294969619", "bbs", 23}, // 2^32 + 2323 must not wrap to 2323
        {"fe80::1", "fe80::1", 23},
    };
    for (const auto &c : cases) {
        char host[256] = "unchanged";
        int port = -1;
        address_parse(c.text, host, sizeof host, &port);
        EXPECT_STREQ(host, c.host) << c.text;
        EXPECT_EQ(port, c.port) << c.text;
    }
}

TEST(Address, NormaliseDropsTheSchemeAndTheDefaultPort) {
    const char *cases[][2] = {{"telnet://bbs:23", "bbs"}, {"bbs:2323", "bbs 2323"}, {":2323", " 2323"}};
    for (const auto &c : cases) {
        char text[61];
        snprintf(text, sizeof text, "%s", c[0]);
        address_normalise(text, sizeof text);
        EXPECT_STREQ(text, c[1]) << c[0];
    }
}
