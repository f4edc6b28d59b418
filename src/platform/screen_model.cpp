#include "platform/screen_model.hpp"

#include <algorithm>

namespace platform {

void ScreenModel::Resize(int16_t width, int16_t height) {
    width = std::max<int16_t>(width, 1);
    height = std::max<int16_t>(height, 1);
    std::vector<CharInfo> cells(static_cast<size_t>(width) * height, CharInfo{' ', 7});
    for (int y = 0; y < std::min(height, height_); ++y) {
        for (int x = 0; x < std::min(width, width_); ++x) {
            cells[static_cast<size_t>(y) * width + x] = At(x, y);
        }
    }
    cells_ = std::move(cells);
    width_ = width;
    height_ = height;
    SetCursor(cursor_);
}

void ScreenModel::SetCursor(Coord position) {
    cursor_.x = std::clamp<int16_t>(position.x, 0, static_cast<int16_t>(width_ - 1));
    cursor_.y = std::clamp<int16_t>(position.y, 0, static_cast<int16_t>(height_ - 1));
}

void ScreenModel::ScrollUp(int top, int bottom, int count, CharInfo fill) {
    top = std::max(top, 0);
    bottom = std::min(bottom, height_ - 1);
    if (top > bottom || count <= 0) return;
    count = std::min(count, bottom - top + 1);
    auto row = [&](int y) { return cells_.begin() + static_cast<ptrdiff_t>(Index(0, y)); };
    std::copy(row(top + count), row(bottom + 1), row(top));
    std::fill(row(bottom + 1 - count), row(bottom + 1), fill);
}

uint32_t ScreenModel::FillCharacters(char character, uint32_t length, Coord start) {
    return ForCellsFrom(start, length, [&](CharInfo& cell) { cell.character = character; });
}

uint32_t ScreenModel::FillAttributes(uint16_t attribute, uint32_t length, Coord start) {
    return ForCellsFrom(start, length, [&](CharInfo& cell) { cell.attributes = attribute; });
}

namespace screen_model_detail {

bool NextRow(ScreenModel& screen, uint16_t attribute) {
    const int16_t y = screen.Cursor().y;
    if (y + 1 < screen.Height()) {
        screen.SetCursor({0, static_cast<int16_t>(y + 1)});
        return false;
    }
    screen.ScrollUp(0, screen.Height() - 1, 1, {' ', attribute});
    screen.SetCursor({0, y});
    return true;
}

ProcessedStep PutGlyph(ScreenModel& screen, uint8_t byte, uint16_t attribute, bool* scrolled) {
    const Coord at = screen.Cursor();
    screen.Put(at.x, at.y, {static_cast<char>(byte), attribute});
    *scrolled = false;
    if (at.x + 1 < screen.Width()) {
        screen.SetCursor({static_cast<int16_t>(at.x + 1), at.y});
        return ProcessedStep::kGlyph;
    }
    *scrolled = NextRow(screen, attribute);
    return ProcessedStep::kGlyphThenWrap;
}

}  // namespace screen_model_detail
}  // namespace platform
