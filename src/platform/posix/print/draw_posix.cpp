// Lines and shapes on the POSIX printer, drawn with cairo on the GDI printer's pixel grid: a
// device pixel (x, y) is the square [x, x+1) x [y, y+1); boxes and ellipses cover columns
// left..right-1 and rows top..bottom-1, their outline running through the pen's centre on
// the outermost pixels.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "platform/posix/print/paint_posix.hpp"
#include "platform/posix/print/print_dc_posix.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

constexpr double kPi = std::numbers::pi;

// The path of a box's outline: the centres of the pen on its outermost pixels.
struct Outline {
    double left;
    double top;
    double right;
    double bottom;
};

// False for a box without inside (GDI draws nothing for it).
bool OutlineOf(const PrintDeviceContext& context, int32_t left, int32_t top, int32_t right,
               int32_t bottom, Outline* outline) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (right == left || bottom == top) return false;
    const double centre = PenCentre(context);
    *outline = {left + centre, top + centre, right - 1.0 + centre, bottom - 1.0 + centre};
    return true;
}

void AddCorner(cairo_t* cairo, double centreX, double centreY, double radiusX, double radiusY,
               double from, double to) {
    cairo_save(cairo);
    cairo_translate(cairo, centreX, centreY);
    cairo_scale(cairo, radiusX, radiusY);
    cairo_arc(cairo, 0, 0, 1, from, to);
    cairo_restore(cairo);
}

// The outline with corners rounded by ellipses of the given size; corners as large as the
// box make it an ellipse.
void AddRoundedBox(cairo_t* cairo, const Outline& box, int32_t cornerWidth, int32_t cornerHeight) {
    const double rx = std::clamp((cornerWidth - 1.0) / 2, 0.0, (box.right - box.left) / 2);
    const double ry = std::clamp((cornerHeight - 1.0) / 2, 0.0, (box.bottom - box.top) / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cairo, box.left, box.top, box.right - box.left, box.bottom - box.top);
        return;
    }
    cairo_new_sub_path(cairo);
    AddCorner(cairo, box.right - rx, box.top + ry, rx, ry, -kPi / 2, 0);
    AddCorner(cairo, box.right - rx, box.bottom - ry, rx, ry, 0, kPi / 2);
    AddCorner(cairo, box.left + rx, box.bottom - ry, rx, ry, kPi / 2, kPi);
    AddCorner(cairo, box.left + rx, box.top + ry, rx, ry, kPi, 3 * kPi / 2);
    cairo_close_path(cairo);
}

// The angle of a ray from the ellipse's centre, in the ellipse's unit space.
double RayAngle(const PrintDeviceContext& context, double centreX, double centreY, double radiusX,
                double radiusY, int32_t x, int32_t y) {
    const double centre = PenCentre(context);
    return std::atan2((y + centre - centreY) / std::max(radiusY, 1.0),
                      (x + centre - centreX) / std::max(radiusX, 1.0));
}

// Adds the arc of Arc and Pie; false for a box without inside.
bool AddArc(const PrintDeviceContext& context, int32_t left, int32_t top, int32_t right,
            int32_t bottom, Point start, Point end, bool fromCentre) {
    Outline box;
    if (!OutlineOf(context, left, top, right, bottom, &box)) return false;
    const double cx = (box.left + box.right) / 2;
    const double cy = (box.top + box.bottom) / 2;
    const double rx = (box.right - box.left) / 2;
    const double ry = (box.bottom - box.top) / 2;
    const double from = RayAngle(context, cx, cy, rx, ry, start.x, start.y);
    double to = RayAngle(context, cx, cy, rx, ry, end.x, end.y);
    // Counter-clockwise on the page is towards smaller angles with y downwards; equal rays
    // go all the way round.
    if (to >= from) to -= 2 * kPi;
    cairo_t* cairo = context.cairo;
    cairo_new_path(cairo);
    if (fromCentre) cairo_move_to(cairo, cx, cy);
    AddEllipticArc(cairo, cx, cy, rx, ry, from, to);
    if (fromCentre) cairo_close_path(cairo);
    return true;
}

// Paints the current path as a shape: the brush inside, the pen on its outline.
bool PaintShape(PrintDeviceContext* context, cairo_fill_rule_t rule) {
    FillWithBrush(context, rule);
    StrokeWithPen(context);
    cairo_new_path(context->cairo);
    return true;
}

bool PaintLine(PrintDeviceContext* context) {
    StrokeWithPen(context);
    cairo_new_path(context->cairo);
    return true;
}

