#include "platform/posix/print/page_edges_posix.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace platform::posix {
namespace {

// Descriptions give decimal numbers that reach us as binary floating point (a PPD's 7.2
// points is 7.19999981 as a float, 29.99999 pixels at 300 dpi): a distance this close below
// a whole pixel is that pixel.
constexpr double kPixelSlack = 1.0 / 100;

}  // namespace

PaperArea AreaFromMargins(double unitsPerInch, double width, double length, double left,
                          double right, double top, double bottom) {
    return {unitsPerInch, width, length, left, bottom, width - right, length - top};
}

int32_t EdgeInPixels(double distance, double unitsPerInch, int32_t dpi) {
    const double pixels = std::floor(distance * dpi / unitsPerInch + kPixelSlack);
    // A description with absurd numbers must not overflow the conversion.
    if (!(pixels > INT32_MIN)) return INT32_MIN;  // NaN lands here too
    return pixels < INT32_MAX ? static_cast<int32_t>(pixels) : INT32_MAX;
}

int32_t DotsPerInch(int32_t value, bool perCm) {
    const int64_t dots = perCm ? int64_t{value} * 254 / 100 : value;
    return dots >= 1 && dots <= kMaxDpi ? static_cast<int32_t>(dots) : 0;
}

bool DescriptionMakesSense(const PaperArea& area, int32_t dpiX, int32_t dpiY) {
    const auto sensibleDpi = [](int32_t dpi) { return dpi >= 1 && dpi <= kMaxDpi; };
    const auto sensibleSide = [&](double side) {
        return std::isfinite(side) && side > 0 && side <= kMaxPaperInches * area.unitsPerInch;
    };
    if (!sensibleDpi(dpiX) || !sensibleDpi(dpiY) || !(area.unitsPerInch > 0) ||
        !sensibleSide(area.width) || !sensibleSide(area.length)) {
        return false;
    }
    const PageGeometry geometry = GeometryOf(area, dpiX, dpiY, false);
    return geometry.printableWidth >= 1 && geometry.printableHeight >= 1;
}

PageGeometry GeometryOf(const PaperArea& area, int32_t dpiX, int32_t dpiY, bool landscape) {
    const double units = area.unitsPerInch;
    const int32_t width = EdgeInPixels(area.width, units, dpiX);
    const int32_t length = EdgeInPixels(area.length, units, dpiY);
    // An area that reaches past the paper is cut at its edges.
    const auto across = [&](double edge) {
        return std::clamp(EdgeInPixels(edge, units, dpiX), 0, width);
    };
    const auto up = [&](double edge) {
        return std::clamp(EdgeInPixels(edge, units, dpiY), 0, length);
    };
    const int32_t left = across(area.left);
    const int32_t right = std::max(left, across(area.right));
    const int32_t bottom = up(area.bottom);
    const int32_t top = std::max(bottom, up(area.top));
    if (!landscape) {
        // The device's y runs down from the top edge of the paper.
        return {dpiX, dpiY, width, length, left, length - top, right - left, top - bottom};
    }
    // Across the turned page runs up the paper from its bottom edge; down the page runs
    // across the paper from its left edge.
    return {dpiY, dpiX, length, width, bottom, left, top - bottom, right - left};
}

}  // namespace platform::posix
