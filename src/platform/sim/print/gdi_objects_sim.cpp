// The simulated drawing objects: fonts, pens, brushes and the stock objects, selected into
// and out of the simulated device contexts.

#include <string>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"
#include "platform/sim/print/print_sim_state.hpp"

namespace {

using sim::detail::CallFails;
using sim::detail::Context;
using sim::detail::Hex;
using sim::detail::LogCall;
using sim::detail::Print;

bool IsStock(platform::Handle object) {
    return object == sim::detail::kStockFont || object == sim::detail::kStockPen ||
           object == sim::detail::kStockBrush || object == sim::detail::kHollowBrush;
}

platform::Handle MakeDrawingObject(const char* call, bool isPen, const std::string& description) {
    LogCall(call, description);
    if (CallFails(call)) return platform::kNullHandle;
    const platform::Handle object = Print().nextHandle++;
    Print().drawingObjects[object] = {isPen, description};
    return object;
}

// The slot of the device context that an object of this kind goes into, or null for an
// object the simulation does not know.
platform::Handle* SlotFor(sim::detail::SimDeviceContext* context, platform::Handle object) {
    if (object == sim::detail::kStockFont || Print().fonts.count(object) != 0) {
        return &context->font;
    }
    if (object == sim::detail::kStockPen) return &context->pen;
    if (object == sim::detail::kStockBrush || object == sim::detail::kHollowBrush) {
        return &context->brush;
    }
    auto found = Print().drawingObjects.find(object);
    if (found == Print().drawingObjects.end()) return nullptr;
    return found->second.isPen ? &context->pen : &context->brush;
}

}  // namespace

namespace platform {

Handle CreateFontIndirectA(const LogFont& font) {
    LogCall("CreateFontIndirectA", std::string(font.faceName) + "," + std::to_string(font.height));
    if (CallFails("CreateFontIndirectA")) return kNullHandle;
    const Handle object = Print().nextHandle++;
    Print().fonts[object] = font;
    return object;
}

Handle CreatePen(int32_t style, int32_t width, uint32_t color) {
    return MakeDrawingObject(
        "CreatePen", true,
        "pen " + std::to_string(style) + " " + std::to_string(width) + " " + Hex(color));
}

Handle CreateSolidBrush(uint32_t color) {
    return MakeDrawingObject("CreateSolidBrush", false, "brush solid " + Hex(color));
}

Handle CreateHatchBrush(int32_t hatch, uint32_t color) {
    return MakeDrawingObject("CreateHatchBrush", false,
                             "brush hatch " + std::to_string(hatch) + " " + Hex(color));
}

Handle GetStockObject(int32_t index) {
    LogCall("GetStockObject", std::to_string(index));
    return index == kNullBrush ? sim::detail::kHollowBrush : kNullHandle;
}

Handle SelectObject(Handle dc, Handle object) {
    auto* context = Context("SelectObject", dc, std::to_string(object));
    if (context == nullptr) return kNullHandle;
    Handle* slot = SlotFor(context, object);
    if (slot == nullptr) {
        SetLastError(kErrorInvalidHandle);
        return kNullHandle;
    }
    const Handle previous = *slot;
    *slot = object;
    return previous;
}

bool DeleteObject(Handle object) {
    LogCall("DeleteObject", std::to_string(object));
    if (IsStock(object)) return true;
    for (const auto& [dc, context] : Print().deviceContexts) {
        // A selected object stays.
        if (context.font == object || context.pen == object || context.brush == object) {
            return false;
        }
    }
    return Print().fonts.erase(object) + Print().drawingObjects.erase(object) +
               Print().loadedPictures.erase(object) ==
           1;
}

}  // namespace platform

namespace sim::detail {

std::string Describe(platform::Handle object) {
    if (object == kStockPen) return "pen 0 0 0x000000";
    if (object == kStockBrush) return "brush solid 0xFFFFFF";
    if (object == kHollowBrush) return "brush hollow";
    auto found = Print().drawingObjects.find(object);
    return found != Print().drawingObjects.end() ? found->second.description : "?";
}

}  // namespace sim::detail
