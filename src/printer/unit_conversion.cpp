#include "printer/unit_conversion.hpp"

#include <algorithm>
#include <bit>
#include <cmath>

#include "printer/printer_state.hpp"

namespace {

// One device coordinate of a user coordinate.
int32_t AxisToDevice(double value, bool relative, float origin, float factor, bool flip,
                     int32_t extent, int32_t current) {
    if (relative) {
        const int64_t step = PrnRound(value * factor);
        return PrnSaturate((flip ? -step : step) + current);
    }
    const int32_t device = PrnRound((value - origin) * factor);
    return flip ? PrnSaturate(int64_t{extent} - device) : device;
}

}  // namespace

// The window is tested on the factor's bit pattern, so that a negative zero counts as set.
bool PrnScaled() { return std::bit_cast<uint32_t>(gPrinter.factorY) != 0; }

int32_t PrnRound(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded > INT32_MIN)) return INT32_MIN;  // NaN lands here too
    if (rounded > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(rounded);
}

int32_t PrnSaturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

platform::Point PrnToDevice(double x, double y, bool relative) {
    if (!PrnScaled()) {
        const int32_t dx = PrnRound(x);
        const int32_t dy = PrnRound(y);
        if (relative) {
            return {PrnSaturate(int64_t{gPrinter.currentX} + dx),
                    PrnSaturate(int64_t{gPrinter.currentY} + dy)};
        }
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
    if (!PrnScaled()) return {double(x), double(y)};
    const double fromX = (gPrinter.flags & kPrnFlipX) ? double(gPrinter.printableWidth) - x : x;
    const double fromY = (gPrinter.flags & kPrnFlipY) ? double(gPrinter.printableHeight) - y : y;
    return {fromX / gPrinter.factorX + gPrinter.originX,
            fromY / gPrinter.factorY + gPrinter.originY};
}

PrnPair PrnSizeToWorld(int32_t width, int32_t height) {
    if (!PrnScaled()) return {double(width), double(height)};
    return {width / double(gPrinter.factorX), height / double(gPrinter.factorY)};
}
