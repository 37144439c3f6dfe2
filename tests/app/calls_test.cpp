// Calls against a real socket on 127.0.0.1: answers and replies only while online, the per-turn
// read limit, the entry's login, and leaving while online. (Failures, Esc, the host closing and the
// hang-up question are checked end to end in tests/e2e/test_calls_*.py.)
#include <gtest/gtest.h>

#include <cstring>

#include "app/calls.h"
#include "app/compose.h"
#include "app/connection.h"
#include "app/main_loop.h"
#include "app/status_bar.h"
#include "display/console.h"
#include "input/keys.h"
#include "net/telnet.h"
#include "net/transport.h"
#include "phonebook/phonebook.h"
#include "settings/settings.h"
#include "term/terminal.h"
#include "tests/app/loopback_host.h"
#include "tests/ui/script_keys.h"
#include "ui/toolkit.h"

namespace {

std::string g_screen_output; // everything presented, as written to the terminal
int g_received_bytes;

void capture_output(const uint8_t *bytes, int length) {
    g_screen_output.append((const char *)bytes, (size_t)length);
    g_script.presents++;
}

int counting_receive(uint8_t *buffer, int max) {
    int n = transport_receive(buffer, max);
    if (n > 0) g_received_bytes += n;
    return n;
}

class CallTest : public ::testing::Test {
  protected:
    LoopbackHost host;

    void SetUp() override {
        term_build_tables();
        settings_set_defaults(&g_settings);
        g_settings.show_blink = 0;
        g_connection = ConnectionState{0, 0, "", "", 23, -1, 0, EMU_ANSI, 0};
        g_compose = ComposeState{};
        display_mode_switch(EMU_ANSI, 1);
        term_create(&g_terminal, EMU_ANSI, 24, 0);
        g_ui_hooks = UiHooks{compose_frame, compose_frame, status_bar_refresh_clock};
        script_start({});
        console_set_writer(capture_output);
        g_screen_output.clear();
        telnet_hooks_reset();
        g_telnet_hooks.receive = counting_receive;
        g_received_bytes = 0;
        LocalTime at = {2026, 3, 4, 9, 15, 0};
        clock_fake_set_local(&at);
        g_main_loop.blink_ms = clock_ms();
    }
    void TearDown() override {
        call_hang_up();
        loopback_close(&host);
        EXPECT_FALSE(g_script.ran_dry);
        script_stop();
        telnet_hooks_reset();
        g_ui_hooks = UiHooks{};
        term_release(&g_terminal);
    }

    void connect(int emulation = EMU_ANSI) {
        ASSERT_TRUE(loopback_open(&host));
        ASSERT_EQ(call_place("", "127.0.0.1", host.port, emulation), 1);
        ASSERT_TRUE(loopback_accept(&host));
    }
    // Turns until the host's bytes have all been read (the socket may deliver them in pieces).
    void turns_until_read(int total) {
        for (int i = 0; i < 200 && g_received_bytes < total && g_connection.connected; i++) main_loop_turn();
    }
    bool shown(const char *text) const { return g_screen_output.find(text) != std::string::npos; }
};

TEST_F(CallTest, TelnetAnswersAndTerminalRepliesGoOutOnlyWhileOnline) {
    connect(EMU_VT100);
    // DO TTYPE, then SEND: the answer names the emulation; then a cursor position query.
    std::string query = "\xff\xfd\x18\xff\xfa\x18\x01\xff\xf0\x1b[6n";
    loopback_send(&host, query);
    turns_until_read((int)query.size());
    std::string expected = "\xff\xfb\x18\xff\xfa\x18" + std::string(1, '\0') + "VT100\xff\xf0\x1b[1;1R";
    EXPECT_EQ(loopback_receive(&host, 1000, expected.size()), expected);

    call_hang_up();
    uint8_t reply[] = "\x1b[0n";
    call_send_reply(reply, 4); // offline: dropped, and nothing breaks
    EXPECT_EQ(g_connection.connected, 0);
    EXPECT_EQ(loopback_receive(&host, 200), "");
}

TEST_F(CallTest, OneTurnReadsAtMost32KiBAndStillTakesTheKey) {
    connect();
    std::string flood;
    while (flood.size() < 120000)
        flood += "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRST\r\n";
    loopback_send(&host, flood);
    usleep(50000); // all of it waiting on the client's side before the turn
    g_script.keys = {'k'};
    main_loop_turn();
    EXPECT_GE(g_received_bytes, CALL_TURN_BYTES);
    EXPECT_LT(g_received_bytes, CALL_TURN_BYTES + CALL_READ_BLOCK);
    EXPECT_EQ(loopback_receive(&host, 1000, 1), "k");
}

TEST_F(CallTest, LoginNameAndPasswordOfTheCurrentEntry) {
    g_phonebook = phonebook_create();
    ASSERT_NE(g_phonebook, nullptr);
    strcpy(g_phonebook->entries[3].login, "sysop");
    strcpy(g_phonebook->entries[3].password, "secret");
    connect();
    g_script.keys = {key_alt('w'), key_alt('p')}; // no current entry: nothing
    main_loop_turn();
    main_loop_turn();
    g_connection.current_entry = 3;
    g_script.keys = {key_alt('w'), key_alt('p')};
    main_loop_turn();
    main_loop_turn();
    EXPECT_EQ(loopback_receive(&host, 1000, 13), "sysop\rsecret\r");
    phonebook_destroy(g_phonebook);
    g_phonebook = nullptr;
}

TEST_F(CallTest, ExitWhileOnlineMentionsTheCallAndHangsUp) {
    connect();
    g_script.keys = {key_alt('x'), KEY_ENTER};
    main_loop_turn();
    EXPECT_TRUE(shown("You are still connected."));
    EXPECT_TRUE(shown("Hang up and exit Pelorin NG?"));
    EXPECT_EQ(g_connection.quit, 1);
    EXPECT_EQ(g_connection.connected, 0);
}

} // namespace
