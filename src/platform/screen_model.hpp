#pragma once
// A console screen buffer as the Windows console keeps it, for the backends that have to
// provide one themselves: the simulated console holds its cells here, and the POSIX backend
// keeps its shadow of the terminal here so that it always knows where the cursor is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/console.hpp"

namespace platform {

class ScreenModel {
  public:
    /// Changes the size, keeping the cells that still fit and the cursor inside.
    void Resize(int16_t width, int16_t height);

    int16_t Width() const { return width_; }
    int16_t Height() const { return height_; }
    Coord Cursor() const { return cursor_; }
    /// Places the cursor, clamped to the buffer.
    void SetCursor(Coord position);

    const CharInfo& At(int x, int y) const { return cells_[Index(x, y)]; }
    void Put(int x, int y, CharInfo cell) { cells_[Index(x, y)] = cell; }

    /// Moves rows top+count..bottom up by `count` rows; the rows left open take `fill`.
    void ScrollUp(int top, int bottom, int count, CharInfo fill);

    /// Writes `length` copies of the character (or attribute) from `start`, row after row,
    /// stopping at the end of the buffer; returns how many cells were written.
    uint32_t FillCharacters(char character, uint32_t length, Coord start);
    uint32_t FillAttributes(uint16_t attribute, uint32_t length, Coord start);

  private:
    // Applies `change` to `length` cells from `start` on, row after row, up to the end of
    // the buffer; returns how many cells it changed.
    template <class Change>
    uint32_t ForCellsFrom(Coord start, uint32_t length, Change change) {
        if (start.x < 0 || start.y < 0 || start.x >= width_ || start.y >= height_) return 0;
        const size_t first = Index(start.x, start.y);
        const size_t count = std::min<size_t>(length, cells_.size() - first);
        for (size_t i = first; i < first + count; ++i)
            change(cells_[i]);
        return static_cast<uint32_t>(count);
    }

    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

    int16_t width_ = 0;
    int16_t height_ = 0;
    Coord cursor_{0, 0};
    std::vector<CharInfo> cells_;
};

/// What one step of processed output did, for a backend that mirrors it on a terminal.
enum class ProcessedStep {
    kGlyph,           // a byte shown at the cursor; the cursor moved right
    kGlyphThenWrap,   // the same, into the last column: the cursor moved to the next row
    kCarriageReturn,  // the cursor went to column 0
    kLineFeed,        // the cursor went to column 0 of the next row
    kBackspace,       // the cursor moved one cell left
    kBell,            // nothing moved
};

/// Applies one byte of console output in processed mode, as the Windows console does with
/// ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT: CR, LF, BS and BEL act, TAB writes
/// blanks up to the next multiple of 8, every other byte is a glyph; a glyph in the last
/// column moves the cursor to the next row at once, scrolling at the bottom. `echo` is called
/// for each step with the step, the glyph byte and whether the buffer scrolled.
template <class Echo>
void WriteProcessedByte(ScreenModel& screen, uint8_t byte, uint16_t attribute, Echo&& echo);

/// Applies every byte of `bytes` with WriteProcessedByte.
template <class Echo>
void WriteProcessed(ScreenModel& screen, std::string_view bytes, uint16_t attribute, Echo&& echo) {
    for (char byte : bytes)
        WriteProcessedByte(screen, static_cast<uint8_t>(byte), attribute, echo);
}

namespace screen_model_detail {
// Moves the cursor to column 0 of the next row; returns whether the buffer scrolled.
bool NextRow(ScreenModel& screen, uint16_t attribute);
// Puts a glyph at the cursor and advances; returns the step and whether it scrolled.
ProcessedStep PutGlyph(ScreenModel& screen, uint8_t byte, uint16_t attribute, bool* scrolled);
}  // namespace screen_model_detail

template <class Echo>
void WriteProcessedByte(ScreenModel& screen, uint8_t byte, uint16_t attribute, Echo&& echo) {
    using namespace screen_model_detail;
    bool scrolled = false;
    switch (byte) {
        case '\r':
            screen.SetCursor({0, screen.Cursor().y});
            echo(ProcessedStep::kCarriageReturn, byte, false);
            return;
        case '\n':
            scrolled = NextRow(screen, attribute);
            echo(ProcessedStep::kLineFeed, byte, scrolled);
            return;
        case '\b':
            if (screen.Cursor().x > 0) {
                screen.SetCursor({static_cast<int16_t>(screen.Cursor().x - 1), screen.Cursor().y});
                echo(ProcessedStep::kBackspace, byte, false);
            }
            return;
        case '\a':
            echo(ProcessedStep::kBell, byte, false);
            return;
        case '\t':
            do {
                const ProcessedStep step = PutGlyph(screen, ' ', attribute, &scrolled);
                echo(step, ' ', scrolled);
            } while (screen.Cursor().x % 8 != 0);
            return;
        default: {
            const ProcessedStep step = PutGlyph(screen, byte, attribute, &scrolled);
            echo(step, byte, scrolled);
        }
    }
}

}  // namespace platform
