#include "printer/text.hpp"

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "printer/document.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"
#include "runtime/errors.hpp"
#include "runtime/number.hpp"

namespace {

constexpr int32_t kSingleDigits = 7;
constexpr int32_t kDoubleDigits = 15;

// Whether a query may run; raises 57 when nothing is attached.
bool Attached() {
    if (PrnAttached()) return true;
    RtRaiseError(kRtErrDeviceIo);
    return false;
}

int32_t LineHeight() {
    const PrnTextMetricSet& metrics = PrnTextMetrics();
    return PrnSaturate(int64_t{metrics.charHeight} + metrics.externalLeading);
}

}  // namespace

void PrnPrintText(const Text& text) {
    if (text.Empty()) return;
    if (!PrnRequirePage()) return;
    const platform::Handle dc = gPrinter.dc;
    // Every page start sets TA_UPDATECP: the text starts at the device context's current
    // position, so the coordinates given here are not used.
    const auto length = static_cast<int32_t>(text.Length());
    if (!PrnCallOs([&] { return platform::TextOutA(dc, 0, 0, text.Data(), length); })) {
        RtRaiseError(kRtErrDeviceIo);
        return;
    }
    platform::Point position{gPrinter.currentX, gPrinter.currentY};
    PrnCallOs([&] { return platform::GetCurrentPositionEx(dc, &position); });
    gPrinter.currentX = position.x;
    gPrinter.currentY = position.y;
}

void PrnPrintNumber(float value) {
    if (!PrnRequirePage()) return;
    PrnPrintText(NumToText(value, kSingleDigits));
}

void PrnPrintNumber(double value) {
    if (!PrnRequirePage()) return;
    PrnPrintText(NumToText(value, kDoubleDigits));
}

void PrnNewLine() {
    if (!PrnRequirePage()) return;
    gPrinter.currentX = 0;
    // A caption placed near the end of the 32-bit range stays there.
    gPrinter.currentY = PrnSaturate(int64_t{gPrinter.currentY} + LineHeight());
    const int32_t y = gPrinter.currentY;
    PrnCallOs([&] { return platform::MoveToEx(gPrinter.dc, 0, y, nullptr); });
}

PrnPair PrnCharSize() {
    if (!Attached()) return {0, 0};
    const PrnTextMetricSet& metrics = PrnTextMetrics();
    return PrnSizeToWorld(metrics.aveCharWidth, metrics.charHeight);
}

PrnPair PrnTextSize(const Text& text) {
    if (!Attached()) return {0, 0};
    platform::Size size;
    const auto length = static_cast<int32_t>(text.Length());
    const char* bytes = text.Empty() ? "" : text.Data();
    if (!PrnCallOs(
            [&] { return platform::GetTextExtentPoint32A(gPrinter.dc, bytes, length, &size); })) {
        RtRaiseError(kRtErrDeviceIo);
        return {0, 0};
    }
    return PrnSizeToWorld(size.cx, size.cy);
}

int32_t PrnLinesPerPage() {
    if (!Attached()) return 0;
    // A font without metrics (the device would not give them) has no lines to count.
    if (LineHeight() <= 0) return 0;
    return gPrinter.printableHeight / LineHeight();
}
