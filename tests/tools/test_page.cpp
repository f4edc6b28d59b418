#include "test_page.hpp"

#include <cmath>
#include <numbers>

#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "printer/fonts.hpp"
#include "printer/image.hpp"
#include "printer/page_metrics.hpp"
#include "printer/polygons.hpp"
#include "printer/shapes.hpp"
#include "printer/text.hpp"
#include "runtime/number.hpp"

namespace {

void Line(double x1, double y1, double x2, double y2, int32_t color) {
    PrnMoveTo(x1, y1, false);
    PrnLineTo(x2, y2, false, color);
}

// A point block as the polygon operations take it.
struct Points {
    int32_t count;
    float xy[2 * 10];
};

}  // namespace

void DrawCalibrationPage() {
    const PrnPair size = PrnClientSize();
    PrnTextColor(0x000000);
    PrnBackColor(0xFFFFFF);
    PrnPenWidth(2);
    PrnPenStyle(2);
    PrnPenWidth(2);
    PrnPenStyle(1);
    for (double y : {1130.0, 2240.0}) {
        Line(25, y, 250, y, 0x808080);
        Line(2300, y, 2525, y, 0x808080);
    }
    PrnPenWidth(2);
    PrnPenStyle(2);
    const double hw = static_cast<double>(NumRound(size.x / 2, 0));
    const double hh = static_cast<double>(NumRound(size.y / 2, 0));
    Line(0, hh, size.x, hh, 0x000000);
    Line(hw, 0, hw, size.y, 0x000000);
    Line(0, hh + 1500, size.x, hh + 1500, 0x0000FF);
    Line(0, hh - 1500, size.x, hh - 1500, 0x0000FF);
    for (double r : {25.0, 50.0, 75.0, 100.0}) {
        PrnBox(hw - r, hh - r, hw + r, hh + r, kPrnEllipse, 0x808080, -2, 0);
    }
    PrnFontSelect(PrnFontNew("Arial", 8, 0, 0, 0, 0));
    PrnTextColor(0x808080);
    PrnBackColor(0xFFFFFF);
    PrnMoveTo(hw + 125, hh + 25, false);
    PrnPrintText("50,100,150,200 Circles");
    PrnNewLine();
}

void DrawShapesPage() {
    PrnTextColor(0);
    PrnBackColor(-2);
    PrnPenWidth(1);
    PrnPenStyle(0);
    // Hatched boxes, styles 1 to 6, in a row.
    for (int32_t style = 1; style <= 6; ++style) {
        const double x = 100 + (style - 1) * 150;
        PrnBox(x, 400, x + 100, 500, 0, 0, 0, style);
    }
    // One-pixel lines dashed, dotted, dash-dotted and dash-dot-dotted.
    for (int32_t style = 1; style <= 4; ++style) {
        PrnPenStyle(style);
        Line(100, 580 + style * 20, 1000, 580 + style * 20, 0);
    }
    PrnPenStyle(0);
    PrnPenWidth(3);
    // The quarter from the rightmost to the topmost point, and the pie of the next quarter.
    PrnArc(1400, 400, 1599, 599, 0, std::numbers::pi / 2, 0, -2, 0, 0);
    PrnArc(1700, 400, 1899, 599, std::numbers::pi / 2, std::numbers::pi, 0, 0x808080, 0,
           kPrnArcPie);
    // A five-pointed star by both rules: the alternate rule leaves its middle empty.
    Points star{5, {}};
    for (int i = 0; i < 5; ++i) {
        const double angle = std::numbers::pi / 2 + i * 4 * std::numbers::pi / 5;
        star.xy[2 * i] = static_cast<float>(1500 + 100 * std::cos(angle));
        star.xy[2 * i + 1] = static_cast<float>(800 - 100 * std::sin(angle));
    }
    PrnPolygon(&star, 0, 0, 0, 1);
    for (int i = 0; i < 5; ++i)
        star.xy[2 * i] += 300;
    PrnPolygon(&star, 0, 0, 0, 0);
    Points zigzag{4, {2000, 700, 2050, 900, 2100, 700, 2150, 900}};
    PrnPolyline(&zigzag, 0x0000FF);
    PrnBox(2200, 400, 2400, 500, 30, 0, 0xC0C0C0, 0);
    // Text in five styles, the last turned a quarter to the left.
    const int32_t styles[] = {kPrnBold, kPrnItalic, kPrnUnderline, kPrnStrikeOut};
    for (int i = 0; i < 4; ++i) {
        PrnFontSelect(PrnFontNew("Arial", 12, styles[i], 0, 0, 0));
        PrnMoveTo(100, 2400 + i * 100, false);
        PrnPrintText("Cut here");
    }
    PrnFontSelect(PrnFontNew("Arial", 12, 0, 0, 0, 900));
    PrnMoveTo(1000, 2900, false);
    PrnPrintText("Cut here");
}

