#include "platform/posix/terminal/key_sequences_posix.hpp"

#include "platform/console.hpp"

namespace platform::posix {
namespace {

constexpr uint16_t kScanTab = 15, kScanEnter = 28, kScanHome = 71, kScanUp = 72;
constexpr uint16_t kScanPageUp = 73, kScanLeft = 75, kScanCentre = 76, kScanRight = 77;
constexpr uint16_t kScanEnd = 79, kScanDown = 80, kScanPageDown = 81, kScanInsert = 82;
constexpr uint16_t kScanDelete = 83, kScanF1 = 59, kScanF11 = 87;
constexpr uint16_t kScanPadStar = 55, kScanPadMinus = 74, kScanPadPlus = 78, kScanSlash = 53;
constexpr uint16_t kScanEquals = 13;

constexpr uint32_t kCtrl = kLeftCtrlPressed;

// The grey cursor and editing keys are enhanced keys; the keypad's and the function keys
// are not.
constexpr SequenceKey Grey(uint16_t scanCode, uint32_t state = 0) {
    return {0, scanCode, state | kEnhancedKey};
}
constexpr SequenceKey Plain(uint16_t scanCode, uint32_t state = 0) { return {0, scanCode, state}; }
constexpr SequenceKey Function(int number, uint32_t state = 0) {
    return {0, static_cast<uint16_t>(number <= 10 ? kScanF1 + number - 1 : kScanF11 + number - 11),
            state};
}

// xterm's modifier parameter: 1 + (Shift 1, Alt 2, Ctrl 4, Meta 8). Meta is the Alt key on
// the terminals that tell the two apart (iTerm2, kitty); further bits (CapsLock, NumLock
// in kitty's reckoning) are no modifier keys.
uint32_t ModifierState(int parameter) {
    const int bits = parameter > 1 ? parameter - 1 : 0;
    uint32_t state = 0;
    if (bits & 1) state |= kShiftPressed;
    if (bits & (2 | 8)) state |= kLeftAltPressed;
    if (bits & 4) state |= kCtrl;
    return state;
}

// `CSI n ~`: the VT220 editing keys and function keys. The Linux console, PuTTY and rxvt
// send Shift with F3..F10 as the VT220's F13..F20 (25 to 34); Shift with F1 and F2 gives
// F11 and F12 there, which cannot be told from the keys themselves.
std::optional<SequenceKey> TildeKey(int number) {
    switch (number) {
        case 1:  // Find, on the Home key
        case 7:
            return Grey(kScanHome);
        case 2:
            return Grey(kScanInsert);
        case 3:
            return Grey(kScanDelete);
        case 4:  // Select, on the End key
        case 8:
            return Grey(kScanEnd);
        case 5:
            return Grey(kScanPageUp);
        case 6:
            return Grey(kScanPageDown);
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return Function(number - 10);
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return Function(number - 11);
        case 23:
        case 24:
            return Function(number - 12);
        case 25:
        case 26:
            return Function(number - 22, kShiftPressed);
        case 28:
        case 29:
            return Function(number - 23, kShiftPressed);
        case 31:
        case 32:
        case 33:
        case 34:
            return Function(number - 24, kShiftPressed);
        default:
            return std::nullopt;
    }
}

// The keys named by a final letter after both introducers.
std::optional<SequenceKey> CursorOrFunctionKey(char final) {
    switch (final) {
        case 'A':
            return Grey(kScanUp);
        case 'B':
            return Grey(kScanDown);
        case 'C':
            return Grey(kScanRight);
        case 'D':
            return Grey(kScanLeft);
        case 'H':
            return Grey(kScanHome);
        case 'F':
            return Grey(kScanEnd);
        case 'E':
            return Plain(kScanCentre);  // the keypad's 5 without NumLock ("Begin")
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            return Function(final - 'P' + 1);
        default:
            return std::nullopt;
    }
}

// `CSI` with a letter: besides the keys above, back-tab, the Linux console's keypad 5, and
// rxvt's Shift with the arrows.
std::optional<SequenceKey> CsiLetterKey(char final) {
    switch (final) {
        case 'Z':
            return SequenceKey{'\t', kScanTab, kShiftPressed};
        case 'G':
            return Plain(kScanCentre);
        case 'a':
            return Grey(kScanUp, kShiftPressed);
        case 'b':
            return Grey(kScanDown, kShiftPressed);
        case 'c':
            return Grey(kScanRight, kShiftPressed);
        case 'd':
            return Grey(kScanLeft, kShiftPressed);
        default:
            return CursorOrFunctionKey(final);
    }
}

// `SS3` with a letter: besides the keys above, rxvt's Ctrl with the arrows and the VT100
// application keypad. Its digit keys are taken as the keypad's cursor keys, as Windows
// reports them without NumLock: a terminal whose NumLock is on sends the digits themselves.
// PC keyboards have no keypad comma: PuTTY and the Linux console send its code for '+'.
std::optional<SequenceKey> Ss3LetterKey(char final) {
    // `SS3 p` to `SS3 y` are the keys 0 to 9.
    static constexpr uint16_t kDigitKeys[] = {kScanInsert, kScanEnd,    kScanDown,  kScanPageDown,
                                              kScanLeft,   kScanCentre, kScanRight, kScanHome,
                                              kScanUp,     kScanPageUp};
    if (final >= 'p' && final <= 'y') return Plain(kDigitKeys[final - 'p']);
    switch (final) {
        case 'a':
            return Grey(kScanUp, kCtrl);
        case 'b':
            return Grey(kScanDown, kCtrl);
        case 'c':
            return Grey(kScanRight, kCtrl);
        case 'd':
            return Grey(kScanLeft, kCtrl);
        case 'M':
            return SequenceKey{'\r', kScanEnter, kEnhancedKey};
        case 'X':
            return SequenceKey{'=', kScanEquals, 0};
        case 'j':
            return SequenceKey{'*', kScanPadStar, 0};
        case 'k':
        case 'l':
            return SequenceKey{'+', kScanPadPlus, 0};
        case 'm':
            return SequenceKey{'-', kScanPadMinus, 0};
        case 'o':
            return SequenceKey{'/', kScanSlash, kEnhancedKey};
        case 'n':
            return Plain(kScanDelete);
        default:
            return CursorOrFunctionKey(final);
    }
}

// st's editing keys while the program has not asked for keypad-transmit mode: st's key
// table puts them on the VT100's editing functions (delete character, insert mode, erase in
// display or line, insert and delete line). No other terminal sends these bytes for a key,
// and `ESC [ M` is a mouse report only while reports are on (the decoder sees to that).
std::optional<SequenceKey> EditingFunctionKey(std::string_view parameters, char final) {
    struct Function {
        std::string_view parameters;
        char final;
        SequenceKey key;
    };
    static constexpr Function kFunctions[] = {
        {"", 'P', Grey(kScanDelete)},
        {"4", 'h', Grey(kScanInsert)},
        {"4", 'l', Grey(kScanInsert, kShiftPressed)},
        {"2", 'J', Grey(kScanHome, kShiftPressed)},
        {"", 'K', Grey(kScanEnd, kShiftPressed)},
        {"2", 'K', Grey(kScanDelete, kShiftPressed)},
        {"", 'J', Grey(kScanEnd, kCtrl)},
        {"", 'L', Grey(kScanInsert, kCtrl)},
        {"", 'M', Grey(kScanDelete, kCtrl)},
    };
    for (const Function& function : kFunctions) {
        if (function.parameters == parameters && function.final == final) return function.key;
    }
    return std::nullopt;
}

}  // namespace

std::vector<int> SequenceParameters(std::string_view parameters) {
    std::vector<int> values{0};
    bool inSubParameter = false;
    for (char c : parameters) {
        if (c == ';') {
            values.push_back(0);
            inSubParameter = false;
        } else if (c == ':') {
            inSubParameter = true;
        } else if (c >= '0' && c <= '9' && !inSubParameter && values.back() < 100000) {
            values.back() = values.back() * 10 + (c - '0');
        }
    }
    return values;
}

std::optional<SequenceKey> KeyFromSequence(SequenceIntroducer introducer,
                                           std::string_view parameters, char final) {
    // Private parameters start reports (device attributes, mouse), never keys.
    if (!parameters.empty() && parameters[0] >= '<' && parameters[0] <= '?') return std::nullopt;
    const std::vector<int> values = SequenceParameters(parameters);
    if (values.size() > 2) return std::nullopt;  // xterm's modifyOtherKeys and the like
    const bool csi = introducer == SequenceIntroducer::kCsi;
    if (csi) {
        if (auto key = EditingFunctionKey(parameters, final)) return key;
    }

    std::optional<SequenceKey> key;
    uint32_t modifiers = 0;
    if (csi && (final == '~' || final == '$' || final == '^' || final == '@')) {
        // `CSI n ; m ~`, and rxvt's Shift ($), Ctrl (^) and both (@) in place of the '~'.
        key = TildeKey(values[0]);
        if (values.size() == 2) modifiers = ModifierState(values[1]);
        if (final == '$') modifiers |= kShiftPressed;
        if (final == '^') modifiers |= kCtrl;
        if (final == '@') modifiers |= kCtrl | kShiftPressed;
    } else {
        key = csi ? CsiLetterKey(final) : Ss3LetterKey(final);
        // The modifier stands alone (Konsole's `SS3 2 P`, old xterm's `CSI 2 A`) or after a
        // 1 (`CSI 1 ; 2 P`, old GNOME Terminal's `SS3 1 ; 2 P`). Any other pair is a report,
        // such as where the cursor is.
        if (values.size() == 2 && values[0] > 1) return std::nullopt;
        if (!parameters.empty()) modifiers = ModifierState(values.back());
    }
    if (key) key->state |= modifiers;
    return key;
}

}  // namespace platform::posix
