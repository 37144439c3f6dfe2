#include <gtest/gtest.h>

#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "base/clock.h"
#include "input/event_wait.h"
#include "input/key_decode.h"
#include "input/keys.h"

namespace {

int g_socket_fd; // what the socket source reports: -1 while no call is connected

// A pipe stands in for the terminal and a socket pair for the connection.
class EventWaitTest : public ::testing::Test {
  protected:
    int keys[2], net[2];
    uint32_t key = 0;

    void SetUp() override {
        ASSERT_EQ(pipe(keys), 0);
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, net), 0);
        key_queue_clear(&g_key_queue);
        event_wait_set_input_fd(keys[0]);
        g_socket_fd = -1;
        event_wait_set_socket_source([] { return g_socket_fd; });
    }
    void TearDown() override {
        event_wait_set_socket_source(nullptr);
        event_wait_set_input_fd(-1);
        close(keys[0]), close(keys[1]), close(net[0]), close(net[1]);
    }
    void type(const std::string &s) { ASSERT_EQ(write(keys[1], s.data(), s.size()), (ssize_t)s.size()); }
    void host_sends() { ASSERT_EQ(write(net[1], "x", 1), 1); }
};

TEST_F(EventWaitTest, KeysWinAndTheSocketCountsOnlyWhenConnected) {
    host_sends();
    EXPECT_EQ(event_wait(0, &key), EVENT_TIMEOUT) << "no call is connected";
    g_socket_fd = net[0];
    type("a");
    EXPECT_EQ(event_wait(1000, &key), EVENT_KEY);
    EXPECT_EQ(event_wait_for_key(30, &key), EVENT_TIMEOUT) << "a wait for keys leaves the socket out";
    EXPECT_EQ(event_wait(30, &key), EVENT_NETWORK);
}

TEST_F(EventWaitTest, LoneEscFromAPollArrivesOnALaterPoll) {
    type("\x1b");
    EXPECT_EQ(event_wait(0, &key), EVENT_TIMEOUT) << "the Esc may still start a sequence";
    clock_sleep_ms(KEY_DECODE_LONE_ESC + 10);
    EXPECT_EQ(event_wait(0, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)KEY_ESC);
}

// A paste far longer than the key queue: the terminal keeps what the queue cannot take yet.
TEST_F(EventWaitTest, PasteLongerThanTheKeyQueueArrivesWholeAndInOrder) {
    std::string paste, got;
    for (int i = 0; i < 300; i++) paste += (char)('a' + i % 26);
    type(paste);
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
    EXPECT_EQ(event_wait_for_key(0, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)KEY_ESC);
    EXPECT_EQ(event_wait_for_key(100, &key), EVENT_KEY);
    EXPECT_EQ(key, (uint32_t)'h');
}

} // namespace
