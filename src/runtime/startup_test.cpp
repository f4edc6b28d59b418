#include "runtime/startup.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "console/console_state.hpp"
#include "platform/process.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class StartupTest : public SimRuntimeTest {};

TEST(CommandTail, SkipsTheProgramPathTheWayWindowsPassesIt) {
    struct Case {
        const char* commandLine;
        const char* tail;
    } cases[] = {
        {R"("C:\Program Files\VIRODARO.EXE"  /SHOW)", "/SHOW"},
        {R"("C:\VIRODARO.EXE"/SHOW)", "/SHOW"},
        {"VIRODARO.EXE", ""},
        {"VIRODARO.EXE   a  b ", "a  b "},
        {"VIRODARO.EXE\t/SHOW", "\t/SHOW"},  // a tab ends the path and starts the tail
        {R"("C:\unclosed path /SHOW)", ""},
        {"   /SHOW", "/SHOW"},
        {"", ""},
        {"\"\"", ""},
        {"x\xE9t\xE9.exe /a", "/a"},  // bytes above 127 belong to the path
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(RtSkipProgramPath(c.commandLine)), c.tail) << c.commandLine;
    }
}

TEST(ControlHandler, HandlesCtrlCCtrlBreakAndCloseOnly) {
    EXPECT_TRUE(RtCtrlHandler(0));
    EXPECT_TRUE(RtCtrlHandler(1));
    EXPECT_TRUE(RtCtrlHandler(2));
    EXPECT_FALSE(RtCtrlHandler(5));  // log-off
    EXPECT_FALSE(RtCtrlHandler(6));  // shut-down
}

TEST_F(StartupTest, ConsoleOutputIsStandardOutputWhenThatIsTheConsole) {
    EXPECT_EQ(gConsole.conOut, gConsole.stdOut);
    EXPECT_EQ(sim::ConsoleMode(gConsole.conOut), 3u);
    EXPECT_EQ(sim::ConsoleMode(gConsole.stdIn), 0u);
    EXPECT_EQ(gConsole.cursorInfo.size, 25u);  // the console's own shape is kept
}

TEST_F(StartupTest, RedirectedStandardOutputLeavesTheCellsToStandardError) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    EXPECT_EQ(gConsole.conOut, platform::GetStdHandle(platform::StdHandle::kError));
    EXPECT_EQ(sim::ConsoleMode(gConsole.conOut), 3u);
}

TEST_F(StartupTest, UnusableCursorShapeBecomesTenPercentVisible) {
    StartRuntime({.cursor = {0, false}});
    EXPECT_EQ(gConsole.cursorInfo.size, 10u);
    EXPECT_TRUE(gConsole.cursorInfo.visible);
    EXPECT_EQ(sim::CursorShape().size, 10u);
}

TEST_F(StartupTest, PreparesTheProcessValues) {
    sim::SetCommandLine(R"("C:\VIRODARO.EXE"  /SHOW)");
    ASSERT_TRUE(RtPrepareProcess());
    EXPECT_STREQ(RtCommandTail, "/SHOW");
    EXPECT_EQ(RtShowWindow, 10);  // no STARTF_USESHOWWINDOW
    EXPECT_EQ(RtOsVersion.platformId, 2u);

    sim::SetStartupInfo(
        {platform::kStartfUseShowWindow | platform::kStartfUseStdHandles, 3, 0x71, 0x72, 0x73});
    ASSERT_TRUE(RtPrepareProcess());
    EXPECT_EQ(RtShowWindow, 3);
    EXPECT_EQ(gConsole.stdIn, 0x71u);
    EXPECT_EQ(gConsole.stdOut, 0x72u);
    EXPECT_NE(gConsole.conOut, 0x72u);  // the cell target is not derived again
}

// The frame's 64-bit x87 precision is for the number conversions alone: float and double
// arithmetic rounds every step to its own type, once, from the exact result, on every
// processor. Where it ran on the x87 (i386's default), each case would come out otherwise.
TEST_F(StartupTest, FloatAndDoubleArithmeticRoundsEachStepInItsOwnType) {
    RtFrameSetup();
    // 1 + 2^-53 + 2^-78 lies just above halfway to the next double and rounds up; rounded
    // first to a 64-bit significand it would stand exactly halfway and go to even, down.
    volatile double one = 1, justOverHalfAnUlp = 0x1p-53 + 0x1p-78;
    EXPECT_EQ(one + justOverHalfAnUlp, 1 + 0x1p-52);
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24: the last term is half a float's last place, so the
    // product rounds to even, and nothing of it is left once 1 is taken away.
    volatile float slightlyOverOne = 0x1.001p0f;
    EXPECT_EQ(slightlyOverOne * slightlyOverOne - 1.0f, 0x1p-11f);
    // Past the largest double is infinity at once, not a value that a wider exponent keeps.
    volatile double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(largest * 2 / 2, std::numeric_limits<double>::infinity());
}

TEST(StartupDeathTest, EndsWith255WhenThePerThreadBlockCannotBeMade) {
    sim::Reset();
    sim::SetTlsExhausted(true);
    EXPECT_EXIT(RtStartup(), ::testing::ExitedWithCode(255), "");
}

TEST(StartupDeathTest, AnswersHelpBeforeTheProcessIsPrepared) {
    sim::Reset();
    sim::SetCommandLineConvention(platform::OptionConvention::kGnuStandardOptions);
    sim::SetCommandLine("virodaro --help");
    sim::SetTlsExhausted(true);  // preparing the process would end it with 255
    EXPECT_EXIT(RtStartup(), ::testing::ExitedWithCode(0), "");
}

TEST(StartupDeathTest, EndsWithTheMainRoutinesResult) {
    sim::Reset();
    EXPECT_EXIT(RtStartup(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
