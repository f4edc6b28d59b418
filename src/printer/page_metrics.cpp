#include "printer/page_metrics.hpp"

#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"
#include "runtime/errors.hpp"

namespace {

int32_t DeviceCaps(platform::DeviceCap index) {
    return PrnCallOs([&] { return platform::GetDeviceCaps(gPrinter.dc, index); });
}

// Whether a query may run; raises 57 when nothing is attached.
bool QueryAllowed() {
    if (PrnAttached()) return true;
    RtRaiseError(kRtErrDeviceIo);
    return false;
}

}  // namespace

void PrnRefreshPageMetrics() {
    gPrinter.printableWidth = DeviceCaps(platform::kHorzRes);
    gPrinter.printableHeight = DeviceCaps(platform::kVertRes);
    gPrinter.physicalWidth = DeviceCaps(platform::kPhysicalWidth);
    gPrinter.physicalHeight = DeviceCaps(platform::kPhysicalHeight);
    gPrinter.offsetX = DeviceCaps(platform::kPhysicalOffsetX);
    gPrinter.offsetY = DeviceCaps(platform::kPhysicalOffsetY);
}

PrnPair PrnClientSize() {
    if (!QueryAllowed()) return {0, 0};
    return PrnSizeToWorld(gPrinter.printableWidth, gPrinter.printableHeight);
}

PrnMarginSet PrnMargins() {
    if (!QueryAllowed()) return {0, 0, 0, 0};
    const PrnPair leftTop = PrnSizeToWorld(gPrinter.offsetX, gPrinter.offsetY);
    const PrnPair rightBottom = PrnSizeToWorld(
        PrnSaturate(int64_t{gPrinter.physicalWidth} - gPrinter.offsetX - gPrinter.printableWidth),
        PrnSaturate(int64_t{gPrinter.physicalHeight} - gPrinter.offsetY -
                    gPrinter.printableHeight));
    return {leftTop.x, leftTop.y, rightBottom.x, rightBottom.y};
}

PrnPair PrnPaperSize() {
    if (!QueryAllowed()) return {0, 0};
    return PrnSizeToWorld(gPrinter.physicalWidth, gPrinter.physicalHeight);
}

PrnPair PrnPosition() {
    if (!QueryAllowed()) return {0, 0};
    return PrnToWorld(gPrinter.currentX, gPrinter.currentY);
}

PrnDpi PrnResolution() {
    if (!QueryAllowed()) return {0, 0};
    return {DeviceCaps(platform::kLogPixelsX), DeviceCaps(platform::kLogPixelsY)};
}
