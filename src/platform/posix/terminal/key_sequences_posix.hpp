#pragma once
// Which key a finished escape sequence from the terminal names: the CSI (ESC [) and SS3
// (ESC O) forms of the cursor, editing, keypad and function keys of xterm and the terminals
// that follow it, of the VT220 family (the Linux console, PuTTY, rxvt) and of Konsole, with
// their modifiers, as the Windows console reports the same key.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::posix {

/// A key as the console reports it: its character (0 for keys without one), PC scan code
/// (set 1) and control-key state.
struct SequenceKey {
    char character;
    uint16_t scanCode;
    uint32_t state;
};

/// The introducer of a sequence: ESC [ or ESC O.
enum class SequenceIntroducer { kCsi, kSs3 };

/// The numbers of a parameter string, split at ';' (an empty number is 0; anything after a
/// ':' in a number, as kitty sends, is ignored).
std::vector<int> SequenceParameters(std::string_view parameters);

/// The key that `introducer`, `parameters` and `final` name, or none when the sequence is
/// not a key the terminals send (a report, an unknown key): the caller drops it whole.
std::optional<SequenceKey> KeyFromSequence(SequenceIntroducer introducer,
                                           std::string_view parameters, char final);

}  // namespace platform::posix
