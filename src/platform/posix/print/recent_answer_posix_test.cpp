#include "platform/posix/print/recent_answer_posix.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace platform::posix {
namespace {

using namespace std::chrono_literals;
using Clock = RecentAnswer<int>::Clock;

// Asks a question whose answer is how many times it was asked.
struct Server {
    int asked = 0;
    int operator()() { return ++asked; }
};

TEST(RecentAnswerTest, AnswersWithinTheMomentComeFromOneQuestion) {
    RecentAnswer<int> list(500ms);
    Server server;
    const Clock::time_point start{10s};
    EXPECT_EQ(list.Get(start, std::ref(server)), 1);
    EXPECT_EQ(list.Get(start + 1ms, std::ref(server)), 1);
    EXPECT_EQ(list.Get(start + 499ms, std::ref(server)), 1);
    EXPECT_EQ(server.asked, 1);
}

TEST(RecentAnswerTest, AnOldAnswerIsAskedForAgainAndKeptFromThen) {
    RecentAnswer<int> list(500ms);
    Server server;
    const Clock::time_point start{10s};
    list.Get(start, std::ref(server));
    // Exactly the moment's length is too old; the new answer's moment starts when it is asked.
    EXPECT_EQ(list.Get(start + 500ms, std::ref(server)), 2);
    EXPECT_EQ(list.Get(start + 999ms, std::ref(server)), 2);
    EXPECT_EQ(list.Get(start + 1000ms, std::ref(server)), 3);
}

TEST(RecentAnswerTest, AClockThatWentBackAsksAgain) {
    RecentAnswer<int> list(500ms);
    Server server;
    const Clock::time_point start{10s};
    list.Get(start, std::ref(server));
    EXPECT_EQ(list.Get(start - 1ms, std::ref(server)), 2);
}

TEST(RecentAnswerTest, TheFirstQuestionIsAlwaysAsked) {
    // Even at the clock's zero, when "the last question" would otherwise look recent.
    RecentAnswer<std::string> list(500ms);
    EXPECT_EQ(list.Get(Clock::time_point{}, [] { return std::string("queues"); }), "queues");
}

}  // namespace
}  // namespace platform::posix
