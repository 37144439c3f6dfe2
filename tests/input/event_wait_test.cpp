#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "base/clock.h"
#include "input/event_wait.h"
#include "input/key_decode.h"
#include "input/keys.h"

namespace {

// Real descriptors stand in for the terminal and the socket: a pipe for the key bytes and a
// socket pair for the connection.
class EventWaitTest : public ::testing::Test {
  protected:
    int keys[2];
    int net[2];
    static int socket_fd;
    static int ready_fd() { return socket_fd; }

    void SetUp() override {
        ASSERT_EQ(pipe(keys), 0);
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, net), 0);
        key_queue_clear(&g_key_queue);
        event_wait_set_input_fd(keys[0]);
        socket_fd = -1;
        event_wait_set_socket_source(ready_fd);
    }
    void TearDown() override {
        event_wait_set_socket_source(nullptr);
        event_wait_set_input_fd(-1);
        close(keys[0]), close(keys[1]), close(net[0]), close(net[1]);
    }
    void type(const char *bytes) { ASSERT_EQ(write(keys[1], bytes, strlen(bytes)), (ssize_t)strlen(bytes)); }
    void host_sends() { ASSERT_EQ(write(net[1], "x", 1), 1); }
};
int EventWaitTest::socket_fd = -1;

TEST_F(EventWaitTest, KeysWinOverNetworkActivity) {
    socket_fd = net[0];
    host_sends();
    type("ab");
    uint32_t key;
    EXPECT_EQ(event_wait(0, &key), EVENT_KEY);
    EXPECT_EQ(key, 'a');
    EXPECT_EQ(event_wait(1000, &key), EVENT_KEY);
    EXPECT_EQ(key, 'b');
    EXPECT_EQ(event_wait(1000, &key), EVENT_NETWORK);
    EXPECT_EQ(key, 0u);
}

// The graphics window's events cannot be polled: the wait looks at them every few milliseconds.
int g_pumps;
int window_key_after_five_pumps() {
    if (++g_pumps == 5) key_queue_push(&g_key_queue, key_alt('x'));
    return 1;
}

TEST_F(EventWaitTest, WindowKeysArriveWithinAFewMilliseconds) {
    g_pumps = 0;
    event_wait_set_window_pump(window_key_after_five_pumps);
    uint32_t key, start = clock_ms();
    EXPECT_EQ(event_wait_for_key(2000, &key), EVENT_KEY);
    EXPECT_EQ(key, key_alt('x'));
    EXPECT_LT(clock_ms() - start, 500u); // not one 250 ms slice per pump
    event_wait_set_window_pump(nullptr);
}

TEST_F(EventWaitTest, SocketIsLeftOutWhileNoneIsConnectedAndForKeyOnlyWaits) {
    host_sends();
    uint32_t key;
    EXPECT_EQ(event_wait(0, &key), EVENT_TIMEOUT); // the source reports no connected socket
    socket_fd = net[0];
    EXPECT_EQ(event_wait_for_key(30, &key), EVENT_TIMEOUT);
    EXPECT_EQ(event_wait(30, &key), EVENT_NETWORK);
}

// A waiting call settles a lone ESC by itself; a zero-timeout poll leaves it to a later poll.
TEST_F(EventWaitTest, LoneEscIsDeliveredWithoutMoreInput) {
    uint32_t key;
    type("\x1b");
    EXPECT_EQ(event_wait(1000, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)KEY_ESC);
    type("\x1b");
    EXPECT_EQ(event_wait(0, &key), EVENT_TIMEOUT); // the ESC may still start a sequence
    clock_sleep_ms(KEY_DECODE_LONE_ESC + 10);
    EXPECT_EQ(event_wait(0, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)KEY_ESC);
}

TEST_F(EventWaitTest, ResizeSignalQueuesTheResizeKeyAfterTheHook) {
    static int hook_calls;
    hook_calls = 0;
    event_wait_open();
    event_wait_set_resize_hook([] { hook_calls++; });
    raise(SIGWINCH);
    uint32_t key;
    EXPECT_EQ(event_wait(1000, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)KEY_RESIZE);
    EXPECT_EQ(hook_calls, 1);
    event_wait_set_resize_hook(nullptr);
    event_wait_close();
}

// A paste far longer than the key queue: the terminal keeps what the queue cannot take yet.
TEST_F(EventWaitTest, PasteLongerThanTheKeyQueueArrivesWholeAndInOrder) {
    std::string paste, got;
    for (int i = 0; i < 300; i++) paste += (char)('a' + i % 26);
    type(paste.c_str());
    uint32_t key;
    while (event_wait(100, &key) == EVENT_KEY) got += (char)key;
    EXPECT_EQ(got, paste);
}

// Waits that do not take keys (notices, connecting, a stalled send) still read the terminal, so an
// Esc and a letter typed 200 ms later stay two keys instead of becoming Alt with the letter.
TEST_F(EventWaitTest, EscThenALetterDuringALongWaitStayTwoKeys) {
    type("\x1b");
    EXPECT_EQ(event_wait_fd(-1, 0, 200), 0);
    type("h");
    host_sends();
    EXPECT_EQ(event_wait_fd(net[0], POLLIN, 1000), POLLIN); // the descriptor ends the wait
    uint32_t esc, h;
    EXPECT_EQ(event_wait_for_key(0, &esc) + event_wait_for_key(100, &h), 2 * EVENT_KEY);
    EXPECT_EQ(esc, (uint32_t)KEY_ESC);
    EXPECT_EQ(h, (uint32_t)'h');
}

} // namespace