// The points' path through the pen's centres; false for fewer than two points. An open
// path of a one-pixel pen covers its first pixel and leaves out its last, as GDI's lines do:
// its ends move half a pixel back along their segments, so that a horizontal line from x1
// to x2 covers exactly the columns x1..x2-1.
bool AddPoints(const PrintDeviceContext& context, const Point* points, int32_t count, bool open) {
    if (count < 2) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    const double centre = PenCentre(context);
    const bool trim = open && centre != 0;
    auto halfBack = [&](int32_t at, int32_t from, double* x, double* y) {
        const double dx = double(points[at].x) - points[from].x;
        const double dy = double(points[at].y) - points[from].y;
        const double length = std::hypot(dx, dy);
        *x = points[at].x + centre;
        *y = points[at].y + centre;
        if (!trim || length == 0) return;
        *x -= 0.5 * dx / length;
        *y -= 0.5 * dy / length;
    };
    cairo_new_path(context.cairo);
    for (int32_t i = 0; i < count; ++i) {
        double x = points[i].x + centre;
        double y = points[i].y + centre;
        if (i == 0) {
            // Half a pixel back from the first point is half a pixel against the segment.
            halfBack(0, 1, &x, &y);
            x = 2 * (points[0].x + centre) - x;
            y = 2 * (points[0].y + centre) - y;
        } else if (i == count - 1) {
            halfBack(i, i - 1, &x, &y);
        }
        cairo_line_to(context.cairo, x, y);
    }
    return true;
}

}  // namespace
}  // namespace platform::posix

namespace platform {

using posix::FindPageContext;
using posix::PrintDeviceContext;

bool LineTo(Handle dc, int32_t x, int32_t y) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr) return false;
    const Point ends[] = {context->position, {x, y}};
    context->position = {x, y};
    // A line to where it starts draws nothing.
    if (ends[0].x == x && ends[0].y == y) return true;
    posix::AddPoints(*context, ends, 2, true);
    return posix::PaintLine(context);
}

bool RoundRect(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
               int32_t cornerWidth, int32_t cornerHeight) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr) return false;
    posix::Outline box;
    if (!posix::OutlineOf(*context, left, top, right, bottom, &box)) return true;
    cairo_new_path(context->cairo);
    posix::AddRoundedBox(context->cairo, box, cornerWidth, cornerHeight);
    return posix::PaintShape(context, CAIRO_FILL_RULE_WINDING);
}

bool Arc(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr) return false;
    if (!posix::AddArc(*context, left, top, right, bottom, {xStart, yStart}, {xEnd, yEnd}, false)) {
        return true;
    }
    return posix::PaintLine(context);
}

bool Pie(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr) return false;
    if (!posix::AddArc(*context, left, top, right, bottom, {xStart, yStart}, {xEnd, yEnd}, true)) {
        return true;
    }
    return posix::PaintShape(context, CAIRO_FILL_RULE_WINDING);
}

bool Polygon(Handle dc, const Point* points, int32_t count) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr || !posix::AddPoints(*context, points, count, false)) return false;
    cairo_close_path(context->cairo);
    return posix::PaintShape(context, context->polyFillMode == kWinding ? CAIRO_FILL_RULE_WINDING
                                                                        : CAIRO_FILL_RULE_EVEN_ODD);
}

bool Polyline(Handle dc, const Point* points, int32_t count) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr || !posix::AddPoints(*context, points, count, true)) return false;
    return posix::PaintLine(context);
}

int32_t SetPolyFillMode(Handle dc, int32_t mode) {
    PrintDeviceContext* context = posix::FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (mode != kAlternate && mode != kWinding) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    return std::exchange(context->polyFillMode, mode);
}

bool SetPixelV(Handle dc, int32_t x, int32_t y, uint32_t color) {
    PrintDeviceContext* context = FindPageContext(dc);
    if (context == nullptr) return false;
    cairo_save(context->cairo);
    cairo_new_path(context->cairo);
    cairo_rectangle(context->cairo, x, y, 1, 1);
    posix::SetSourceColor(context->cairo, color);
    cairo_fill(context->cairo);
    cairo_restore(context->cairo);
    return true;
}

uint32_t GetPixel(Handle dc, int32_t, int32_t) {
    // A printer's page goes to paper: there is nothing to read back.
    if (posix::FindPrintDeviceContext(dc) != nullptr) SetLastError(kErrorNotSupported);
    return kClrInvalid;
}

bool GetCurrentPositionEx(Handle dc, Point* position) {
    PrintDeviceContext* context = posix::FindPrintDeviceContext(dc);
    if (context == nullptr) return false;
    *position = context->position;
    return true;
}

}  // namespace platform
