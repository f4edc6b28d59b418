#include "printer/polygons.hpp"

#include <array>
#include <cstring>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "printer/document.hpp"
#include "printer/drawing_tools.hpp"
#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"

namespace {

// The converted points of one call.
struct DevicePoints {
    std::array<platform::Point, kPrnMaxPolygonPoints> points;
    int32_t count = 0;
};

// Converts the caller's block; false (nothing to draw) for fewer than 2 or more than the
// buffer's points. The coordinates are only read once the count has been checked.
bool Convert(const void* block, DevicePoints* out) {
    int32_t count = 0;
    std::memcpy(&count, block, sizeof count);
    if (count < 2 || count > kPrnMaxPolygonPoints) return false;
    const auto* coordinates = static_cast<const unsigned char*>(block) + sizeof count;
    for (int32_t i = 0; i < count; ++i) {
        float xy[2];
        std::memcpy(xy, coordinates + i * sizeof xy, sizeof xy);
        out->points[i] = PrnToDevice(xy[0], xy[1], false);
    }
    out->count = count;
    return true;
}

}  // namespace

void PrnPolygon(const void* points, int32_t border, int32_t fill, int32_t fillStyle,
                int32_t fillMode) {
    if (!PrnEnsurePage()) return;
    DevicePoints device;
    if (!Convert(points, &device)) return;
    const uint32_t borderColor = PrnBorderColor(border);
    PrnCallPen pen(borderColor);
    PrnCallBrush brush(fill, fillStyle, borderColor);
    const platform::Handle dc = gPrinter.dc;
    const int32_t rule = fillMode == kPrnWindingFill ? platform::kWinding : platform::kAlternate;
    const int32_t previous = PrnCallOs([&] { return platform::SetPolyFillMode(dc, rule); });
    PrnCallOs([&] { return platform::Polygon(dc, device.points.data(), device.count); });
    if (previous != 0) PrnCallOs([&] { return platform::SetPolyFillMode(dc, previous); });
}

void PrnPolyline(const void* points, int32_t color) {
    if (!PrnEnsurePage()) return;
    DevicePoints device;
    if (!Convert(points, &device)) return;
    PrnCallPen pen(PrnBorderColor(color));
    PrnCallOs([&] { return platform::Polyline(gPrinter.dc, device.points.data(), device.count); });
}
