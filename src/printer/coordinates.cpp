#include "printer/coordinates.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "printer/document.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

namespace {

// The window is tested on the factor's bit pattern, so that a negative zero counts as set.
bool Scaled() { return std::bit_cast<uint32_t>(gPrinter.factorY) != 0; }

void DropWindow() {
    gPrinter.originX = gPrinter.originY = 0;
    gPrinter.factorX = gPrinter.factorY = 0;
    gPrinter.flags &= ~(kPrnFlipX | kPrnFlipY);
}

// One axis of a window from its two edges over `extent` device pixels.
void SetAxis(float low, float high, int32_t extent, float* origin, float* factor, PrnFlag flip) {
    if (low < high) {
        *origin = low;
        *factor = static_cast<float>(extent / (static_cast<double>(high) - low));
    } else {
        *origin = high;
        *factor = static_cast<float>(extent / (static_cast<double>(low) - high));
        gPrinter.flags |= flip;
    }
}

// One device coordinate of a user coordinate.
int32_t AxisToDevice(double value, bool relative, float origin, float factor, bool flip,
                     int32_t extent, int32_t current) {
    if (relative) {
        const int32_t step = PrnRound(value * factor);
        return (flip ? -step : step) + current;
    }
    const int32_t device = PrnRound((value - origin) * factor);
    return flip ? extent - device : device;
}

}  // namespace

int32_t PrnRound(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded > INT32_MIN)) return INT32_MIN;  // NaN lands here too
    if (rounded > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(rounded);
}

int32_t PrnSaturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

void PrnScale(float x1, float y1, float x2, float y2) {
    if (!PrnRequirePage()) return;
    if (x1 == x2 || y1 == y2) {
        RtRaiseError(kRtErrInvalidArgument);
        return;
    }
    gPrinter.flags &= ~(kPrnFlipX | kPrnFlipY);
    SetAxis(x1, x2, gPrinter.printableWidth, &gPrinter.originX, &gPrinter.factorX, kPrnFlipX);
    SetAxis(y1, y2, gPrinter.printableHeight, &gPrinter.originY, &gPrinter.factorY, kPrnFlipY);
    if (gPrinter.originX == 0 && gPrinter.originY == 0 && gPrinter.factorX == 1.0f &&
        gPrinter.factorY == 1.0f) {
        DropWindow();
    }
}

void PrnScaleReset() {
    if (!PrnEnsurePage()) return;
    DropWindow();
}

PrnWindow PrnGetScale() {
    if (!PrnEnsurePage()) return {0, 0, 0, 0};
    if (!Scaled()) return {0, 0, double(gPrinter.printableWidth), double(gPrinter.printableHeight)};
    return {gPrinter.originX, gPrinter.originY,
            gPrinter.originX + gPrinter.printableWidth / double(gPrinter.factorX),
            gPrinter.originY + gPrinter.printableHeight / double(gPrinter.factorY)};
}

platform::Point PrnToDevice(double x, double y, bool relative) {
    if (!Scaled()) {
        const int32_t dx = PrnRound(x);
        const int32_t dy = PrnRound(y);
        if (relative) return {gPrinter.currentX + dx, gPrinter.currentY + dy};
        return {dx, dy};
    }
    const int32_t dy =
        AxisToDevice(y, relative, gPrinter.originY, gPrinter.factorY, gPrinter.flags & kPrnFlipY,
                     gPrinter.printableHeight, gPrinter.currentY);
    const int32_t dx =
        AxisToDevice(x, relative, gPrinter.originX, gPrinter.factorX, gPrinter.flags & kPrnFlipX,
                     gPrinter.printableWidth, gPrinter.currentX);
    return {dx, dy};
}

PrnPair PrnToWorld(int32_t x, int32_t y) {
    if (!Scaled()) return {double(x), double(y)};
    const double fromX = (gPrinter.flags & kPrnFlipX) ? gPrinter.printableWidth - x : x;
    const double fromY = (gPrinter.flags & kPrnFlipY) ? gPrinter.printableHeight - y : y;
    return {fromX / gPrinter.factorX + gPrinter.originX,
            fromY / gPrinter.factorY + gPrinter.originY};
}

PrnPair PrnSizeToWorld(int32_t width, int32_t height) {
    if (!Scaled()) return {double(width), double(height)};
    return {width / double(gPrinter.factorX), height / double(gPrinter.factorY)};
}
