#pragma once
// Turns the bytes a terminal sends into console input records, as the Windows console
// reports keys and the mouse: a key-down and a key-up record per key with its character,
// PC scan code and control-key state, and mouse records for xterm's mouse reports (SGR, and
// the older X10 form of terminals without it). A lone LF is the Enter key, as line-oriented
// programs take it: some terminals send it for the keypad's Enter.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "platform/console.hpp"

namespace platform::posix {

/// Monotonic time in milliseconds.
using Millis = int64_t;

class InputDecoder {
  public:
    struct Settings {
        /// The terminal sends UTF-8: characters become their code page 437 bytes.
        bool utf8 = true;
        /// The byte the terminal's erase key sends besides DEL (VERASE).
        uint8_t eraseByte = 127;
    };

    InputDecoder() = default;
    explicit InputDecoder(Settings settings) : settings_(settings) {}

    /// Takes bytes that arrived at `now`. Whole keys and mouse reports become records; the
    /// start of a sequence waits for the rest of it.
    void Feed(std::string_view bytes, Millis now);

    /// Decides what bytes that waited long enough mean: a lone Esc after 50 ms, an
    /// unfinished sequence after 300 ms (its bytes are then keys).
    void Expire(Millis now);

    /// When Expire has something to decide, if bytes are waiting.
    std::optional<Millis> Deadline() const;

    /// Whether the terminal has been asked for mouse reports. Only then can `ESC [ M` start
    /// an X10 report; otherwise it is a key (st's Ctrl+Delete).
    void SetMouseReports(bool on) { mouseReports_ = on; }

    /// The decoded records, oldest first; the caller takes them from the front.
    std::deque<InputRecord>& Records() { return records_; }

  private:
    size_t DecodeAt(size_t at, uint32_t alt, bool expired);
    size_t DecodeSequence(size_t at, uint32_t alt, bool expired);
    size_t DecodeUtf8(size_t at, uint32_t alt, bool expired);
    void DecodeMouse(int code, int column, int row, bool released);
    size_t DecodeX10Mouse(size_t at, uint32_t alt, bool expired);
    void DecodePending(bool expired);
    void EmitKey(char character, uint16_t scanCode, uint32_t state);
    void EmitByteKey(uint8_t byte, uint32_t alt);

    Settings settings_;
    bool mouseReports_ = false;
    std::string pending_;
    Millis pendingSince_ = 0;
    Millis now_ = 0;
    std::deque<InputRecord> records_;

    // The mouse: buttons held, and the last press for double clicks.
    uint32_t buttonsHeld_ = 0;
    uint32_t lastPressButton_ = 0;
    Coord lastPressCell_{-1, -1};
    Millis lastPressTime_ = 0;
};

}  // namespace platform::posix
