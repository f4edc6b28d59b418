#include "platform/posix/print/paint_posix.hpp"

#include <cmath>
#include <vector>

#include "platform/posix/print/gdi_objects_posix.hpp"

namespace platform::posix {
namespace {

// The six hatch patterns as 8 x 8 bitmaps, one byte a row, the most significant bit leftmost.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};
constexpr int kHatchSize = 8;

// The dash patterns of one-pixel pens, in device pixels.
const std::vector<double> kDashes[] = {{18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};

const PenObject& SelectedPen(const PrintDeviceContext& context) {
    const PenObject* pen = FindPen(context.pen);
    static const PenObject kFallback{};
    return pen != nullptr ? *pen : kFallback;
}

int32_t PenWidth(const PenObject& pen) { return pen.width > 1 ? pen.width : 1; }

// The hatch as a repeating pattern anchored at device (0, 0): lines in the brush colour,
// gaps in the background colour when the background is opaque, else left as they are. The
// tile is drawn as pixel squares, not as a picture with an alpha channel, so that the page
// holds nothing transparent and stays vector graphics through the print server's filters.
cairo_pattern_t* HatchPattern(const BrushObject& brush, const PrintDeviceContext& context) {
    const cairo_rectangle_t extents{0, 0, kHatchSize, kHatchSize};
    cairo_surface_t* tile = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
    cairo_t* cairo = cairo_create(tile);
    if (context.bkMode == kOpaque) {
        SetSourceColor(cairo, context.bkColor);
        cairo_paint(cairo);
    }
    for (int y = 0; y < kHatchSize; ++y) {
        for (int x = 0; x < kHatchSize; ++x) {
            if (kHatches[brush.hatch][y] & (0x80 >> x)) cairo_rectangle(cairo, x, y, 1, 1);
        }
    }
    SetSourceColor(cairo, brush.color);
    cairo_fill(cairo);
    cairo_destroy(cairo);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    return pattern;
}

}  // namespace

double PenCentre(const PrintDeviceContext& context) {
    return PenWidth(SelectedPen(context)) % 2 == 1 ? 0.5 : 0.0;
}

void SetSourceColor(cairo_t* cairo, uint32_t color) {
    cairo_set_source_rgb(cairo, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         ((color >> 16) & 0xFF) / 255.0);
}

void FillWithBrush(PrintDeviceContext* context, cairo_fill_rule_t rule) {
    const BrushObject* brush = FindBrush(context->brush);
    if (brush == nullptr || brush->kind == BrushObject::Kind::kHollow) return;
    cairo_t* cairo = context->cairo;
    cairo_save(cairo);
    cairo_set_fill_rule(cairo, rule);
    if (brush->kind == BrushObject::Kind::kSolid) {
        SetSourceColor(cairo, brush->color);
    } else {
        cairo_pattern_t* pattern = HatchPattern(*brush, *context);
        cairo_set_source(cairo, pattern);
        cairo_pattern_destroy(pattern);
    }
    cairo_fill_preserve(cairo);
    cairo_restore(cairo);
}

void StrokeWithPen(PrintDeviceContext* context) {
    const PenObject& pen = SelectedPen(*context);
    if (pen.style == kPsNull) return;
    cairo_t* cairo = context->cairo;
    cairo_save(cairo);
    const int32_t width = PenWidth(pen);
    cairo_set_line_width(cairo, width);
    if (width == 1) {
        // A one-pixel line leaves out its end pixel, and only such lines are styled.
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cairo, CAIRO_LINE_JOIN_MITER);
        if (pen.style >= kPsDash && pen.style <= kPsDashDotDot) {
            if (context->bkMode == kOpaque) {
                SetSourceColor(cairo, context->bkColor);
                cairo_stroke_preserve(cairo);
            }
            const std::vector<double>& dashes = kDashes[pen.style - kPsDash];
            cairo_set_dash(cairo, dashes.data(), static_cast<int>(dashes.size()), 0);
        }
    } else {
        cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
    }
    SetSourceColor(cairo, pen.color);
    cairo_stroke_preserve(cairo);
    cairo_restore(cairo);
}

void AddEllipticArc(cairo_t* cairo, double centreX, double centreY, double radiusX, double radiusY,
                    double from, double to) {
    if (radiusX <= 0 || radiusY <= 0) {
        // A flat ellipse is the line between its ends; the arc's part of it is not worth more.
        cairo_move_to(cairo, centreX - radiusX, centreY - radiusY);
        cairo_line_to(cairo, centreX + radiusX, centreY + radiusY);
        return;
    }
    cairo_save(cairo);
    cairo_translate(cairo, centreX, centreY);
    cairo_scale(cairo, radiusX, radiusY);
    cairo_arc_negative(cairo, 0, 0, 1, from, to);
    cairo_restore(cairo);
}

}  // namespace platform::posix
