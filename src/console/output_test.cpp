#include "console/output.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/console_state.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 4;

class ConsoleOutputTest : public SimRuntimeTest {
  protected:
    void SetUp() override { StartRuntime({.width = kWidth, .height = kHeight}); }

    static std::string Trimmed(int row) {
        std::string text = sim::Row(row);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    static void ExpectCursor(int x, int y) {
        EXPECT_EQ(sim::Cursor().x, x);
        EXPECT_EQ(sim::Cursor().y, y);
    }
};

TEST_F(ConsoleOutputTest, PrintWritesCellsAtTheCursorAndLeavesItBehind) {
    ConLocate(3, 2);
    ConPrint("abc");
    EXPECT_EQ(Trimmed(1), "  abc");
    EXPECT_EQ(sim::Attribute(2, 1), 7);
    ExpectCursor(5, 1);
}

TEST_F(ConsoleOutputTest, PrintContinuesAtColumnOneOfTheNextRow) {
    ConLocate(8, 1);
    ConPrint("abcde");
    EXPECT_EQ(Trimmed(0), "       abc");
    EXPECT_EQ(Trimmed(1), "de");
    ExpectCursor(2, 1);
}

TEST_F(ConsoleOutputTest, PrintShowsControlBytesAsGlyphs) {
    ConPrint("a\r\nb");
    EXPECT_EQ(sim::Row(0).substr(0, 4), "a\r\nb");
    ExpectCursor(4, 0);
}

TEST_F(ConsoleOutputTest, FillingTheBottomRightCellOwesTheScrollToTheNextPrint) {
    ConLocate(1, kHeight);
    ConPrint("0123456789");
    EXPECT_EQ(Trimmed(kHeight - 1), "0123456789");  // nothing scrolled yet
    ExpectCursor(0, kHeight - 1);
    EXPECT_EQ(gConsole.pendingScroll, kConScrollOwed);

    ConWriteStdOut("");  // standard-output writes leave the owed scroll alone
    ConPrint("x");
    EXPECT_EQ(Trimmed(kHeight - 2), "0123456789");
    EXPECT_EQ(Trimmed(kHeight - 1), "x");
    ExpectCursor(1, kHeight - 1);
}

TEST_F(ConsoleOutputTest, NewLineAfterAFullRowLeavesOneEmptyRow) {
    ConPrint("0123456789");
    ConNewLine();
    ExpectCursor(0, 2);

    ConLocate(1, kHeight);
    ConPrint("0123456789");
    ConNewLine();  // two scrolls on the bottom row, as on any other row
    EXPECT_EQ(Trimmed(kHeight - 3), "0123456789");
    EXPECT_EQ(Trimmed(kHeight - 2), "");
    ExpectCursor(0, kHeight - 1);
    EXPECT_EQ(gConsole.pendingScroll, kConNoScrollOwed);
}

TEST_F(ConsoleOutputTest, NewLineOnTheBottomRowScrollsOnce) {
    ConLocate(1, kHeight);
    ConPrint("last");
    ConNewLine();
    EXPECT_EQ(Trimmed(kHeight - 2), "last");
    EXPECT_EQ(Trimmed(kHeight - 1), "");
    ExpectCursor(0, kHeight - 1);
}

TEST_F(ConsoleOutputTest, LocateKeepsEachOutOfRangeCoordinate) {
    ConLocate(4, 2);
    ConLocate(0, 3);
    ExpectCursor(3, 2);
    ConLocate(kWidth + 1, -1);
    ExpectCursor(3, 2);

    ConLocate(1, kHeight);
    ConPrint("0123456789");
    ConLocate(kWidth + 1, kHeight + 1);  // changes nothing but the owed scroll
    ExpectCursor(0, kHeight - 1);
    EXPECT_EQ(gConsole.pendingScroll, kConNoScrollOwed);
}

TEST_F(ConsoleOutputTest, CursorSizeStaysBetweenTenAndNinetyNine) {
    ConCursor(5);
    EXPECT_EQ(sim::CursorShape().size, 10u);
    ConCursor(150);
    EXPECT_EQ(sim::CursorShape().size, 99u);
    ConCursor(0);
    EXPECT_FALSE(sim::CursorShape().visible);
    EXPECT_EQ(sim::CursorShape().size, 99u);
    ConCursor(-1);
    EXPECT_TRUE(sim::CursorShape().visible);
    EXPECT_EQ(sim::CursorShape().size, 99u);
}

TEST_F(ConsoleOutputTest, ClearBlanksEveryCellAndHomesTheCursor) {
    for (int row = 1; row <= kHeight; ++row) {
        ConLocate(1, row);
        ConPrint("##########");
    }
    ConClear();
    for (int y = 0; y < kHeight; ++y) {
        EXPECT_EQ(sim::Row(y), std::string(kWidth, ' '));
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(sim::Attribute(x, y), 7);
    }
    ExpectCursor(0, 0);
    EXPECT_EQ(gConsole.pendingScroll, kConNoScrollOwed);
    EXPECT_TRUE(sim::CursorShape().visible);  // hidden while clearing, then put back
    EXPECT_EQ(sim::CursorShapeChanges(), 2);
}

TEST_F(ConsoleOutputTest, TemporaryCursorChangesArePutBack) {
    ConCursor(0);
    ConCursorForceVisible();
    EXPECT_TRUE(sim::CursorShape().visible);
    EXPECT_FALSE(gConsole.cursorInfo.visible);
    ConCursorRestore();
    EXPECT_FALSE(sim::CursorShape().visible);

    const int changes = sim::CursorShapeChanges();
    ConCursorRestore();      // nothing left to put back
    ConCursorForceHidden();  // already hidden
    EXPECT_EQ(sim::CursorShapeChanges(), changes);
}

TEST_F(ConsoleOutputTest, StandardOutputTextIsInterpretedByTheConsole) {
    ConWriteStdOut("ab\r\ncd");
    ConStdOutNewLine();
    EXPECT_EQ(Trimmed(0), "ab");
    EXPECT_EQ(Trimmed(1), "cd");
    ExpectCursor(0, 2);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(ConsoleOutputTest, RedirectedStandardOutputKeepsItsBytesWhileCellsReachTheConsole) {
    StartRuntime({.width = kWidth, .height = kHeight, .stdOutput = sim::Stream::kRedirected});
    ConWriteStdOut("line");
    ConStdOutNewLine();
    ConPrint("prompt");
    EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kOutput), "line\r\n");
    EXPECT_EQ(Trimmed(0), "prompt");
}

