#pragma once
// Keyboard and mouse events as short texts: one byte for a character key, 0 and the scan
// code for other keys, 255 255 kind button for mouse events. Input is always read from
// "CONIN$", so keys reach the program even when standard input is redirected.

#include <cstdint>

#include "runtime/text.hpp"

/// Bits of ConsoleState::mouseSettings.
enum ConMouseSetting : uint32_t {
    kConMouseButtonMask = 0x0000FFFF,
    kConReportMoves = 1u << 16,
    kConReportDoubleClicks = 1u << 17,
    kConReportPresses = 1u << 18,
    kConReportReleases = 1u << 19,
    kConReportingOn = 1u << 31,
};

/// The mouse event kinds of the four-byte event texts.
enum ConMouseEventKind : uint8_t {
    kConMouseMove = 1,
    kConMouseDoubleClick = 2,
    kConMousePress = 4,
    kConMouseRelease = 8,
};

/// An event classified at the head of the input queue: `length` 0 (none), 1, 2 or 4 bytes.
struct ConEvent {
    int length;
    uint8_t bytes[4];
};

/// 0 switches mouse reporting off, a negative value switches it on, a positive value
/// replaces the button mask and event kinds and keeps the switch.
void ConMouse(int32_t setting);

/// Classifies the event at the head of the queue without removing it; records that report
/// nothing (key releases, modifier keys, unreported mouse records, focus and the like) are
/// removed on the way.
ConEvent ConPeekEvent();

/// Removes the head record; a mouse record's button state becomes lastButtonState.
void ConTakeEvent();

/// With CapsLock on, undoes the shift that CapsLock put on digit and punctuation keys.
uint8_t ConCapsLockFix(uint8_t character, uint16_t scanCode, uint32_t controlKeyState);

/// Waits for the next reported event and returns its text. Without usable console input
/// (no terminal, or it hung up) it returns the empty text at once.
Text ConWaitKey();

namespace con_detail {

enum class PeekOutcome { kEvent, kEmpty, kNoInput };
/// ConPeekEvent that tells an empty queue from input that cannot be read at all.
PeekOutcome PeekEvent(ConEvent* event);
/// Waits until the queue may hold an event; false when there is no usable console input.
bool WaitForInput();

}  // namespace con_detail
