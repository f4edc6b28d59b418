#include "platform/posix/terminal/input_decoder_posix.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/posix/terminal/cp437_posix.hpp"
#include "platform/posix/terminal/key_sequences_posix.hpp"

namespace platform::posix {
namespace {

constexpr char kEsc = '\x1b';
constexpr Millis kLoneEscWaitMs = 50;
constexpr Millis kSequenceWaitMs = 300;
constexpr Millis kDoubleClickMs = 500;
// A sequence longer than this is garbage: nothing a terminal sends as input is so long.
constexpr size_t kLongestSequence = 32;

constexpr uint16_t kScanEsc = 1, kScanBackspace = 14, kScanTab = 15, kScanEnter = 28;
constexpr uint16_t kScanF1 = 59;

// The printable keys of a US keyboard by scan code, unshifted and shifted.
struct KeyRow {
    uint16_t firstScanCode;
    const char* unshifted;
    const char* shifted;
};
constexpr KeyRow kKeyRows[] = {
    {2, "1234567890-=", "!@#$%^&*()_+"},
    {16, "qwertyuiop[]", "QWERTYUIOP{}"},
    {30, "asdfghjkl;'`", "ASDFGHJKL:\"~"},
    {43, "\\zxcvbnm,./", "|ZXCVBNM<>?"},
    {57, " ", " "},
};

// The key that types `character` on a US keyboard: its scan code, and whether Shift is down.
bool FindKey(char character, uint16_t* scanCode, bool* shifted) {
    for (const KeyRow& row : kKeyRows) {
        if (const char* at = std::strchr(row.unshifted, character); at && character) {
            *scanCode = static_cast<uint16_t>(row.firstScanCode + (at - row.unshifted));
            *shifted = false;
            return true;
        }
        if (const char* at = std::strchr(row.shifted, character); at && character) {
            *scanCode = static_cast<uint16_t>(row.firstScanCode + (at - row.shifted));
            *shifted = true;
            return true;
        }
    }
    return false;
}

bool IsParameterByte(char c) { return c >= 0x30 && c <= 0x3F; }
bool IsFinalByte(char c) { return c >= 0x40 && c <= 0x7E; }

uint16_t LetterScanCode(char letter) {
    uint16_t scanCode = 0;
    bool shifted = false;
    FindKey(letter, &scanCode, &shifted);
    return scanCode;
}

}  // namespace

void InputDecoder::EmitKey(char character, uint16_t scanCode, uint32_t state) {
    InputRecord record{InputKind::kKey, {true, character, scanCode, state}, {}};
    records_.push_back(record);
    record.key.keyDown = false;  // terminals report no releases
    records_.push_back(record);
}

void InputDecoder::EmitByteKey(uint8_t byte, uint32_t alt) {
    const char character = static_cast<char>(byte);
    // LF is Enter too, as readline and the terminal's own line editing take it: alacritty
    // sends it for the keypad's Enter, and Ctrl+J cannot be told from it.
    if (byte == 13 || byte == 10) return EmitKey('\r', kScanEnter, alt);
    if (byte == 9) return EmitKey(character, kScanTab, alt);
    if (byte == 27) return EmitKey(character, kScanEsc, alt);
    if (byte == 127 || byte == settings_.eraseByte) return EmitKey(8, kScanBackspace, alt);
    if (byte == 0) return EmitKey(0, 3, alt | kLeftCtrlPressed);  // Ctrl+@
    if (byte < 27) {
        return EmitKey(character, LetterScanCode(static_cast<char>('a' + byte - 1)),
                       alt | kLeftCtrlPressed);
    }
    if (byte < 32) {  // Ctrl+\ Ctrl+] Ctrl+^ Ctrl+_
        static constexpr uint16_t kScanCodes[] = {43, 27, 7, 12};
        return EmitKey(character, kScanCodes[byte - 28], alt | kLeftCtrlPressed);
    }
    uint16_t scanCode = 0;
    bool shifted = false;
    FindKey(character, &scanCode, &shifted);
    EmitKey(character, scanCode, alt | (shifted ? uint32_t{kShiftPressed} : 0u));
}

void InputDecoder::Feed(std::string_view bytes, Millis now) {
    now_ = now;
    if (pending_.empty()) pendingSince_ = now;
    pending_.append(bytes);
    DecodePending(false);
}

void InputDecoder::Expire(Millis now) {
    now_ = now;
    const std::optional<Millis> deadline = Deadline();
    if (deadline && now >= *deadline) DecodePending(true);
}

std::optional<Millis> InputDecoder::Deadline() const {
    if (pending_.empty()) return std::nullopt;
    // A lone Esc (or Esc twice, or Esc O) is a key unless more follows at once; a sequence
    // under way gets longer, because a slow link may split it.
    const bool shortWait = pending_[0] == kEsc &&
                           (pending_.size() == 1 ||
                            (pending_.size() == 2 && (pending_[1] == kEsc || pending_[1] == 'O')));
    return pendingSince_ + (shortWait ? kLoneEscWaitMs : kSequenceWaitMs);
}

void InputDecoder::DecodePending(bool expired) {
    while (!pending_.empty()) {
        const size_t used = DecodeAt(0, 0, expired);
        if (used == 0) return;
        pending_.erase(0, used);
        pendingSince_ = now_;
        expired = false;  // what remains waits anew
    }
}

size_t InputDecoder::DecodeAt(size_t at, uint32_t alt, bool expired) {
    const auto byte = static_cast<uint8_t>(pending_[at]);
    if (byte == kEsc) {
        if (at + 1 == pending_.size()) {
            if (!expired) return 0;
            EmitByteKey(27, alt);
            return 1;
        }
        const char next = pending_[at + 1];
        if (next == '[' || next == 'O') return DecodeSequence(at, alt, expired);
        if (alt) {  // Esc, Esc: the first is Alt, the second a key of its own
            EmitByteKey(27, alt);
            return 1;
        }
        // Esc before a key or a sequence is Alt with that key.
        const size_t used = DecodeAt(at + 1, kLeftAltPressed, expired);
        return used == 0 ? 0 : used + 1;
    }
    if (byte >= 0x80 && settings_.utf8) return DecodeUtf8(at, alt, expired);
    // A terminal in newline mode sends CR LF for Enter: one key.
    if (byte == '\r' && at + 1 < pending_.size() && pending_[at + 1] == '\n') {
        EmitByteKey(byte, alt);
        return 2;
    }
    EmitByteKey(byte, alt);
    return 1;
}

size_t InputDecoder::DecodeSequence(size_t at, uint32_t alt, bool expired) {
    const bool csi = pending_[at + 1] == '[';
    const size_t start = at + 2;
    size_t end = start;
    const auto unfinished = [&]() -> size_t {
        if (end - at > kLongestSequence) return end - at;  // garbage: dropped
        if (!expired) return 0;
        if (!csi && end == start) {
            EmitByteKey('O', alt | kLeftAltPressed);  // Alt+Shift+O, sent as Esc O
            return 2;
        }
        EmitByteKey(27, alt);  // given up: the bytes are keys
        return 1;
    };
    if (csi && end < pending_.size() && pending_[end] == '[') {  // the Linux console's F1..F5
        if (end + 1 >= pending_.size()) return unfinished();
        const char final = pending_[end + 1];
        if (final >= 'A' && final <= 'E') EmitKey(0, kScanF1 + (final - 'A'), alt);
        return end + 2 - at;
    }
    if (csi && mouseReports_ && end < pending_.size() && pending_[end] == 'M') {
        return DecodeX10Mouse(at, alt, expired);
    }
    while (end < pending_.size() && IsParameterByte(pending_[end]))
        ++end;
    // rxvt ends some keys with '$', which is otherwise an intermediate byte.
    while (csi && end < pending_.size() && pending_[end] >= 0x20 && pending_[end] <= 0x2F &&
           pending_[end] != '$') {
        ++end;
    }
    if (end >= pending_.size()) return unfinished();
    const char final = pending_[end];
    if (!(IsFinalByte(final) || (csi && final == '$'))) {
        if (!csi && end == start) {  // Esc O and then a key: Alt+Shift+O and that key
            EmitByteKey('O', alt | kLeftAltPressed);
            return 2;
        }
        // Garbage is dropped up to the byte that broke it; an Esc there starts the next key.
        return (final == kEsc ? end : end + 1) - at;
    }
    const std::string_view parameters(pending_.data() + start, end - start);
    if (csi && !parameters.empty() && parameters[0] == '<') {
        const std::vector<int> values = SequenceParameters(parameters.substr(1));
        if ((final == 'M' || final == 'm') && values.size() >= 3) {
            DecodeMouse(values[0], values[1], values[2], final == 'm');
        }
    } else if (const auto key = KeyFromSequence(
                   csi ? SequenceIntroducer::kCsi : SequenceIntroducer::kSs3, parameters, final)) {
        EmitKey(key->character, key->scanCode, key->state | alt);
    }
    return end + 1 - at;
}

size_t InputDecoder::DecodeUtf8(size_t at, uint32_t alt, bool expired) {
    const auto lead = static_cast<uint8_t>(pending_[at]);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || lead >= 0xF8) return 1;  // a stray continuation byte: dropped
    char32_t codePoint = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if (at + i >= pending_.size()) return expired ? pending_.size() - at : 0;
        const auto next = static_cast<uint8_t>(pending_[at + i]);
        if ((next & 0xC0) != 0x80) return i;  // broken: dropped up to the next lead byte
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    // Characters that code page 437 lacks cannot be typed into the program.
    if (const int byte = Cp437FromUnicode(codePoint); byte >= 0) {
        EmitKey(static_cast<char>(byte), 0, alt);
    }
    return length;
}

