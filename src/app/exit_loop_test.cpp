#include "app/exit_loop.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/console_state.hpp"
#include "console/output.hpp"
#include "platform/console.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class ExitLoopTest : public SimRuntimeTest {
  protected:
    void SetUp() override {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::SetEnvironment("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
    }
    // Runs the loop; true when it ended having taken every queued record but `left`.
    static bool EndsWith(int left = 0) {
        AppExitLoop();
        return sim::QueuedInput() == left;
    }
};

TEST_F(ExitLoopTest, ShowsHowToLeaveAndSwitchesTheMouseAndCursorOn) {
    ConCursor(0);
    sim::PushKeyPress('\r', 28);
    AppExitLoop();
    EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kOutput),
              " \r\n            [ESC],[ENTER] and [Left Mouse Click] will Exit Program\r\n \r\n");
    EXPECT_EQ(gConsole.mouseSettings, 0x800F0007u);
    EXPECT_EQ(sim::ConsoleMode(gConsole.stdIn), platform::kInputMouse);
    EXPECT_TRUE(sim::CursorShape().visible);
}

TEST_F(ExitLoopTest, EndsOnEnterEscAndAltQ) {
    sim::PushKeyPress('\r', 28);
    EXPECT_TRUE(EndsWith(1));  // the Enter key's release is still queued
    sim::Reset({.stdOutput = sim::Stream::kRedirected});
    sim::PushKeyPress(0, 1);  // Esc, as consoles that give it no character report it
    EXPECT_TRUE(EndsWith(1));
    sim::Reset({.stdOutput = sim::Stream::kRedirected});
    sim::PushKeyPress('q', 16, platform::kLeftAltPressed);
    EXPECT_TRUE(EndsWith(1));
}

TEST_F(ExitLoopTest, OtherKeysAndMouseEventsAreDropped) {
    sim::PushKeyPress('q', 16);  // q without Alt
    sim::PushKeyPress('Q', 16, platform::kShiftPressed);
    sim::PushKeyPress(0, 42);  // Shift alone
    sim::PushMouse(5, 5, 0, platform::kMouseMoved);
    sim::PushMouse(5, 5, 0x00780000, platform::kMouseWheeled);
    sim::PushMouse(5, 5, 0x1);  // left press: not yet
    sim::PushMouse(5, 5, 0x0);  // left release: leave
    sim::PushKeyPress('x', 45);
    EXPECT_TRUE(EndsWith(2));
    EXPECT_TRUE(sim::Children().empty());
}

TEST_F(ExitLoopTest, ADoubleClickEndsAtTheFirstRelease) {
    sim::PushMouse(1, 1, 0x1);
    sim::PushMouse(1, 1, 0x0);
    sim::PushMouse(1, 1, 0x1, platform::kDoubleClick);
    sim::PushMouse(1, 1, 0x0);
    EXPECT_TRUE(EndsWith(2));
}

TEST_F(ExitLoopTest, MiddleReleaseEnds) {
    sim::PushMouse(1, 1, 0x4);
    sim::PushMouse(1, 1, 0x0);
    EXPECT_TRUE(EndsWith());
    EXPECT_TRUE(sim::Children().empty());
}

TEST_F(ExitLoopTest, RightReleaseRunsTheCommandInterpreterAndWaitsForIt) {
    sim::PushMouse(1, 1, 0x2);
    sim::PushMouse(1, 1, 0x0);
    EXPECT_TRUE(EndsWith());
    ASSERT_EQ(sim::Children().size(), 1u);
    EXPECT_EQ(sim::Children()[0].commandLine, "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ(sim::Children()[0].showWindow, 1);
    EXPECT_TRUE(sim::Children()[0].waitedFor);
}

TEST_F(ExitLoopTest, AMissingCommandInterpreterStillEndsTheLoop) {
    sim::Reset({.stdOutput = sim::Stream::kRedirected});
    sim::FailNextChild(2);
    sim::PushMouse(1, 1, 0x2);
    sim::PushMouse(1, 1, 0x0);
    EXPECT_TRUE(EndsWith());
    EXPECT_EQ(RtErrorNumber(), 53);
}

TEST_F(ExitLoopTest, WithoutConsoleInputTheLoopEndsAtOnce) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected, .consoleInput = false});
    AppExitLoop();
    EXPECT_EQ(sim::InputWaits(), 0);
}

}  // namespace
