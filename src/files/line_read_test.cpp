#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

using namespace std::string_view_literals;

namespace {

class LineReadTest : public SimRuntimeTest {
  protected:
    void TearDown() override {
        FileClose(1);
        SimRuntimeTest::TearDown();
    }
    // Opens a file of these bytes as number 1 for input.
    static void OpenWith(std::string_view bytes, int32_t recordLength = 128,
                         FileModeWord mode = 0x1A1) {
        sim::AddFile("IN.TXT", bytes);
        FileOpen(1, "IN.TXT", mode, recordLength);
    }
    static int ReadFileCalls() {
        const auto calls = sim::FileCalls();
        return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const auto& call) {
            return call.rfind("ReadFile", 0) == 0;
        }));
    }
    // Reads a line; an error, when expected, is recorded in a frame of the check's own.
    static void ExpectLine(std::string_view expected, int error = 0) {
        RtErrorFrame frame;
        EXPECT_EQ(FileReadLine(1).Bytes(), expected);
        EXPECT_EQ(RtErrorNumber(), error);
    }
};

TEST_F(LineReadTest, ReadsRecordsBackAndRaises62AtTheEnd) {
    OpenWith("25\r\n-10\r\n");
    ExpectLine("25");
    ExpectLine("-10");
    ExpectLine("", 62);
    ExpectLine("", 62);
}

TEST_F(LineReadTest, CrEndsALineAndLfIsData) {
    OpenWith("\r\n a, \"b\" \r\rlf\nonly\nlast");
    ExpectLine("");  // an empty line is no error
    ExpectLine(" a, \"b\" ");
    ExpectLine("");  // CR CR: the second CR ends an empty line
    ExpectLine("lf\nonly\nlast");
    ExpectLine("", 62);
}

TEST_F(LineReadTest, CtrlZEndsTheLineAndEveryLaterReadOfADiskFile) {
    OpenWith(
        "ab\x1A"
        "cd\r\n");
    ExpectLine("ab");
    ExpectLine("", 62);
    ExpectLine("", 62);
}

TEST_F(LineReadTest, ACrAtTheEndOfTheBufferConsumesTheLfThatStartsTheNext) {
    const std::string first(127, 'x');
    OpenWith(first + "\r\nnext\r\n");
    ExpectLine(first);
    ExpectLine("next");
    EXPECT_EQ(ReadFileCalls(), 2);  // one read per block of the record length
}

TEST_F(LineReadTest, LongLinesComeBackWholeAcrossChunksAndBlocks) {
    std::string line;
    for (int i = 0; i < 1000; ++i)
        line += static_cast<char>('a' + i % 26);
    OpenWith(line + "\r\n" + line, 128);
    ExpectLine(line);
    ExpectLine(line);
    ExpectLine("", 62);
}

TEST_F(LineReadTest, LockValuesOneAndTwoTrustTheBufferThreeAndFourReadAgain) {
    struct Case {
        FileModeWord mode;
        const char* secondLine;
    } cases[] = {{0x1A1, "two"}, {0x1A2, "two"}, {0x1A3, "TWO"}, {0x1A4, "TWO"}};
    for (const Case& c : cases) {
        OpenWith("one\r\ntwo\r\n", 128, c.mode);
        ExpectLine("one");
        sim::AddFile("IN.TXT", "one\r\nTWO\r\n");  // another process changes the file
        ExpectLine(c.secondLine);
        ExpectLine("", 62);
        sim::AppendToFile("IN.TXT", "three\r\n");  // and extends it
        ExpectLine("three");
        FileClose(1);
    }
}

TEST_F(LineReadTest, ADeviceGivesOneByteAtATimeAndKeepsTheLfAfterACr) {
    sim::AddDevice("COM1",
                   "ab\r\ncd\x1A"
                   "ef",
                   platform::kErrorHandleEof);
    FileOpen(1, "COM1", 0x1A1, 128);
    ExpectLine("ab");
    ExpectLine("\ncd");
    ExpectLine("ef");  // the Ctrl-Z was taken from the device
    ExpectLine("", 62);
    EXPECT_EQ(ReadFileCalls(), 11);  // one per byte, and one that meets the end
}

TEST_F(LineReadTest, ADeviceEndsAtItsEndOfFileABrokenPipeOrAnEmptyRead) {
    for (uint32_t end :
         {uint32_t{platform::kErrorHandleEof}, uint32_t{platform::kErrorBrokenPipe}, 0u}) {
        sim::AddDevice("PIPE", "last", end);
        FileOpen(1, "PIPE", 0x1A1, 128);
        ExpectLine("last");
        ExpectLine("", 62);
        FileClose(1);
    }
    sim::AddDevice("PIPE", "x", platform::kErrorAccessDenied);
    FileOpen(1, "PIPE", 0x1A1, 128);
    ExpectLine("", 70);
}

TEST_F(LineReadTest, ReadingNeedsAnOpenInputFile) {
    ExpectLine("", 52);
    FileOpen(1, "OUT.TXT", 0x261, 128);
    ExpectLine("", 54);
}

TEST_F(LineReadTest, AFailingOsCallGivesTheEmptyTextAndItsError) {
    OpenWith(std::string(200, 'a') + "\r\n", 128);
    sim::FailNextCall(sim::FileCall::kReadFile, platform::kErrorGenFailure);
    ExpectLine("", 72);  // the partial line is gone with the failure
    sim::FailNextCall(sim::FileCall::kSetFilePointer, platform::kErrorInvalidParameter);
    ExpectLine("", 5);
}

TEST_F(LineReadTest, ALineLongerThanMemoryAllowsRaises7) {
    OpenWith("a line\r\nnext\r\n");
    sim::FailTextAllocationsAfter(0);
    ExpectLine("", 7);
    sim::FailTextAllocationsAfter(-1);
    ExpectLine("next");
}

}  // namespace
