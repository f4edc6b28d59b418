#include "printer/shapes.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "printer/document.hpp"
#include "printer/drawing_tools.hpp"
#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"

namespace {

// The platform only takes the directions of an arc's end points from the centre, so any
// radius well outside the ellipse will do.
constexpr double kArcRayLength = 5000;

// Stores the position and tells the device context, which every position-setting operation
// keeps equal to the stored one.
void SetPosition(platform::Point point) {
    gPrinter.currentX = point.x;
    gPrinter.currentY = point.y;
    PrnCallOs([&] { return platform::MoveToEx(gPrinter.dc, point.x, point.y, nullptr); });
}

platform::Size CornerSize(platform::Point low, platform::Point high, int32_t rounding) {
    const int64_t width = int64_t{high.x} - low.x;
    const int64_t height = int64_t{high.y} - low.y;
    if (rounding == kPrnEllipse) return {PrnSaturate(width + 1), PrnSaturate(height + 1)};
    if (rounding < 0 || rounding > 100) rounding = 100;
    const int32_t corner = PrnSaturate(std::min(width, height) * rounding / 100);
    return {corner, corner};
}

platform::Point RayEnd(double centreX, double centreY, double angle) {
    return {PrnRound(centreX + kArcRayLength * std::cos(angle)),
            PrnRound(centreY - kArcRayLength * std::sin(angle))};
}

}  // namespace

void PrnMoveTo(double x, double y, bool relative) {
    if (!PrnRequirePage()) return;
    SetPosition(PrnToDevice(x, y, relative));
}

void PrnLineTo(double x, double y, bool relative, int32_t color) {
    if (!PrnRequirePage()) return;
    const platform::Point point = PrnToDevice(x, y, relative);
    gPrinter.currentX = point.x;
    gPrinter.currentY = point.y;
    PrnCallPen pen(PrnLineColor(color));
    PrnCallOs([&] { return platform::LineTo(gPrinter.dc, point.x, point.y); });
}

void PrnSetPixel(double x, double y, bool relative, int32_t color) {
    if (!PrnRequirePage()) return;
    const platform::Point point = PrnToDevice(x, y, relative);
    gPrinter.currentX = point.x;
    gPrinter.currentY = point.y;
    const uint32_t pixel = PrnLineColor(color);
    PrnCallOs([&] { return platform::SetPixelV(gPrinter.dc, point.x, point.y, pixel); });
    SetPosition(point);
}

int32_t PrnGetPixel(double x, double y, bool relative) {
    if (!PrnRequirePage()) return 0;
    const platform::Point point = PrnToDevice(x, y, relative);
    return static_cast<int32_t>(
        PrnCallOs([&] { return platform::GetPixel(gPrinter.dc, point.x, point.y); }));
}

void PrnBox(double x1, double y1, double x2, double y2, int32_t rounding, int32_t border,
            int32_t fill, int32_t fillStyle) {
    if (!PrnRequirePage()) return;
    platform::Point low = PrnToDevice(x1, y1, false);
    platform::Point high = PrnToDevice(x2, y2, false);
    const uint32_t borderColor = PrnBorderColor(border);
    PrnCallPen pen(borderColor);
    PrnCallBrush brush(fill, fillStyle, borderColor);
    if (low.x > high.x) std::swap(low.x, high.x);
    if (low.y > high.y) std::swap(low.y, high.y);
    const platform::Size corner = CornerSize(low, high, rounding);
    PrnCallOs([&] {
        return platform::RoundRect(gPrinter.dc, low.x, low.y, high.x, high.y, corner.cx, corner.cy);
    });
}

void PrnArc(double x1, double y1, double x2, double y2, double start, double end, int32_t border,
            int32_t fill, int32_t fillStyle, int32_t flags) {
    if (!PrnRequirePage()) return;
    const platform::Point first = PrnToDevice(x1, y1, false);
    const platform::Point second = PrnToDevice(x2, y2, false);
    const uint32_t borderColor = PrnBorderColor(border);
    const double centreX = (static_cast<double>(first.x) + second.x + 1) * 0.5;
    const double centreY = (static_cast<double>(first.y) + second.y + 1) * 0.5;
    const platform::Point from = RayEnd(centreX, centreY, start);
    const platform::Point to = RayEnd(centreX, centreY, end);
    PrnCallPen pen(borderColor);
    if ((flags & kPrnArcPie) == 0) {
        PrnCallOs([&] {
            return platform::Arc(gPrinter.dc, first.x, first.y, second.x, second.y, from.x, from.y,
                                 to.x, to.y);
        });
        return;
    }
    PrnCallBrush brush(fill, fillStyle, borderColor);
    PrnCallOs([&] {
        return platform::Pie(gPrinter.dc, first.x, first.y, second.x, second.y, from.x, from.y,
                             to.x, to.y);
    });
}