size_t InputDecoder::DecodeX10Mouse(size_t at, uint32_t alt, bool expired) {
    // `ESC [ M` and three bytes, each 32 more than its number: the button code, the column,
    // the row (from 1). A control byte among them, or no bytes in time, shows that the three
    // bytes were a key after all (st sends them for Ctrl+Delete); what follows is typed.
    const size_t report = at + 3;
    size_t have = 0;
    while (have < 3 && report + have < pending_.size() &&
           static_cast<uint8_t>(pending_[report + have]) >= 32) {
        ++have;
    }
    if (have < 3) {
        if (!expired && report + have == pending_.size()) return 0;
        const auto key = KeyFromSequence(SequenceIntroducer::kCsi, "", 'M');
        EmitKey(key->character, key->scanCode, key->state | alt);
        return report - at;
    }
    // A release does not say which button: it releases one held, the left one first.
    const auto number = [&](size_t i) { return static_cast<uint8_t>(pending_[report + i]) - 32; };
    int code = number(0);
    const bool released = (code & (3 | 32 | 64)) == 3;
    if (released) {
        if (buttonsHeld_ == 0) return report + 3 - at;
        const int held = (buttonsHeld_ & 0x1) ? 0 : (buttonsHeld_ & 0x2) ? 2 : 1;  // SGR codes
        code = (code & ~3) | held;
    }
    DecodeMouse(code, number(1), number(2), released);
    return report + 3 - at;
}

