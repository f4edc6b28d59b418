#include "printer/drawing_state.hpp"

#include "printer/device_colors.hpp"
#include "printer/document.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

namespace {

constexpr uint32_t kColorMask = 0xFFFFFF;
constexpr int32_t kLastPenStyle = 4;
constexpr int32_t kMixCopyPen = 13;
constexpr int32_t kLastMix = 16;

}  // namespace

void PrnTextColor(int32_t color) {
    if (!PrnRequirePage()) return;
    if (color == kPrnCurrentColor) color = 0;
    gPrinter.textColor = static_cast<int32_t>(static_cast<uint32_t>(color) & kColorMask);
    const auto text = static_cast<uint32_t>(gPrinter.textColor);
    PrnCallOs([&] { return platform::SetTextColor(gPrinter.dc, text); });
}

void PrnBackColor(int32_t color) {
    if (!PrnRequirePage()) return;
    gPrinter.backColor = color == kPrnCurrentColor || color == kPrnTransparent
                             ? kPrnTransparent
                             : static_cast<int32_t>(static_cast<uint32_t>(color) & kColorMask);
    PrnApplyBackground();
}

void PrnPenStyle(int32_t style) {
    gPrinter.penStyle =
        static_cast<uint32_t>(style) > static_cast<uint32_t>(kLastPenStyle) ? 0 : style;
}

void PrnPenWidth(int32_t width) { gPrinter.penWidth = width; }

void PrnSetMix(int32_t mode) {
    if (!PrnRequirePage()) return;
    if (mode == 0 || static_cast<uint32_t>(mode) > static_cast<uint32_t>(kLastMix)) {
        mode = kMixCopyPen;
    }
    PrnCallOs([&] { return platform::SetROP2(gPrinter.dc, mode); });
}

int32_t PrnGetMix() {
    if (!PrnAttached()) {
        RtRaiseError(kRtErrDeviceIo);
        return 0;
    }
    // The device only reports its mode when it is changed: set copy pen, then put the old
    // mode back.
    const int32_t mode = PrnCallOs([] { return platform::SetROP2(gPrinter.dc, kMixCopyPen); });
    PrnCallOs([&] { return platform::SetROP2(gPrinter.dc, mode); });
    return mode;
}
