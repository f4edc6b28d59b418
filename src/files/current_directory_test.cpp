#include "files/current_directory.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class CurrentDirectoryTest : public SimRuntimeTest {};

TEST_F(CurrentDirectoryTest, TheCurrentDirectoryComesWholeHoweverLong) {
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
    std::string deep = "C:\\WORK";
    while (deep.size() < 600)
        deep += "\\LEVEL";
    sim::EnterDirectory(deep);
    EXPECT_EQ(SysCurDir(Text()), Text(deep));
    SysChDir("C:\\");
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\"));  // a root keeps its separator
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(CurrentDirectoryTest, ADriveTextGivesThatDrivesDirectoryAndKeepsTheProcesss) {
    sim::AddDirectory("D:\\DATA");
    SysChDir("D:\\DATA");
    SysChDir("C:\\WORK");
    EXPECT_EQ(SysCurDir("d"), Text("D:\\DATA"));
    EXPECT_EQ(SysCurDir("Drive letter first"), Text("D:\\DATA"));
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
    EXPECT_EQ(RtErrorNumber(), 0);

    EXPECT_TRUE(SysCurDir("Q").Empty());
    EXPECT_EQ(RtErrorNumber(), 76);
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
}

TEST_F(CurrentDirectoryTest, AFailingReadRaisesItsErrorAndGivesTheEmptyText) {
    sim::FailNextCall(sim::FileCall::kGetCurrentDirectory, platform::kErrorNotEnoughMemory);
    EXPECT_TRUE(SysCurDir(Text()).Empty());
    EXPECT_EQ(RtErrorNumber(), 7);
}

TEST_F(CurrentDirectoryTest, ChangingToTheCurrentDirectoryChangesNothing) {
    SysChDir(SysCurDir(Text()));
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(CurrentDirectoryTest, ChangingToWhatIsNoDirectoryRaises76) {
    sim::AddFile("A.TXT", "");
    for (const Text& path :
         {Text("MISSING"), Text("NO\\SUCH"), Text("A.TXT"), Text("*"), Text("C:\\WO?K"), Text()}) {
        RtErrorFrame errors;
        SysChDir(path);
        EXPECT_EQ(RtErrorNumber(), 76) << path.Bytes();
    }
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
}

TEST_F(CurrentDirectoryTest, APathTheOsCannotTakeWholeRaises64) {
    SysChDir(Text(std::string(platform::MaxPathLength() + 1, 'A')));
    EXPECT_EQ(RtErrorNumber(), 64);
    RtErrorFrame other;
    sim::FailNextCall(sim::FileCall::kSetCurrentDirectory, platform::kErrorAccessDenied);
    SysChDir("C:\\");
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(SysCurDir(Text()), Text("C:\\WORK"));
}

}  // namespace
