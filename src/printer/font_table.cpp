#include "printer/font_table.hpp"

#include <cstring>
#include <utility>

#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

FontTable gFonts;

namespace {

constexpr int32_t kNormalWeight = 400;
constexpr uint8_t kDefaultCharset = 1;
constexpr int32_t kDocumentFontPoints = 8;
constexpr int32_t kPointsPerInch = 72;

FontRecord* MakeBuiltIn(int32_t number, const char* face, float pointSize) {
    auto* record = new FontRecord;
    record->referenceCount = 1;
    record->number = number;
    record->pointSize = pointSize;
    record->description.weight = kNormalWeight;
    record->description.charSet = kDefaultCharset;
    std::strncpy(record->description.faceName, face, sizeof record->description.faceName - 1);
    return record;
}

}  // namespace

PrnFontTableLock::PrnFontTableLock() {
    while (gFonts.lock.exchange(-1, std::memory_order_acquire) != 0) {
    }
}

PrnFontTableLock::~PrnFontTableLock() { gFonts.lock.store(0, std::memory_order_release); }

void PrnFontsInit() {
    // A process makes the table once; start-up only runs again in tests, where the records
    // of the previous run are freed so that each run starts from the two built-in fonts.
    FontRecord* record = gFonts.first;
    while (record != nullptr) {
        FontRecord* next = record->next;
        delete record;
        record = next;
    }
    gFonts.lock.store(0);
    gFonts.first = MakeBuiltIn(kPrnScreenFont, "MS Sans Serif", 8.0f);
    gFonts.first->next = MakeBuiltIn(kPrnDocumentFont, "Courier New", 0.0f);
}

FontRecord* PrnFindFont(int32_t number) {
    PrnFontTableLock lock;
    for (FontRecord* record = gFonts.first; record != nullptr; record = record->next) {
        if (record->number == number) return record;
    }
    return nullptr;
}

uint8_t PrnDefaultFont() {
    FontRecord* record = PrnFindFont(kPrnDocumentFont);
    if (record == nullptr) return kRtErrInvalidArgument;
    if (record->printerFont == platform::kNullHandle) {
        // The record's own point size (0) is not used: documents start at 8 points, with
        // the height truncated rather than rounded.
        const int32_t dpi =
            PrnCallOs([] { return platform::GetDeviceCaps(gPrinter.dc, platform::kLogPixelsY); });
        platform::LogFont font = record->description;
        font.height = -(dpi * kDocumentFontPoints / kPointsPerInch);
        const platform::Handle object =
            PrnCallOs([&] { return platform::CreateFontIndirectA(font); });
        if (object == platform::kNullHandle) return kRtErrInvalidArgument;
        const platform::Handle previous =
            PrnCallOs([&] { return platform::SelectObject(gPrinter.dc, object); });
        if (previous == platform::kNullHandle) {
            PrnCallOs([&] { return platform::DeleteObject(object); });
            return kRtErrInvalidArgument;
        }
        record->printerFont = object;
        gPrinter.initialFont = previous;
    }
    ++record->referenceCount;
    gPrinter.currentFont = kPrnDocumentFont;
    return 0;
}

void PrnReleaseFontObjects() {
    PrnFontTableLock lock;
    for (FontRecord* record = gFonts.first; record != nullptr; record = record->next) {
        // The released printer no longer holds its current font, so that the font's creator
        // can give it up again.
        if (record->number == gPrinter.currentFont && gPrinter.currentFont != 0) {
            --record->referenceCount;
        }
        if (record->printerFont == platform::kNullHandle) continue;
        const platform::Handle object = record->printerFont;
        PrnCallOs([&] { return platform::DeleteObject(object); });
        record->printerFont = platform::kNullHandle;
    }
}

void PrnForgetTextMetrics() { gPrinter.textMetricsStale = true; }

const PrnTextMetricSet& PrnTextMetrics() {
    if (!std::exchange(gPrinter.textMetricsStale, false)) return gPrinter.textMetrics;
    platform::TextMetric metric;
    if (PrnCallOs([&] { return platform::GetTextMetricsA(gPrinter.dc, &metric); })) {
        gPrinter.textMetrics = {metric.aveCharWidth, metric.height, metric.externalLeading};
    }
    return gPrinter.textMetrics;
}
