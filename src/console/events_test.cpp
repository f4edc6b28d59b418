#include "console/events.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/console_state.hpp"
#include "platform/console.hpp"
#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

using platform::kCapsLockOn;
using platform::kLeftAltPressed;
using platform::kRightAltPressed;
using platform::kShiftPressed;

// All buttons, all kinds, reporting on: what the closing screen asks for.
constexpr int32_t kEverything = 0x000F0007;

class EventsTest : public SimRuntimeTest {
  protected:
    static std::string Key() {
        const Text text = ConWaitKey();
        return std::string(text.Bytes());
    }
    static void ReportMouse(int32_t settings) {
        ConMouse(settings);
        ConMouse(-1);
    }
};

TEST_F(EventsTest, CharacterKeysGiveTheirByteAndOtherKeysTheirScanCode) {
    sim::PushKeyPress('a', 30);
    sim::PushKeyPress(3, 46, platform::kLeftCtrlPressed);  // Ctrl+C is a key, not a signal
    sim::PushKeyPress(0, 59);                              // F1
    sim::PushKeyPress(0, 59, kShiftPressed);               // Shift+F1: the same text
    sim::PushKeyPress(0, 0x148, platform::kEnhancedKey);   // Up: the scan code's low byte
    EXPECT_EQ(Key(), "a");
    EXPECT_EQ(Key(), "\x03");
    EXPECT_EQ(Key(), std::string("\0\x3B", 2));
    EXPECT_EQ(Key(), std::string("\0\x3B", 2));
    EXPECT_EQ(Key(), std::string("\0\x48", 2));
}

TEST_F(EventsTest, ReleasesAndModifierKeysReportNothing) {
    sim::PushKeyPress(0, 42);  // Shift alone
    sim::PushKeyPress(0, 29);  // Ctrl alone
    sim::PushKeyUp('x', 45);
    sim::PushOtherInput();  // focus and the like
    sim::PushKeyPress('\r', 28);
    EXPECT_EQ(Key(), "\r");
    EXPECT_EQ(sim::QueuedInput(), 1);  // only the Enter release is left
}

TEST_F(EventsTest, AltWithALetterGivesItsScanCodeAndWithOtherKeysTheCharacter) {
    sim::PushKeyPress('a', 30, kLeftAltPressed);
    sim::PushKeyPress('q', 16, kRightAltPressed);
    sim::PushKeyPress('m', 50, kLeftAltPressed);
    sim::PushKeyPress('1', 2, kLeftAltPressed);
    sim::PushKeyPress(',', 51, kLeftAltPressed);  // just past the letter rows
    EXPECT_EQ(Key(), std::string("\0\x1E", 2));
    EXPECT_EQ(Key(), std::string("\0\x10", 2));
    EXPECT_EQ(Key(), std::string("\0\x32", 2));
    EXPECT_EQ(Key(), "1");
    EXPECT_EQ(Key(), ",");
}

TEST_F(EventsTest, CapsLockCorrectionUndoesTheShiftOnDigitsAndPunctuation) {
    EXPECT_EQ(ConCapsLockFix('!', 2, kCapsLockOn), '1');
    EXPECT_EQ(ConCapsLockFix('1', 2, kCapsLockOn | kShiftPressed), '!');
    EXPECT_EQ(ConCapsLockFix('?', 53, kCapsLockOn), '/');
    EXPECT_EQ(ConCapsLockFix('"', 40, kCapsLockOn), '\'');
    EXPECT_EQ(ConCapsLockFix('!', 2, 0), '!');             // CapsLock off
    EXPECT_EQ(ConCapsLockFix('A', 30, kCapsLockOn), 'A');  // letters stay
    EXPECT_EQ(ConCapsLockFix('x', 2, kCapsLockOn), 'x');   // neither of the pair
    EXPECT_EQ(ConCapsLockFix(0, 1, kCapsLockOn), 27);      // Esc
    EXPECT_EQ(ConCapsLockFix(0, 1, 0), 0);

    sim::PushKeyPress('!', 2, kCapsLockOn);
    EXPECT_EQ(Key(), "1");
}

TEST_F(EventsTest, EscGivesTwentySevenAlsoWhenReportedWithoutItsCharacter) {
    sim::PushKeyPress(27, 1);
    sim::PushKeyPress(0, 1);
    sim::PushKeyPress(0, 1, kCapsLockOn);
    EXPECT_EQ(Key(), "\x1B");
    EXPECT_EQ(Key(), "\x1B");
    EXPECT_EQ(Key(), "\x1B");
}

