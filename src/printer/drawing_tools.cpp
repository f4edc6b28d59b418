#include "printer/drawing_tools.hpp"

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "printer/printer_state.hpp"

namespace {

constexpr uint32_t kColorMask = 0xFFFFFF;

platform::Handle Select(platform::Handle object) {
    return PrnCallOs([&] { return platform::SelectObject(gPrinter.dc, object); });
}

void Delete(platform::Handle object) {
    PrnCallOs([&] { return platform::DeleteObject(object); });
}

platform::Handle MakeBrush(int32_t fillColor, int32_t fillStyle) {
    const auto color = static_cast<uint32_t>(fillColor);
    if (static_cast<uint32_t>(fillStyle) > static_cast<uint32_t>(kPrnLastFillStyle) ||
        fillStyle == kPrnFillSolid) {
        return PrnCallOs([&] { return platform::CreateSolidBrush(color); });
    }
    return PrnCallOs([&] { return platform::CreateHatchBrush(fillStyle - 1, color); });
}

}  // namespace

uint32_t PrnLineColor(int32_t color) {
    return static_cast<uint32_t>(color == kPrnCurrentColor ? gPrinter.textColor : color);
}

uint32_t PrnBorderColor(int32_t color) { return PrnLineColor(color) & kColorMask; }

PrnCallPen::PrnCallPen(uint32_t color) {
    const int32_t style = gPrinter.penStyle;
    const int32_t width = gPrinter.penWidth;
    pen_ = PrnCallOs([&] { return platform::CreatePen(style, width, color); });
    if (pen_ == platform::kNullHandle) return;
    previous_ = Select(pen_);
    // A pen the device context would not take is of no use to anyone.
    if (previous_ == platform::kNullHandle) {
        Delete(pen_);
        pen_ = platform::kNullHandle;
    }
}

PrnCallPen::~PrnCallPen() {
    if (pen_ == platform::kNullHandle) return;
    Select(previous_);
    Delete(pen_);
}

PrnCallBrush::PrnCallBrush(int32_t fillColor, int32_t fillStyle, uint32_t borderColor) {
    if (fillColor == kPrnHollow) {
        brush_ = PrnCallOs([] { return platform::GetStockObject(platform::kNullBrush); });
        stock_ = true;
    } else {
        if (fillColor == kPrnCurrentColor) fillColor = static_cast<int32_t>(borderColor);
        brush_ = MakeBrush(fillColor, fillStyle);
    }
    if (brush_ == platform::kNullHandle) return;
    previous_ = Select(brush_);
    if (previous_ == platform::kNullHandle) {
        if (!stock_) Delete(brush_);
        brush_ = platform::kNullHandle;
    }
}

PrnCallBrush::~PrnCallBrush() {
    if (brush_ == platform::kNullHandle) return;
    Select(previous_);
    // Stock objects belong to the system.
    if (!stock_) Delete(brush_);
}
