#include "platform/posix/print/whole_answer_reads_posix.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "testing/local_connection.hpp"

namespace platform::posix {
namespace {

using namespace std::chrono_literals;

// An answer as the print server writes it: its header, and a moment later its body.
const std::string kHeader(300, 'h');
const std::string kBody(24 * 1024, 'b');

// What one read of up to libcups' buffer brings while the server writes the header, then,
// after `pause`, the body.
size_t FirstRead(int ours, int server, std::chrono::milliseconds pause) {
    std::thread writer([&] {
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(send(server, kHeader.data(), kHeader.size(), 0), ssize_t(kHeader.size()));
        std::this_thread::sleep_for(pause);
        EXPECT_EQ(send(server, kBody.data(), kBody.size(), 0), ssize_t(kBody.size()));
    });
    std::string buffer(32 * 1024, '\0');
    const ssize_t read = recv(ours, buffer.data(), buffer.size(), 0);
    writer.join();
    return read > 0 ? size_t(read) : 0;
}

TEST(WholeAnswerReadsTest, HeldReadTakesTheBodyThatFollowsTheHeader) {
    LocalConnection connection;
    // A hold far longer than the pause: the read ends when the body is there, not when the
    // hold does.
    ASSERT_TRUE(HoldReads(connection.ours, 10s));
    EXPECT_GE(FirstRead(connection.ours, connection.server, 50ms),
              kHeader.size() + size_t(WholeAnswerReads::kLowWater));
}

TEST(WholeAnswerReadsTest, ShortAnswerComesWhenTheHoldEndsAndReleasedReadsWaitAsBefore) {
    LocalConnection connection;
    ASSERT_TRUE(HoldReads(connection.ours, 100ms));
    // Less than the low water mark, and nothing after it: the read does not wait for more.
    ASSERT_EQ(send(connection.server, kHeader.data(), kHeader.size(), 0), ssize_t(kHeader.size()));
    std::string buffer(32 * 1024, '\0');
    EXPECT_EQ(recv(connection.ours, buffer.data(), buffer.size(), 0), ssize_t(kHeader.size()));
    // With nothing at all, the held read gives up (libcups then reads again).
    EXPECT_EQ(recv(connection.ours, buffer.data(), buffer.size(), 0), -1);
    EXPECT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);

    // Released, reads neither wait for more nor give up.
    ReleaseReads(connection.ours);
    int lowWater = 0;
    socklen_t length = sizeof lowWater;
    ASSERT_EQ(getsockopt(connection.ours, SOL_SOCKET, SO_RCVLOWAT, &lowWater, &length), 0);
    EXPECT_EQ(lowWater, 1);
    timeval limit{.tv_sec = 1, .tv_usec = 1};
    length = sizeof limit;
    ASSERT_EQ(getsockopt(connection.ours, SOL_SOCKET, SO_RCVTIMEO, &limit, &length), 0);
    EXPECT_EQ(limit.tv_sec, 0);
    EXPECT_EQ(limit.tv_usec, 0);
}

TEST(WholeAnswerReadsTest, NetworkSocketsAndNoConnectionAreLeftAlone) {
    // Over TCP the low water mark would hold poll() back as well.
    const int tcp = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(tcp, 0);
    EXPECT_FALSE(HoldReads(tcp));
    int lowWater = 0;
    socklen_t length = sizeof lowWater;
    ASSERT_EQ(getsockopt(tcp, SOL_SOCKET, SO_RCVLOWAT, &lowWater, &length), 0);
    EXPECT_EQ(lowWater, 1);
    close(tcp);

    EXPECT_FALSE(HoldReads(-1));
    const WholeAnswerReads none(nullptr);
    EXPECT_FALSE(none.Holding());
}

}  // namespace
}  // namespace platform::posix
