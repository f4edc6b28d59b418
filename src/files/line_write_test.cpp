#include <gtest/gtest.h>

#include <string>

#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

using namespace std::string_view_literals;

namespace {

class LineWriteTest : public SimRuntimeTest {
  protected:
    void SetUp() override {
        SimRuntimeTest::SetUp();
        FileOpen(2, "OUT.TXT", 0x261, 128);
    }
    void TearDown() override {
        FileClose(2);
        SimRuntimeTest::TearDown();
    }
};

TEST_F(LineWriteTest, RecordsAreTheTextsBytesFollowedByCrLf) {
    FileWriteText(2, "25");
    FileWriteLineEnd(2);
    FileWriteText(2, "-10");
    FileWriteLineEnd(2);
    EXPECT_EQ(sim::FileBytes("OUT.TXT"), "\x32\x35\x0D\x0A\x2D\x31\x30\x0D\x0A");

    FileWriteText(2, Text(" a, \"b\"\0\xFF"sv));  // no quoting, no conversion
    FileWriteText(2, "c");                        // without a line end the texts run on
    EXPECT_EQ(sim::FileBytes("OUT.TXT")->substr(9),
              " a, \"b\"\0\xFF"
              "c"sv);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(LineWriteTest, EachWriteReachesTheOsBeforeItReturns) {
    FileWriteText(2, "abc");
    EXPECT_EQ(sim::FileBytes("OUT.TXT"), "abc");
    FileWriteLineEnd(2);
    EXPECT_EQ(sim::FileBytes("OUT.TXT"), "abc\r\n");
}

TEST_F(LineWriteTest, WritingNeedsAnOpenOutputOrAppendFile) {
    FileWriteText(9, "x");
    EXPECT_EQ(RtErrorNumber(), 52);

    sim::AddFile("IN.TXT", "x");
    FileOpen(1, "IN.TXT", 0x1A1, 128);
    RtErrorFrame emptyText;
    FileWriteText(1, "");  // nothing to write, so the mode is not looked at
    EXPECT_EQ(RtErrorNumber(), 0);
    FileWriteText(1, "y");
    EXPECT_EQ(RtErrorNumber(), 54);
    RtErrorFrame lineEnd;
    FileWriteLineEnd(1);
    EXPECT_EQ(RtErrorNumber(), 54);
    RtErrorFrame closedLineEnd;
    FileWriteLineEnd(9);
    EXPECT_EQ(RtErrorNumber(), 52);
    FileClose(1);
    EXPECT_EQ(sim::FileBytes("IN.TXT"), "x");
}

TEST_F(LineWriteTest, ShortWritesRaise61OnADiskFileAnd57OnADevice) {
    sim::ShortenNextWrite(1);
    FileWriteText(2, "abc");
    EXPECT_EQ(RtErrorNumber(), 61);
    EXPECT_EQ(sim::FileBytes("OUT.TXT"), "a");  // what was written stays

    sim::AddDevice("PRN", "");
    FileOpen(3, "PRN", 0x261, 128);
    RtErrorFrame device;
    sim::ShortenNextWrite(1);
    FileWriteLineEnd(3);
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_EQ(sim::FileBytes("PRN"), "\r");
    FileClose(3);
}

TEST_F(LineWriteTest, AFailingWriteRaisesTheMappedError) {
    sim::SetFreeSpace(4);
    FileWriteText(2, "abc");
    FileWriteLineEnd(2);  // one byte more than the disk takes
    EXPECT_EQ(RtErrorNumber(), 61);
    EXPECT_EQ(sim::FileBytes("OUT.TXT"), "abc");

    RtErrorFrame other;
    sim::FailNextWrite(platform::kErrorAccessDenied);
    FileWriteText(2, "x");
    EXPECT_EQ(RtErrorNumber(), 70);
}

}  // namespace