void InputDecoder::DecodeMouse(int code, int column, int row, bool released) {
    const Coord cell{static_cast<int16_t>(column > 0 ? std::min(column, 32767) - 1 : 0),
                     static_cast<int16_t>(row > 0 ? std::min(row, 32767) - 1 : 0)};
    uint32_t state = 0;
    if (code & 4) state |= kShiftPressed;
    if (code & 8) state |= kLeftAltPressed;
    if (code & 16) state |= kLeftCtrlPressed;

    MouseRecord mouse{cell, buttonsHeld_, 0, state};
    if (code & 64) {
        // A wheel turn: +120 away from the user, -120 towards, in the high word.
        const uint32_t delta = (code & 1) ? 0xFF88u : 120u;
        mouse.buttonState = buttonsHeld_ | (delta << 16);
        mouse.eventFlags = kMouseWheeled;
    } else if (code & 32) {
        mouse.eventFlags = kMouseMoved;
    } else {
        static constexpr uint32_t kButtonBits[] = {0x1, 0x4, 0x2, 0x0};  // left, middle, right
        const uint32_t button = kButtonBits[code & 3];
        if (button == 0) return;
        if (released) {
            buttonsHeld_ &= ~button;
        } else {
            buttonsHeld_ |= button;
            // A second press of the same button on the same cell soon after is a double
            // click, as the Windows console reports it; the third starts again.
            const bool twice = button == lastPressButton_ && cell.x == lastPressCell_.x &&
                               cell.y == lastPressCell_.y &&
                               now_ - lastPressTime_ <= kDoubleClickMs;
            if (twice) {
                mouse.eventFlags = kDoubleClick;
                lastPressButton_ = 0;
            } else {
                lastPressButton_ = button;
                lastPressCell_ = cell;
                lastPressTime_ = now_;
            }
        }
        mouse.buttonState = buttonsHeld_;
    }
    records_.push_back({InputKind::kMouse, {}, mouse});
}

}  // namespace platform::posix