TEST_F(ConsoleOutputTest, CellOperationsDoNothingWithoutAConsole) {
    StartRuntime({.width = kWidth,
                  .height = kHeight,
                  .stdOutput = sim::Stream::kRedirected,
                  .stdError = sim::Stream::kRedirected});
    ConPrint(Text(std::string(1000, 'x')));
    ConNewLine();
    ConClear();
    ConLocate(2, 2);
    ConCursor(50);
    EXPECT_EQ(Trimmed(0), "");
    EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kError), "");
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(ConsoleOutputTest, FailedStandardOutputWriteRaisesTheMappedError) {
    sim::FailNextWrite(112);  // ERROR_DISK_FULL
    ConWriteStdOut("text");
    EXPECT_EQ(RtErrorNumber(), 61);

    RtErrorFrame fresh;
    sim::FailNextWrite(6);  // ERROR_INVALID_HANDLE
    ConStdOutNewLine();
    EXPECT_EQ(RtErrorNumber(), 51);
}

TEST_F(ConsoleOutputTest, ShortStandardOutputWriteRaisesSixtyOne) {
    sim::ShortenNextWrite(2);
    ConWriteStdOut("text");
    EXPECT_EQ(RtErrorNumber(), 61);
}

TEST_F(ConsoleOutputTest, PrintSplitsRunsLongerThanTheCellBlock) {
    StartRuntime({.width = 600, .height = 3});
    std::string text;
    for (int i = 0; i < 700; ++i)
        text += static_cast<char>('a' + i % 26);
    ConPrint(Text(text));
    EXPECT_EQ(sim::Row(0), text.substr(0, 600));
    EXPECT_EQ(sim::Row(1).substr(0, 100), text.substr(600));
    EXPECT_EQ(sim::Cursor().x, 100);
    EXPECT_EQ(sim::Cursor().y, 1);
}

}  // namespace
