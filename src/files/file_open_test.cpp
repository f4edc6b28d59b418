#include "files/file_open.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

constexpr FileModeWord kRead = 0x1A1;   // input, read access, explicit, no sharing
constexpr FileModeWord kWrite = 0x261;  // output, write access, explicit, no sharing

class FileOpenTest : public SimRuntimeTest {
  protected:
    static int CreateCalls() {
        const auto calls = sim::FileCalls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const auto& call) {
            return call.rfind("CreateFileA", 0) == 0;
        }));
    }
    // Whether a number is free: opening it succeeds (and is undone).
    bool NumberIsFree(int16_t number) {
        RtErrorFrame probe;
        FileOpen(number, "PROBE.TXT", kWrite, 1);
        const bool free = RtErrorNumber() == 0;
        FileClose(number);
        return free;
    }
};

TEST_F(FileOpenTest, MissingFileRaises53AndLeavesTheNumberFree) {
    FileOpen(1, "VIRODARO.CFG", kRead, 128);
    EXPECT_EQ(RtErrorNumber(), 53);
    EXPECT_EQ(sim::OpenFileCount(), 0);

    RtErrorFrame later;
    EXPECT_TRUE(FileReadLine(1).Empty());
    EXPECT_EQ(RtErrorNumber(), 52);
    RtErrorFrame closing;
    FileClose(1);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(FileOpenTest, OutputEmptiesAnExistingFileAndCloseEndsIt) {
    sim::AddFile("OLD.TXT", "old content that is longer");
    FileOpen(2, "OLD.TXT", kWrite, 128);
    EXPECT_EQ(sim::FileBytes("OLD.TXT"), "");
    FileWriteText(2, "new");
    FileClose(2);
    EXPECT_EQ(sim::FileBytes("OLD.TXT"), "new");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

TEST_F(FileOpenTest, NamesTheOsCannotTakeWholeRaise64AndTouchNothing) {
    sim::AddFile(std::string(255, 'A'), "a file named by the first 255 bytes");
    const std::string tooLong(platform::MaxPathLength() + 1, 'A');
    for (const Text& name : {Text(), Text("*.CFG"), Text("A?.TXT"), Text(tooLong),
                             Text(std::string_view("A.TXT\0B", 7))}) {
        RtErrorFrame errors;
        FileOpen(1, name, kWrite, 128);
        EXPECT_EQ(RtErrorNumber(), 64) << name.Bytes();
    }
    EXPECT_EQ(CreateCalls(), 0);
    EXPECT_EQ(sim::FileBytes(std::string(255, 'A')), "a file named by the first 255 bytes");
    EXPECT_FALSE(sim::FileBytes("A.TXT"));
}

TEST_F(FileOpenTest, ChecksTheNumberAndTheRecordLengthBeforeOpening) {
    FileOpen(-1, "A.TXT", kWrite, 128);
    EXPECT_EQ(RtErrorNumber(), 52);
    RtErrorFrame lengthErrors;
    FileOpen(1, "A.TXT", 0x1A1, 0);
    EXPECT_EQ(RtErrorNumber(), 5);
    EXPECT_EQ(CreateCalls(), 0);

    RtErrorFrame outputErrors;
    FileOpen(1, "A.TXT", kWrite, 0);  // output replaces the record length by 1
    EXPECT_EQ(RtErrorNumber(), 0);
    FileClose(1);
}

TEST_F(FileOpenTest, ASecondOpenOfTheSameNumberRaises55AndKeepsTheFirst) {
    sim::AddFile("A.TXT", "first\r\n");
    FileOpen(1, "A.TXT", kRead, 128);
    FileOpen(1, "B.TXT", kWrite, 128);
    EXPECT_EQ(RtErrorNumber(), 55);
    EXPECT_FALSE(sim::FileBytes("B.TXT"));
    EXPECT_EQ(FileReadLine(1), Text("first"));
    FileClose(1);
}

TEST_F(FileOpenTest, OsRefusalsRaiseTheMappedError) {
    sim::AddFile("HELD.TXT", "x");
    sim::HoldFile("HELD.TXT", platform::kGenericRead, 0);
    sim::AddFile("RO.TXT", "x", platform::kFileAttributeReadOnly);
    sim::AddDirectory("SUB");
    struct Case {
        const char* name;
        FileModeWord mode;
        int error;
    } cases[] = {
        {"NOWHERE\\A.TXT", kRead, 76},
        {"NOWHERE\\A.TXT", kWrite, 76},
        {"HELD.TXT", kRead, 70},
        {"RO.TXT", kWrite, 70},
        {"SUB", kRead, 70},
        {"SUB", kWrite, 70},
    };
    for (const Case& c : cases) {
        RtErrorFrame errors;
        FileOpen(1, c.name, c.mode, 128);
        EXPECT_EQ(RtErrorNumber(), c.error) << c.name << " mode " << std::hex << c.mode;
        EXPECT_TRUE(NumberIsFree(1));
    }
    EXPECT_EQ(sim::FileBytes("RO.TXT"), "x");
}

TEST_F(FileOpenTest, WithoutExplicitAccessARefusedWriteIsRetriedForReading) {
    sim::AddFile("RO.TXT", "line\r\n", platform::kFileAttributeReadOnly);
    FileOpen(1, "RO.TXT", 0x1C1, 128);  // input, read and write access, not explicit
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(FileReadLine(1), Text("line"));
    FileClose(1);

    FileOpen(1, "RO.TXT", 0x1E1, 128);  // the same, explicit
    EXPECT_EQ(RtErrorNumber(), 70);
}

TEST_F(FileOpenTest, LockValuesBecomeShareModes) {
    sim::AddFile("SHARED.TXT", "x");
    sim::HoldFile("SHARED.TXT", platform::kGenericRead, platform::kFileShareRead);
    const int expected[] = {0, 70, 0, 70, 0};  // lock 0 asks an impossible share mode
    for (int lock = 1; lock <= 4; ++lock) {
        RtErrorFrame errors;
        FileOpen(1, "SHARED.TXT", static_cast<FileModeWord>(0x1A0 | lock), 128);
        EXPECT_EQ(RtErrorNumber(), expected[lock]) << "lock " << lock;
        FileClose(1);
    }
    FileOpen(1, "SHARED.TXT", 0x1A0, 128);
    EXPECT_EQ(RtErrorNumber(), 5);
}

TEST_F(FileOpenTest, AppendWritesAfterTheEndOfADiskFileOnly) {
    sim::AddFile("LOG.TXT", "one\r\n");
    FileOpen(3, "LOG.TXT", 0x862, 128);
    FileWriteText(3, "two");
    FileWriteLineEnd(3);
    FileClose(3);
    EXPECT_EQ(sim::FileBytes("LOG.TXT"), "one\r\ntwo\r\n");
    EXPECT_EQ(RtErrorNumber(), 0);

    sim::AddDevice("COM1", "");
    FileOpen(3, "COM1", 0x862, 128);
    EXPECT_EQ(RtErrorNumber(), 54);
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

TEST_F(FileOpenTest, InputReadsOneRecordLengthAheadFromADiskFileOnly) {
    sim::AddFile("A.TXT", std::string(300, 'a'));
    FileOpen(1, "A.TXT", kRead, 128);
    EXPECT_EQ(sim::FileCalls().back(), "ReadFile 128");
    FileClose(1);

    sim::AddDevice("COM1", "abc");
    FileOpen(1, "COM1", kRead, 128);
    EXPECT_EQ(sim::FileCalls().back(), "CreateFileA COM1");
    FileClose(1);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(FileOpenTest, AFailureAfterTheOpenClosesTheHandleAndFreesTheNumber) {
    sim::AddFile("A.TXT", "x");
    sim::FailNextCall(sim::FileCall::kSetEndOfFile, platform::kErrorWriteProtect);
    FileOpen(2, "A.TXT", kWrite, 128);
    EXPECT_EQ(RtErrorNumber(), 70);
    EXPECT_EQ(sim::OpenFileCount(), 0);
    EXPECT_TRUE(NumberIsFree(2));

    RtErrorFrame readErrors;
    sim::FailNextCall(sim::FileCall::kReadFile, platform::kErrorGenFailure);
    FileOpen(1, "A.TXT", kRead, 128);
    EXPECT_EQ(RtErrorNumber(), 72);
    EXPECT_TRUE(NumberIsFree(1));
}

TEST_F(FileOpenTest, ClosingIsSilentForAFreeNumberAndRaisesAFailingCloseAfterFreeingIt) {
    FileClose(7);
    FileClose(-3);
    EXPECT_EQ(RtErrorNumber(), 0);

    FileOpen(2, "A.TXT", kWrite, 128);
    sim::FailNextCall(sim::FileCall::kCloseHandle, platform::kErrorInvalidHandle);
    FileClose(2);
    EXPECT_EQ(RtErrorNumber(), 51);
    EXPECT_TRUE(NumberIsFree(2));
    RtErrorFrame second;
    FileClose(2);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(FileOpenTest, FlushReachesTheOsAndReportsItsFailure) {
    FileFlush(2);
    EXPECT_EQ(RtErrorNumber(), 52);

    RtErrorFrame errors;
    FileOpen(2, "A.TXT", kWrite, 128);
    FileFlush(2);
    EXPECT_EQ(sim::FileCalls().back(), "FlushFileBuffers");
    EXPECT_EQ(RtErrorNumber(), 0);
    sim::FailNextCall(sim::FileCall::kFlushFileBuffers, platform::kErrorDiskFull);
    FileFlush(2);
    EXPECT_EQ(RtErrorNumber(), 61);
    FileClose(2);
}

TEST_F(FileOpenTest, StartOfARunForgetsFilesLeftOpen) {
    FileOpen(1, "A.TXT", kWrite, 128);
    RtFrameSetup();
    EXPECT_TRUE(NumberIsFree(1));
}

}  // namespace
