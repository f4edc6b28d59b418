#include "console/line_input.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/output.hpp"
#include "platform/console.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

constexpr int kWidth = 10;
constexpr int kHeight = 3;

class LineInputTest : public SimRuntimeTest {
  protected:
    void SetUp() override { StartRuntime({.width = kWidth, .height = kHeight}); }

    static void Type(const std::string& keys) {
        for (char key : keys)
            sim::PushKeyPress(key, 0);
    }
    static void Enter() { sim::PushKeyPress('\r', 28); }
    static void Backspace() { sim::PushKeyPress(8, 14); }
    static std::string Read() { return std::string(ConLineInput().Bytes()); }
    static void ExpectCursor(int x, int y) {
        EXPECT_EQ(sim::Cursor().x, x);
        EXPECT_EQ(sim::Cursor().y, y);
    }
};

TEST_F(LineInputTest, ReturnsTheTypedLineAndMovesToTheNextRow) {
    ConPrint("> ");
    Type("ab");
    Backspace();
    Type("c");
    Enter();
    EXPECT_EQ(Read(), "ac");
    EXPECT_EQ(sim::Row(0), "> ac      ");
    ExpectCursor(0, 1);
}

TEST_F(LineInputTest, ImmediateEnterGivesTheEmptyText) {
    Enter();
    EXPECT_EQ(Read(), "");
    ExpectCursor(0, 1);
}

TEST_F(LineInputTest, BackspaceWithNothingTypedLeavesThePrompt) {
    ConPrint("X:");
    Backspace();
    Enter();
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(sim::Row(0).substr(0, 2), "X:");
}

TEST_F(LineInputTest, BackspaceReachesBackOverARowEnd) {
    ConPrint("123456789");
    Type("a");  // into the last column: the cursor moves on to the next row
    Backspace();
    Type("b");  // lands where the "a" was
    Enter();
    EXPECT_EQ(Read(), "b");
    EXPECT_EQ(sim::Row(0), "123456789b");
    ExpectCursor(0, 2);
}

TEST_F(LineInputTest, BackspaceAfterTheBottomRightCellBlanksItWithoutScrolling) {
    ConLocate(1, kHeight);
    ConPrint("123456789");
    Type("z");
    Backspace();
    Enter();
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(sim::Row(kHeight - 2), "123456789 ");  // the Enter scrolled once
}

TEST_F(LineInputTest, KeysWithoutACharacterAndControlKeysAreIgnored) {
    sim::PushKeyPress(0, 72, platform::kEnhancedKey);  // Up
    sim::PushKeyPress(0, 59);                          // F1
    sim::PushKeyPress(27, 1);                          // Esc
    sim::PushKeyPress('\t', 15);
    sim::PushKeyPress(1, 30, platform::kLeftCtrlPressed);  // Ctrl+A
    sim::PushKeyPress('q', 16, platform::kLeftAltPressed);
    Type("ok");
    sim::PushKeyPress(8, 35, platform::kLeftCtrlPressed);   // Ctrl+H erases
    sim::PushKeyPress(13, 50, platform::kLeftCtrlPressed);  // Ctrl+M ends the line
    EXPECT_EQ(Read(), "o");
    EXPECT_EQ(sim::Row(0), "o         ");
}

TEST_F(LineInputTest, BytesAbove127AreCharacters) {
    Type("\x82\xF9");
    Enter();
    EXPECT_EQ(Read(), "\x82\xF9");
    EXPECT_EQ(sim::Character(1, 0), '\xF9');
}

TEST_F(LineInputTest, TheTenThousandFirstCharacterIsDropped) {
    StartRuntime({.width = 80, .height = 200});
    const std::string full(kConLineCapacity, 'x');
    Type(full);
    Type("y");  // neither stored nor echoed
    Backspace();
    Type("z");
    Enter();
    const std::string expected = full.substr(0, kConLineCapacity - 1) + "z";
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(sim::Row(124), std::string(79, 'x') + "z");
}

TEST_F(LineInputTest, TheCursorIsShownForTheInputAndHiddenAgainAfterIt) {
    ConCursor(0);
    sim::PushKeyPress('a', 30);
    ASSERT_EQ(sim::QueuedInput(), 2);
    Enter();
    EXPECT_EQ(Read(), "a");
    EXPECT_FALSE(sim::CursorShape().visible);
    EXPECT_EQ(sim::CursorShapeChanges(), 3);  // hidden, shown for the input, hidden again
}

TEST_F(LineInputTest, EndOfConsoleInputReturnsWhatWasTyped) {
    Type("par");
    EXPECT_EQ(Read(), "par");
    ExpectCursor(0, 1);
}

}  // namespace
