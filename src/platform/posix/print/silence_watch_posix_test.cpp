#include "platform/posix/print/silence_watch_posix.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "testing/local_connection.hpp"

namespace platform::posix {
namespace {

using namespace std::chrono_literals;

// Sends until the peer stops taking data or the connection fails; the bytes that went out.
size_t SendUntilFailure(int fd, size_t most) {
    const std::string chunk(64 * 1024, 'x');
    size_t sent = 0;
    while (sent < most) {
        const ssize_t written = send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        sent += static_cast<size_t>(written);
    }
    return sent;
}

TEST(SilenceWatchTest, SilentServerEndsTheWaitForAnAnswerAndForTakingARequest) {
    {
        LocalConnection connection;
        std::atomic<int> silences{0};
        SilenceWatch watch(connection.ours, 100ms, [&] { ++silences; });
        ASSERT_TRUE(watch.Watching());
        char byte;
        // Without the watch this read would never return.
        EXPECT_EQ(recv(connection.ours, &byte, 1, 0), 0);
        EXPECT_EQ(silences, 1);
    }
    {
        LocalConnection connection;
        std::atomic<int> silences{0};
        SilenceWatch watch(connection.ours, 100ms, [&] { ++silences; });
        // The server takes nothing: once its socket is full, the send fails instead of
        // blocking for good.
        constexpr size_t kDocument = 64 * 1024 * 1024;
        EXPECT_LT(SendUntilFailure(connection.ours, kDocument), kDocument);
        EXPECT_EQ(silences, 1);
    }
}

TEST(SilenceWatchTest, ServerThatKeepsTalkingOrTakingIsNotCutOff) {
    // Each pause is far shorter than the bound; all of them together are longer.
    constexpr auto kBound = 1s;
    constexpr auto kPause = 20ms;
    constexpr int kPauses = 75;
    {
        LocalConnection connection;
        std::atomic<int> silences{0};
        std::thread server([&] {
            for (int i = 0; i < kPauses; ++i) {
                std::this_thread::sleep_for(kPause);
                EXPECT_EQ(send(connection.server, "a", 1, MSG_NOSIGNAL), 1);
            }
            shutdown(connection.server, SHUT_WR);
        });
        int received = 0;
        {
            SilenceWatch watch(connection.ours, kBound, [&] { ++silences; });
            char byte;
            while (recv(connection.ours, &byte, 1, 0) == 1)
                ++received;
        }
        server.join();
        EXPECT_EQ(received, kPauses);
        EXPECT_EQ(silences, 0);
    }
    {
        LocalConnection connection;
        std::atomic<int> silences{0};
        std::atomic<bool> sending{true};
        // The server takes the document slowly, a little at a time.
        std::thread server([&] {
            char buffer[64 * 1024];
            while (sending) {
                std::this_thread::sleep_for(kPause);
                if (recv(connection.server, buffer, sizeof buffer, MSG_DONTWAIT) == 0) break;
            }
        });
        constexpr size_t kDocument = 5 * 1024 * 1024;
        size_t sent = 0;
        {
            SilenceWatch watch(connection.ours, kBound, [&] { ++silences; });
            sent = SendUntilFailure(connection.ours, kDocument);
        }
        sending = false;
        server.join();
        EXPECT_EQ(sent, kDocument);
        EXPECT_EQ(silences, 0);
    }
}

}  // namespace
}  // namespace platform::posix
