#include "printer/fonts.hpp"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/print.hpp"
#include "printer/device_colors.hpp"
#include "printer/document.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"
#include "runtime/errors.hpp"

namespace {

constexpr float kDefaultPoints = 8.0f;
constexpr double kPointsPerInch = 72;
constexpr int32_t kNormalWeight = 400;
constexpr int32_t kBoldWeight = 700;
constexpr uint8_t kDefaultCharset = 1;

// A record free for a new font: one with a successor that nobody holds and that owns no font
// object. The last record is never reused.
bool Reusable(const FontRecord& record) {
    return record.next != nullptr && record.referenceCount == 0 &&
           record.screenFont == platform::kNullHandle &&
           record.printerFont == platform::kNullHandle;
}

// Takes a reusable record, or appends one numbered by its position in the list; null when
// there is no memory for it.
FontRecord* AllocateRecord() {
    PrnFontTableLock lock;
    FontRecord** link = &gFonts.first;
    int32_t position = 1;
    for (FontRecord* record = gFonts.first; record != nullptr; record = record->next) {
        if (Reusable(*record)) return record;
        link = &record->next;
        ++position;
    }
    auto* record = new (std::nothrow) FontRecord;
    if (record == nullptr) return nullptr;
    record->number = position;
    *link = record;
    return record;
}

platform::LogFont Describe(const Text& face, int32_t style, int32_t pitchAndFamily, int32_t angle) {
    platform::LogFont font;
    const size_t length = std::min<size_t>(face.Length(), sizeof font.faceName - 1);
    if (length > 0) std::memcpy(font.faceName, face.Data(), length);
    font.pitchAndFamily = static_cast<uint8_t>(pitchAndFamily & 0xFF);
    font.charSet = kDefaultCharset;
    font.escapement = angle;
    font.orientation = angle;
    font.weight = (style & kPrnBold) ? kBoldWeight : kNormalWeight;
    font.italic = (style & kPrnItalic) ? 1 : 0;
    font.underline = (style & kPrnUnderline) ? 1 : 0;
    font.strikeOut = (style & kPrnStrikeOut) ? 1 : 0;
    return font;
}

// Makes the record's printer object at the attached printer's resolution; false when the
// platform cannot.
bool MakePrinterFont(FontRecord* record) {
    const int32_t dpi =
        PrnCallOs([] { return platform::GetDeviceCaps(gPrinter.dc, platform::kLogPixelsY); });
    record->description.height = PrnSaturate(
        -int64_t{PrnRound(dpi * static_cast<double>(record->pointSize) / kPointsPerInch)});
    const platform::LogFont description = record->description;
    record->printerFont = PrnCallOs([&] { return platform::CreateFontIndirectA(description); });
    return record->printerFont != platform::kNullHandle;
}

void DeleteObject(platform::Handle* object) {
    if (*object == platform::kNullHandle) return;
    const platform::Handle doomed = *object;
    PrnCallOs([&] { return platform::DeleteObject(doomed); });
    *object = platform::kNullHandle;
}

}  // namespace

int32_t PrnFontNew(const Text& face, float pointSize, int32_t style, int32_t /*charSet*/,
                   int32_t pitchAndFamily, int32_t angle) {
    const platform::LogFont description = Describe(face, style, pitchAndFamily, angle);
    FontRecord* record = AllocateRecord();
    if (record == nullptr) {
        RtRaiseError(kRtErrInvalidArgument);
        return 0;
    }
    ++record->referenceCount;
    record->pointSize = pointSize == 0 ? kDefaultPoints : pointSize;
    record->description = description;
    return record->number;
}

void PrnFontSelect(int32_t number) {
    if (!PrnRequirePage()) return;
    FontRecord* record = PrnFindFont(number);
    if (record == nullptr) return;
    if (record->printerFont == platform::kNullHandle && !MakePrinterFont(record)) {
        RtRaiseError(kRtErrInvalidArgument);
        return;
    }
    const int32_t previousNumber = std::exchange(gPrinter.currentFont, number);
    const platform::Handle object = record->printerFont;
    if (PrnCallOs([&] { return platform::SelectObject(gPrinter.dc, object); }) ==
        platform::kNullHandle) {
        RtRaiseError(kRtErrInvalidArgument);
        return;
    }
    ++record->referenceCount;
    if (FontRecord* previous = PrnFindFont(previousNumber)) --previous->referenceCount;
    PrnForgetTextMetrics();
    PrnApplyColors();
}

void PrnFontRelease(int32_t number) {
    FontRecord* record = PrnFindFont(number);
    // The built-in fonts stay: a document always starts with font 2's description.
    if (record == nullptr || record->referenceCount != 1 || number == kPrnScreenFont ||
        number == kPrnDocumentFont) {
        RtRaiseError(kRtErrInvalidArgument);
        return;
    }
    DeleteObject(&record->screenFont);
    DeleteObject(&record->printerFont);
    --record->referenceCount;
}
