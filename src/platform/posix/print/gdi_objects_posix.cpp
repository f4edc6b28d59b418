// Fonts, pens and brushes on POSIX: descriptions kept by handle, selected into the device
// contexts, and refused deletion while a device context holds them, as GDI does.

#include "platform/posix/print/gdi_objects_posix.hpp"

#include <cstdio>
#include <map>
#include <utility>

#include "platform/posix/print/picture_posix.hpp"
#include "platform/posix/print/print_dc_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

std::map<Handle, LogFont> fonts;
std::map<Handle, PenObject> pens;
std::map<Handle, BrushObject> brushes;

// The font of a new device context: Courier New at 12 points, as the printer's own.
const LogFont kStockLogFont = [] {
    LogFont font;
    font.weight = 400;
    font.charSet = 1;
    std::snprintf(font.faceName, sizeof font.faceName, "Courier New");
    return font;
}();
const PenObject kStockPenObject{};
const BrushObject kStockBrushObject{BrushObject::Kind::kSolid, 0, 0xFFFFFF};
const BrushObject kHollowBrushObject{BrushObject::Kind::kHollow, 0, 0};

bool IsStock(Handle object) {
    return object == kStockFont || object == kStockPen || object == kStockBrush ||
           object == kHollowBrush;
}

template <class Object>
Handle Add(std::map<Handle, Object>* objects, const Object& object) {
    const Handle handle = NewPrintHandle();
    (*objects)[handle] = object;
    return handle;
}

}  // namespace

const LogFont* FindFont(Handle font) {
    if (font == kStockFont) return &kStockLogFont;
    auto found = fonts.find(font);
    return found != fonts.end() ? &found->second : nullptr;
}

const PenObject* FindPen(Handle pen) {
    if (pen == kStockPen) return &kStockPenObject;
    auto found = pens.find(pen);
    return found != pens.end() ? &found->second : nullptr;
}

const BrushObject* FindBrush(Handle brush) {
    if (brush == kStockBrush) return &kStockBrushObject;
    if (brush == kHollowBrush) return &kHollowBrushObject;
    auto found = brushes.find(brush);
    return found != brushes.end() ? &found->second : nullptr;
}

}  // namespace platform::posix

namespace platform {

Handle CreateFontIndirectA(const LogFont& font) { return posix::Add(&posix::fonts, font); }

Handle CreatePen(int32_t style, int32_t width, uint32_t color) {
    if (style < kPsSolid || style > kPsNull) {
        SetLastError(kErrorInvalidParameter);
        return kNullHandle;
    }
    return posix::Add(&posix::pens, posix::PenObject{style, width, color});
}

Handle CreateSolidBrush(uint32_t color) {
    return posix::Add(&posix::brushes,
                      posix::BrushObject{posix::BrushObject::Kind::kSolid, 0, color});
}

Handle CreateHatchBrush(int32_t hatch, uint32_t color) {
    if (hatch < kHsHorizontal || hatch > kHsDiagCross) {
        SetLastError(kErrorInvalidParameter);
        return kNullHandle;
    }
    return posix::Add(&posix::brushes,
                      posix::BrushObject{posix::BrushObject::Kind::kHatch, hatch, color});
}

Handle GetStockObject(int32_t index) {
    return index == kNullBrush ? posix::kHollowBrush : kNullHandle;
}

Handle SelectObject(Handle dc, Handle object) {
    posix::PrintDeviceContext* context = posix::FindPrintDeviceContext(dc);
    if (context == nullptr) return kNullHandle;
    Handle* slot = nullptr;
    if (posix::FindFont(object) != nullptr) slot = &context->font;
    if (posix::FindPen(object) != nullptr) slot = &context->pen;
    if (posix::FindBrush(object) != nullptr) slot = &context->brush;
    if (slot == nullptr) {
        SetLastError(kErrorInvalidHandle);
        return kNullHandle;
    }
    return std::exchange(*slot, object);
}

bool DeleteObject(Handle object) {
    // Stock objects belong to the system: deleting one does nothing and succeeds.
    if (posix::IsStock(object)) return true;
    if (posix::IsSelectedAnywhere(object)) return false;
    if (posix::fonts.erase(object) + posix::pens.erase(object) + posix::brushes.erase(object) ==
            1 ||
        posix::DeletePicture(object)) {
        return true;
    }
    SetLastError(kErrorInvalidHandle);
    return false;
}

}  // namespace platform
