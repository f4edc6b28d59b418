#include "files/system.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.hpp"
#include "runtime/startup.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class SystemTest : public SimRuntimeTest {
  protected:
    static std::string Argument(const char* tail, int32_t n) {
        RtCommandTail = tail;
        return std::string(SysCommandLine(n).Bytes());
    }
};

TEST_F(SystemTest, CommandTailSplitsAtBlanksAndDoubleQuotes) {
    EXPECT_EQ(Argument("/SHOW", 0), "/SHOW");
    EXPECT_EQ(Argument("a \"b c\" \"\" d", 0), "a \"b c\" \"\" d");
    EXPECT_EQ(Argument("a \"b c\" \"\" d", 1), "a");
    EXPECT_EQ(Argument("a \"b c\" \"\" d", 2), "b c");
    EXPECT_EQ(Argument("a \"b c\" \"\" d", 3), "d");  // the empty pair counts for nothing
    EXPECT_EQ(Argument("a \"b c\" \"\" d", 4), "");
    EXPECT_EQ(Argument("x\"y z\"", 1), "x\"y");  // quotes inside an argument stay
    EXPECT_EQ(Argument("x\"y z\"", 2), "z\"");
    EXPECT_EQ(Argument("\"never closed  here", 1), "never closed  here");
    EXPECT_EQ(Argument("\"ab\"cd", 2), "cd");  // scanning goes on after the quote
    EXPECT_EQ(Argument("a\tb c", 1), "a\tb");  // a tab separates nothing
    EXPECT_EQ(Argument("a", -1), "");
    EXPECT_EQ(Argument("", 1), "");
}

TEST_F(SystemTest, EnvironmentValuesAreReadWhole) {
    sim::SetEnvironment("COMSPEC", "C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_EQ(SysEnviron("COMSPEC"), Text("C:\\WINDOWS\\system32\\cmd.exe"));
    EXPECT_TRUE(SysEnviron("UNSET").Empty());
    EXPECT_EQ(RtErrorNumber(), 0);

    const std::string longValue(20000, 'v');
    sim::SetEnvironment("LONG", longValue);
    EXPECT_EQ(SysEnviron("LONG").Length(), longValue.size());
    sim::SetEnvironment("EDGE", std::string(7916, 'e'));  // one more than the first buffer holds
    EXPECT_EQ(SysEnviron("EDGE").Length(), 7916u);
}

TEST_F(SystemTest, ShellWaitsForTheChildAndReturnsItsExitCode) {
    sim::SetChildExitCode(3);
    EXPECT_EQ(SysShell("cmd.exe /k echo hi", 0x8001, false), 3);
    ASSERT_EQ(sim::Children().size(), 1u);
    const sim::ChildRun& run = sim::Children()[0];
    EXPECT_EQ(run.commandLine, "cmd.exe /k echo hi");
    EXPECT_EQ(run.arguments, (std::vector<std::string>{"cmd.exe", "/k", "echo", "hi"}));
    EXPECT_EQ(run.showWindow, 1);
    EXPECT_FALSE(run.inheritHandles);
    EXPECT_TRUE(run.waitedFor);
    EXPECT_EQ(sim::OpenHandles(), 0);
}

TEST_F(SystemTest, ShellWithoutWaitingReturnsTheProcessId) {
    EXPECT_EQ(SysShell("notepad", 1, true), 4001);
    EXPECT_FALSE(sim::Children()[0].waitedFor);
    EXPECT_TRUE(sim::Children()[0].inheritHandles);
    EXPECT_EQ(sim::OpenHandles(), 0);
}

TEST_F(SystemTest, AProgramThatCannotBeStartedRaisesItsError) {
    sim::FailNextChild(2);  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(SysShell("nothing-here", 0x8001, false), 0);
    EXPECT_EQ(RtErrorNumber(), 53);
    EXPECT_TRUE(sim::Children().empty());
}

TEST_F(SystemTest, ALongCommandLineIsNotCut) {
    const std::string line = "prog " + std::string(300, 'a');
    SysShell(Text(std::string_view(line)), 0x8001, false);
    EXPECT_EQ(sim::Children()[0].commandLine, line);
}

TEST_F(SystemTest, TimeOfDayHasTwoDigitsEach) {
    sim::SetLocalTime({2026, 12, 2, 8, 9, 5, 3, 0});
    EXPECT_EQ(SysTime(), Text("09:05:03"));
    sim::SetLocalTime({2026, 12, 2, 8, 23, 59, 58, 999});
    EXPECT_EQ(SysTime(), Text("23:59:58"));
}

}  // namespace
