#include "platform/posix/print/recent_answer_posix.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace platform::posix {
namespace {

using namespace std::chrono_literals;
using Clock = RecentAnswer<int>::Clock;

// A clock the test sets, and a server whose answer is how many times it was asked and which
// takes `answering` of that clock to answer.
struct World {
    Clock::time_point now{10s};
    Clock::duration answering{};
    int asked = 0;

    auto Now() {
        return [this] { return now; };
    }
    auto Server() {
        return [this] {
            now += answering;
            return ++asked;
        };
    }
};

TEST(RecentAnswerTest, AnswersWithinTheMomentComeFromOneQuestion) {
    RecentAnswer<int> list(500ms);
    World world;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 1);
    world.now += 1ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 1);
    world.now += 498ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 1);
    EXPECT_EQ(world.asked, 1);
}

TEST(RecentAnswerTest, AnOldAnswerIsAskedForAgainAndKeptFromThen) {
    RecentAnswer<int> list(500ms);
    World world;
    list.Get(world.Now(), world.Server());
    // Exactly the moment's length is too old.
    world.now += 500ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 2);
    world.now += 499ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 2);
    world.now += 1ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 3);
}

TEST(RecentAnswerTest, ASlowAnswerCountsFromWhenItCame) {
    // A server that takes longer than the moment to answer: its answer is still fresh when
    // it comes, and the questions right after it are not asked again.
    RecentAnswer<int> queue(2s);
    World world;
    world.answering = 4s;
    EXPECT_EQ(queue.Get(world.Now(), world.Server()), 1);
    world.now += 10ms;
    EXPECT_EQ(queue.Get(world.Now(), world.Server()), 1);
    world.now += 1s;
    EXPECT_EQ(queue.Get(world.Now(), world.Server()), 1);
    EXPECT_EQ(world.asked, 1);
}

TEST(RecentAnswerTest, AClockThatWentBackAsksAgain) {
    RecentAnswer<int> list(500ms);
    World world;
    list.Get(world.Now(), world.Server());
    world.now -= 1ms;
    EXPECT_EQ(list.Get(world.Now(), world.Server()), 2);
}

TEST(RecentAnswerTest, TheFirstQuestionIsAlwaysAsked) {
    // Even at the clock's zero, when "the last question" would otherwise look recent.
    RecentAnswer<std::string> list(500ms);
    EXPECT_EQ(list.Get([] { return Clock::time_point{}; }, [] { return std::string("queues"); }),
              "queues");
}

}  // namespace
}  // namespace platform::posix