TEST_F(EventsTest, MouseRecordsAreDroppedWhileReportingIsOff) {
    ConMouse(kEverything);  // kinds and buttons, but the switch stays off
    sim::PushMouse(3, 4, 0x1);
    sim::PushMouse(3, 4, 0x0);
    sim::PushKeyPress('k', 37);
    EXPECT_EQ(Key(), "k");
    EXPECT_EQ(gConsole.lastButtonState, 0u);  // a dropped release still counted
}

TEST_F(EventsTest, PressesAndReleasesAreReportedForMaskedButtonsAndKinds) {
    ReportMouse(0x00080001);    // releases of the left button only
    sim::PushMouse(1, 1, 0x1);  // left press: not a reported kind
    sim::PushMouse(1, 1, 0x3);  // right press: not a reported button
    sim::PushMouse(1, 1, 0x2);  // left release
    EXPECT_EQ(Key(), "\xFF\xFF\x08\x01");
    EXPECT_EQ(gConsole.lastButtonState, 0x2u);

    ReportMouse(kEverything);
    sim::PushMouse(1, 1, 0x0);  // right release
    sim::PushMouse(2, 1, 0x4);  // middle press
    sim::PushMouse(2, 2, 0x4, platform::kMouseMoved);
    EXPECT_EQ(Key(), "\xFF\xFF\x08\x02");
    EXPECT_EQ(Key(), "\xFF\xFF\x04\x04");
    EXPECT_EQ(Key(), std::string("\xFF\xFF\x01\x00", 4));
}

TEST_F(EventsTest, TwoButtonsChangedInOneRecordReportTheLowerOne) {
    ReportMouse(kEverything);
    sim::PushMouse(0, 0, 0x3);  // left and right together
    sim::PushMouse(0, 0, 0x2);  // left up: the right press was absorbed with the record
    EXPECT_EQ(Key(), "\xFF\xFF\x04\x01");
    EXPECT_EQ(Key(), "\xFF\xFF\x08\x01");
}

TEST_F(EventsTest, WheelIsADoubleClickOnlyWhileAMaskedButtonIsHeld) {
    ReportMouse(kEverything);
    sim::PushMouse(0, 0, 0x00780000, platform::kMouseWheeled);  // no button held
    sim::PushMouse(0, 0, 0x00780001, platform::kMouseWheeled);  // the left button held
    sim::PushMouse(0, 0, 0x1, platform::kDoubleClick);
    EXPECT_EQ(Key(), "\xFF\xFF\x02\x01");
    EXPECT_EQ(gConsole.lastButtonState, 0x00780001u);  // the dropped wheel turn counted too
    EXPECT_EQ(Key(), "\xFF\xFF\x02\x01");
}

TEST_F(EventsTest, MouseSettingsKeepTheSwitchAndSetTheInputMode) {
    ConMouse(-1);
    EXPECT_EQ(sim::ConsoleMode(gConsole.stdIn), platform::kInputMouse);
    ConMouse(0x00030005);
    EXPECT_EQ(gConsole.mouseSettings, kConReportingOn | 0x00030005u);
    ConMouse(0);
    EXPECT_EQ(gConsole.mouseSettings, 0x00030005u);
    EXPECT_EQ(sim::ConsoleMode(gConsole.stdIn), 0u);
}

TEST_F(EventsTest, PeekLeavesTheEventForTheNextTake) {
    sim::PushKeyPress('z', 44);
    const ConEvent first = ConPeekEvent();
    const ConEvent again = ConPeekEvent();
    EXPECT_EQ(first.length, 1);
    EXPECT_EQ(again.bytes[0], 'z');
    ConTakeEvent();
    EXPECT_EQ(ConPeekEvent().length, 0);  // the key-up went on the way
    EXPECT_EQ(sim::QueuedInput(), 0);
}

TEST_F(EventsTest, WaitingBlocksOnTheInputInsteadOfPolling) {
    sim::PushKeyUp('a', 30);
    EXPECT_EQ(Key(), "");  // nothing reportable, and the input then ends
    EXPECT_EQ(sim::InputWaits(), 1);
}

TEST_F(EventsTest, WithoutConsoleInputWaitingEndsAtOnceWithTheEmptyText) {
    StartRuntime({.consoleInput = false});
    EXPECT_EQ(Key(), "");
    EXPECT_EQ(sim::InputWaits(), 0);
}

}  // namespace
