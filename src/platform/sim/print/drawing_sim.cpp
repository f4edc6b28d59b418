// The simulated drawing calls. Each is logged with its arguments and the pen (and brush) it
// draws with, as "LineTo(100,0;pen 1 2 0x808080)"; text is measured by a fixed-pitch model.

#include <cstdlib>
#include <string>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "platform/sim/print/print_sim_state.hpp"

namespace {

using sim::detail::Context;
using sim::detail::Describe;
using sim::detail::Print;
using sim::detail::Saturated;
using sim::detail::SimDeviceContext;

constexpr uint32_t kPaper = 0xFFFFFF;

std::string Numbers(std::initializer_list<int32_t> values) {
    std::string text;
    for (int32_t value : values) {
        if (!text.empty()) text += ",";
        text += std::to_string(value);
    }
    return text;
}

std::string WithPen(const SimDeviceContext* context, const std::string& arguments) {
    return arguments + ";" + Describe(context->pen);
}

std::string WithPenAndBrush(const SimDeviceContext* context, const std::string& arguments) {
    return arguments + ";" + Describe(context->pen) + ";" + Describe(context->brush);
}

// Logs a drawing call with the objects it uses: the call's arguments are only known once the
// device context is found, so the entry is completed afterwards.
SimDeviceContext* DrawingContext(const char* call, platform::Handle dc) {
    SimDeviceContext* context = Context(call, dc);
    if (context != nullptr && !context->pageOpen) {
        platform::SetLastError(platform::kErrorInvalidParameter);
        return nullptr;
    }
    return context;
}

void CompleteLog(const char* call, const std::string& arguments) {
    Print().calls.back() = std::string(call) + "(" + arguments + ")";
}

std::string PointList(const platform::Point* points, int32_t count) {
    std::string text = std::to_string(count) + ":";
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) text += " ";
        text += std::to_string(points[i].x) + "," + std::to_string(points[i].y);
    }
    return text;
}

// The fixed-pitch model: every character is the font's average width, the text as high as
// the font (see GetTextMetricsA).
platform::Size Extent(const SimDeviceContext* context, int32_t length) {
    int64_t height = 8;
    auto font = Print().fonts.find(context->font);
    if (font != Print().fonts.end()) height = std::abs(int64_t{font->second.height});
    return {Saturated(length * (height / 2)), Saturated(height + height / 4)};
}

std::string FontName(const SimDeviceContext* context) {
    auto font = Print().fonts.find(context->font);
    if (font == Print().fonts.end()) return "stock";
    return std::string(font->second.faceName) + " " + std::to_string(font->second.height);
}

}  // namespace

namespace platform {

bool LineTo(Handle dc, int32_t x, int32_t y) {
    SimDeviceContext* context = DrawingContext("LineTo", dc);
    if (context == nullptr) return false;
    CompleteLog("LineTo", WithPen(context, Numbers({x, y})));
    context->position = {x, y};
    return true;
}

bool RoundRect(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
               int32_t cornerWidth, int32_t cornerHeight) {
    SimDeviceContext* context = DrawingContext("RoundRect", dc);
    if (context == nullptr) return false;
    CompleteLog(
        "RoundRect",
        WithPenAndBrush(context, Numbers({left, top, right, bottom, cornerWidth, cornerHeight})));
    return true;
}

bool Arc(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    SimDeviceContext* context = DrawingContext("Arc", dc);
    if (context == nullptr) return false;
    CompleteLog("Arc",
                WithPen(context, Numbers({left, top, right, bottom, xStart, yStart, xEnd, yEnd})));
    return true;
}

bool Pie(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    SimDeviceContext* context = DrawingContext("Pie", dc);
    if (context == nullptr) return false;
    CompleteLog(
        "Pie",
        WithPenAndBrush(context, Numbers({left, top, right, bottom, xStart, yStart, xEnd, yEnd})));
    return true;
}

bool Polygon(Handle dc, const Point* points, int32_t count) {
    SimDeviceContext* context = DrawingContext("Polygon", dc);
    if (context == nullptr) return false;
    CompleteLog("Polygon", WithPenAndBrush(context, PointList(points, count)) + ";fill " +
                               std::to_string(context->polyFillMode));
    return true;
}

bool Polyline(Handle dc, const Point* points, int32_t count) {
    SimDeviceContext* context = DrawingContext("Polyline", dc);
    if (context == nullptr) return false;
    CompleteLog("Polyline", WithPen(context, PointList(points, count)));
    return true;
}

int32_t SetPolyFillMode(Handle dc, int32_t mode) {
    SimDeviceContext* context = Context("SetPolyFillMode", dc, std::to_string(mode));
    if (context == nullptr) return 0;
    const int32_t previous = context->polyFillMode;
    context->polyFillMode = mode;
    return previous;
}

bool SetPixelV(Handle dc, int32_t x, int32_t y, uint32_t color) {
    SimDeviceContext* context = DrawingContext("SetPixelV", dc);
    if (context == nullptr) return false;
    CompleteLog("SetPixelV", Numbers({x, y}) + "," + sim::detail::Hex(color));
    context->pixels[(uint64_t(uint32_t(y)) << 32) | uint32_t(x)] = color;
    return true;
}

uint32_t GetPixel(Handle dc, int32_t x, int32_t y) {
    SimDeviceContext* context = DrawingContext("GetPixel", dc);
    if (context == nullptr) return kClrInvalid;
    CompleteLog("GetPixel", Numbers({x, y}));
    auto pixel = context->pixels.find((uint64_t(uint32_t(y)) << 32) | uint32_t(x));
    return pixel != context->pixels.end() ? pixel->second : kPaper;
}

bool GetCurrentPositionEx(Handle dc, Point* position) {
    SimDeviceContext* context = Context("GetCurrentPositionEx", dc);
    if (context == nullptr) return false;
    *position = context->position;
    return true;
}

bool TextOutA(Handle dc, int32_t x, int32_t y, const char* text, int32_t length) {
    SimDeviceContext* context = DrawingContext("TextOutA", dc);
    if (context == nullptr) return false;
    const bool updateCp = (context->textAlign & kTaUpdateCp) != 0;
    const Point at = updateCp ? context->position : Point{x, y};
    CompleteLog("TextOutA", Numbers({at.x, at.y}) + "," + std::string(text, length) + ";" +
                                FontName(context) + " " + sim::detail::Hex(context->textColor));
    if (updateCp) context->position.x = Saturated(int64_t{at.x} + Extent(context, length).cx);
    return true;
}

bool GetTextExtentPoint32A(Handle dc, const char* text, int32_t length, Size* size) {
    SimDeviceContext* context = Context("GetTextExtentPoint32A", dc, std::string(text, length));
    if (context == nullptr) return false;
    *size = Extent(context, length);
    return true;
}

}  // namespace platform