void DrawPicture(const std::string& path) { PrnImage(Text(path.c_str()), 100, 3300, 299, 3399); }

namespace {

// A place near one edge: `along` the edge from its start, `inward` from the edge into the
// printable area (negative: into the margin), as device pixels, moved back by the user
// window's shift.
struct EdgePlace {
    int edge;  // 0 top, 1 bottom, 2 left, 3 right
    double shift;
    PrnPair size;
    double X(double along, double inward) const {
        return (edge < 2 ? along : edge == 2 ? inward : size.x - inward) - shift;
    }
    double Y(double along, double inward) const {
        return (edge < 2 ? (edge == 0 ? inward : size.y - inward) : along) - shift;
    }
};

}  // namespace

void DrawEdgesPage(const std::string& picture, double shift) {
    const PrnPair size = PrnClientSize();
    if (shift != 0) PrnScale(-shift, -shift, size.x - shift, size.y - shift);
    PrnTextColor(0);
    PrnBackColor(-2);
    PrnPenStyle(0);
    PrnPenWidth(5);
    PrnFontSelect(PrnFontNew("Arial", 24, 0, 0, 0, 0));
    constexpr double kDepth = 60;  // how far each drawing reaches to either side of the edge
    for (int edge = 0; edge < 4; ++edge) {
        const EdgePlace at{edge, shift, size};
        // Ten spans of 180 pixels along the edge, from 100 on, one for each operation.
        const auto start = [](int span) { return 100.0 + 220 * span; };
        double a = start(0);
        Line(at.X(a + 90, -kDepth), at.Y(a + 90, -kDepth), at.X(a + 90, kDepth),
             at.Y(a + 90, kDepth), 0);
        Line(at.X(0, -20), at.Y(0, -20), at.X(start(10), -20), at.Y(start(10), -20), 0);
        a = start(1);
        PrnBox(at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 180, kDepth), at.Y(a + 180, kDepth), 0,
               0, 0, 0);
        a = start(2);
        PrnBox(at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 180, kDepth), at.Y(a + 180, kDepth), 50,
               0, 0, 0);
        a = start(3);
        PrnBox(at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 180, kDepth), at.Y(a + 180, kDepth),
               kPrnEllipse, 0, 0, 0);
        // Three quarters of an ellipse round a point on the edge lie on both sides of it,
        // whichever way the edge runs.
        a = start(4);
        PrnArc(at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 180, kDepth), at.Y(a + 180, kDepth), 0,
               3 * std::numbers::pi / 2, 0, -2, 0, 0);
        a = start(5);
        PrnArc(at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 180, kDepth), at.Y(a + 180, kDepth), 0,
               3 * std::numbers::pi / 2, 0, 0, 0, kPrnArcPie);
        // Text runs right and down from its position, which lies outside the top and left
        // edges and inside the bottom and right ones, so that its letters stand across them.
        a = start(6);
        const double textAt = edge % 2 == 0 ? -55 : 55;
        PrnMoveTo(at.X(a, textAt), at.Y(a, textAt), false);
        PrnPrintText("MM");
        a = start(7);
        Points triangle{
            3,
            {static_cast<float>(at.X(a, -kDepth)), static_cast<float>(at.Y(a, -kDepth)),
             static_cast<float>(at.X(a + 180, -kDepth)), static_cast<float>(at.Y(a + 180, -kDepth)),
             static_cast<float>(at.X(a + 90, kDepth)), static_cast<float>(at.Y(a + 90, kDepth))}};
        PrnPolygon(&triangle, 0, 0, 0, 1);
        a = start(8);
        Points zigzag{4, {}};
        for (int i = 0; i < 4; ++i) {
            const double inward = i % 2 == 0 ? -kDepth : kDepth;
            zigzag.xy[2 * i] = static_cast<float>(at.X(a + 60 * i, inward));
            zigzag.xy[2 * i + 1] = static_cast<float>(at.Y(a + 60 * i, inward));
        }
        PrnPolyline(&zigzag, 0);
        a = start(9);
        PrnImage(Text(picture.c_str()), at.X(a, -kDepth), at.Y(a, -kDepth), at.X(a + 179, kDepth),
                 at.Y(a + 179, kDepth));
    }
    PrnScaleReset();
}
