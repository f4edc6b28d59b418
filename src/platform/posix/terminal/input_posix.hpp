#pragma once
// The terminal's input as a console input queue: bytes read from /dev/tty are decoded into
// key and mouse records and kept, in order, until the program takes them.

#include <cstdint>

#include "platform/console.hpp"

namespace platform::posix {

/// Copies (and with `remove`, takes) up to `capacity` records from the head of the queue,
/// after taking in what the terminal has sent. False when the terminal has hung up and the
/// queue is empty.
bool InputFetch(InputRecord* records, uint32_t capacity, uint32_t* count, bool remove);

/// Takes in what the terminal has sent and, when a press of the key with `scanCode` is among
/// the records, takes that press and its release out of the queue, leaving the other keys
/// where they are. True when it was there.
bool InputTakeKey(uint16_t scanCode);

/// Waits until the queue holds a record, the timeout passes, or the terminal hangs up.
WaitResult InputWait(uint32_t timeoutMs);

/// Switches the terminal's mouse reports (buttons, motion, SGR encoding) on or off.
void InputSetMouseTracking(bool on);

}  // namespace platform::posix
