#include "console/events.hpp"

#include "console/console_state.hpp"
#include "platform/console.hpp"

namespace {

constexpr uint16_t kEscScanCode = 1;

bool IsModifierKey(uint16_t scanCode) {
    switch (scanCode) {
        case 29:  // Ctrl
        case 42:  // left Shift
        case 54:  // right Shift
        case 56:  // Alt
        case 58:  // CapsLock
        case 69:  // NumLock
        case 70:  // ScrollLock
            return true;
        default:
            return false;
    }
}

// The letter keys of a US keyboard: Q..P, A..L, Z..M.
bool IsLetterKey(uint16_t scanCode) {
    return (scanCode >= 16 && scanCode <= 25) || (scanCode >= 30 && scanCode <= 38) ||
           (scanCode >= 44 && scanCode <= 50);
}

ConEvent OneByte(uint8_t byte) { return {1, {byte, 0, 0, 0}}; }
ConEvent TwoBytes(uint16_t scanCode) { return {2, {0, static_cast<uint8_t>(scanCode), 0, 0}}; }
ConEvent Mouse(uint8_t kind, uint8_t button) { return {4, {255, 255, kind, button}}; }

// A key-down record's event, or none for a key that reports nothing.
bool ClassifyKey(const platform::KeyRecord& key, ConEvent* event) {
    const auto character = static_cast<uint8_t>(key.character);
    const uint16_t scanCode = key.scanCode & 0xFF;
    const uint32_t state = key.controlKeyState;
    if (character != 0) {
        const bool alt = state & (platform::kRightAltPressed | platform::kLeftAltPressed);
        *event = alt && IsLetterKey(scanCode) ? TwoBytes(scanCode)
                                              : OneByte(ConCapsLockFix(character, scanCode, state));
        return true;
    }
    // Consoles that report Esc without its character still mean Esc: 27, whatever the
    // CapsLock state, so that callers can tell it from Ctrl+@.
    if (scanCode == kEscScanCode) {
        *event = OneByte(27);
        return true;
    }
    if (IsModifierKey(scanCode)) return false;
    *event = TwoBytes(scanCode);
    return true;
}

bool ClassifyMouse(const platform::MouseRecord& mouse, ConEvent* event) {
    const uint32_t settings = gConsole.mouseSettings;
    if (!(settings & kConReportingOn)) return false;
    const uint32_t flags = mouse.eventFlags & 0xFF;
    const uint32_t buttons = mouse.buttonState;
    if (flags == platform::kMouseMoved) {
        if (!(settings & kConReportMoves)) return false;
        *event = Mouse(kConMouseMove, 0);
        return true;
    }
    if (flags > platform::kMouseMoved) {
        // Double clicks, and wheel turns while a reported button is held.
        if (!(settings & kConReportDoubleClicks) || !(settings & buttons & 0xFFFF)) return false;
        *event = Mouse(kConMouseDoubleClick, static_cast<uint8_t>(buttons & 0xFF));
        return true;
    }
    // Only the lowest changed button is reported; the others are absorbed with the record.
    const uint32_t changed = buttons ^ gConsole.lastButtonState;
    const uint32_t button = changed & (~changed + 1);
    if (button == 0 || !(settings & button & kConMouseButtonMask)) return false;
    const bool pressed = buttons & button;
    if (pressed ? !(settings & kConReportPresses) : !(settings & kConReportReleases)) return false;
    *event = Mouse(pressed ? kConMousePress : kConMouseRelease, static_cast<uint8_t>(button));
    return true;
}

}  // namespace

void ConMouse(int32_t setting) {
    if (setting == 0) {
        gConsole.mouseSettings &= ~kConReportingOn;
        platform::SetConsoleMode(gConsole.stdIn, 0);
    } else if (setting < 0) {
        gConsole.mouseSettings |= kConReportingOn;
        platform::SetConsoleMode(gConsole.stdIn, platform::kInputMouse);
    } else {
        gConsole.mouseSettings =
            (gConsole.mouseSettings & kConReportingOn) | static_cast<uint32_t>(setting);
    }
}

uint8_t ConCapsLockFix(uint8_t character, uint16_t scanCode, uint32_t controlKeyState) {
    struct Key {
        uint8_t scanCode;
        uint8_t unshifted;
        uint8_t shifted;
    };
    static constexpr Key kKeys[] = {
        {2, '1', '!'},   {3, '2', '@'},  {4, '3', '#'},   {5, '4', '$'},  {6, '5', '%'},
        {7, '6', '^'},   {8, '7', '&'},  {9, '8', '*'},   {10, '9', '('}, {11, '0', ')'},
        {12, '-', '_'},  {13, '=', '+'}, {26, '[', '{'},  {27, ']', '}'}, {39, ';', ':'},
        {40, '\'', '"'}, {41, '`', '~'}, {43, '\\', '|'}, {51, ',', '<'}, {52, '.', '>'},
        {53, '/', '?'},
    };
    if (!(controlKeyState & platform::kCapsLockOn)) return character;
    const bool shift = controlKeyState & platform::kShiftPressed;
    for (const Key& key : kKeys) {
        if (key.scanCode != scanCode) continue;
        if (shift && character == key.unshifted) return key.shifted;
        if (!shift && character == key.shifted) return key.unshifted;
        return character;
    }
    return scanCode == kEscScanCode ? 27 : character;
}

namespace con_detail {

PeekOutcome PeekEvent(ConEvent* event) {
    for (;;) {
        platform::InputRecord record{};
        uint32_t count = 0;
        if (!platform::PeekConsoleInputA(gConsole.conIn, &record, 1, &count)) {
            return PeekOutcome::kNoInput;
        }
        if (count == 0) return PeekOutcome::kEmpty;
        bool reported = false;
        if (record.kind == platform::InputKind::kKey) {
            reported = record.key.keyDown && ClassifyKey(record.key, event);
        } else if (record.kind == platform::InputKind::kMouse) {
            reported = ClassifyMouse(record.mouse, event);
        }
        if (reported) return PeekOutcome::kEvent;
        ConTakeEvent();
    }
}

bool WaitForInput() {
    return platform::WaitForConsoleInput(gConsole.conIn, platform::kInfinite) !=
           platform::WaitResult::kFailed;
}

}  // namespace con_detail

ConEvent ConPeekEvent() {
    ConEvent event{};
    if (con_detail::PeekEvent(&event) != con_detail::PeekOutcome::kEvent) return {};
    return event;
}

void ConTakeEvent() {
    platform::InputRecord record{};
    uint32_t count = 0;
    if (!platform::ReadConsoleInputA(gConsole.conIn, &record, 1, &count) || count == 0) return;
    if (record.kind == platform::InputKind::kMouse) {
        gConsole.lastButtonState = record.mouse.buttonState;
    }
}

Text ConWaitKey() {
    ConEvent event{};
    for (;;) {
        const con_detail::PeekOutcome outcome = con_detail::PeekEvent(&event);
        if (outcome == con_detail::PeekOutcome::kEvent) break;
        // Waiting on the input itself: no processor time while nothing happens.
        if (outcome == con_detail::PeekOutcome::kNoInput || !con_detail::WaitForInput()) {
            return Text();
        }
    }
    ConTakeEvent();
    switch (event.length) {
        case 1:
            return StrFromBytes({event.bytes[0]});
        case 2:
            return StrFromBytes({0, event.bytes[1]});
        default:
            return StrFromBytes({255, 255, event.bytes[2], event.bytes[3]});
    }
}
