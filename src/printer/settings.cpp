#include "printer/settings.hpp"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "printer/document.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

namespace {

// The most entries a capability list may have to be believed.
constexpr int32_t kMaxListEntries = 1024;

int32_t Capability(platform::DeviceCapability query, void* output = nullptr) {
    return PrnCallOs([&] { return platform::DeviceCapabilitiesA(gPrinter.name, query, output); });
}

// Whether the printer lists this number among its papers or bins.
bool ListHolds(platform::DeviceCapability query, int32_t value) {
    const int32_t count = Capability(query);
    if (count < 1 || count > kMaxListEntries) return false;
    std::vector<uint16_t> numbers(kMaxListEntries);
    Capability(query, numbers.data());
    for (int32_t i = 0; i < count; ++i) {
        if (numbers[i] == static_cast<uint16_t>(value)) return true;
    }
    return false;
}

bool Carries(const platform::DevMode* mode, uint32_t field) {
    return mode != nullptr && (mode->fields & field) != 0;
}

// Turns the page: the orientation flag, the mirrored axes and every width/height pair change
// places, so that the measurements fit the turned page before the device is asked again.
void TurnPage(int16_t orientation) {
    if (gPrinter.flags & kPrnPageOpen) {
        RtErrorFrame ignored;
        PrnFormFeed();
    }
    gPrinter.devMode->orientation = orientation;
    gPrinter.flags ^= kPrnLandscape;
    const uint32_t flips = gPrinter.flags & (kPrnFlipX | kPrnFlipY);
    gPrinter.flags &= ~(kPrnFlipX | kPrnFlipY);
    if (flips & kPrnFlipX) gPrinter.flags |= kPrnFlipY;
    if (flips & kPrnFlipY) gPrinter.flags |= kPrnFlipX;
    std::swap(gPrinter.originX, gPrinter.originY);
    std::swap(gPrinter.factorX, gPrinter.factorY);
    std::swap(gPrinter.printableWidth, gPrinter.printableHeight);
    std::swap(gPrinter.physicalWidth, gPrinter.physicalHeight);
    std::swap(gPrinter.offsetX, gPrinter.offsetY);
}

// Applies one change; false when the value is unacceptable.
bool Change(int32_t code, int32_t value) {
    platform::DevMode* mode = gPrinter.devMode.get();
    const auto low = static_cast<int16_t>(value);
    switch (code) {
        case kPrnAttrCollate:
            if (!Carries(mode, platform::kDmCollate) || (value != 0 && value != 1)) return false;
            mode->collate = low;
            return true;
        case kPrnAttrColor:
            if (!Carries(mode, platform::kDmColor)) return false;
            mode->color = low;
            return true;
        case kPrnAttrCopies: {
            if (!Carries(mode, platform::kDmCopies)) return false;
            const int32_t most = Capability(platform::kDcCopies);
            if (most < 1 || static_cast<uint32_t>(value) > static_cast<uint32_t>(most)) {
                return false;
            }
            mode->copies = low;
            return true;
        }
        case kPrnAttrDuplex:
            if (Capability(platform::kDcDuplex) < 1 || value < 1 || value > 3) return false;
            if (mode == nullptr) return false;
            mode->duplex = low;
            return true;
        case kPrnAttrOrientation: {
            if (Capability(platform::kDcOrientation) < 1 || (value != 1 && value != 2)) {
                return false;
            }
            const bool landscape = (gPrinter.flags & kPrnLandscape) != 0;
            if ((value == 2) == landscape) return true;
            if (mode == nullptr) return false;
            TurnPage(low);
            return true;
        }
        case kPrnAttrPaper:
            if (mode == nullptr || !ListHolds(platform::kDcPapers, value)) return false;
            mode->paperSize = low;
            mode->paperLength = 0;
            mode->paperWidth = 0;
            return true;
        case kPrnAttrQuality:
            if (!Carries(mode, platform::kDmPrintQuality)) return false;
            if (value == 0) return true;
            if (value >= 1 && value <= 4) {
                mode->printQuality = static_cast<int16_t>(-value);
            } else if (value >= -4 && value <= -1) {
                mode->printQuality = low;
            } else {
                return false;
            }
            return true;
        case kPrnAttrTray:
            if (mode == nullptr || !ListHolds(platform::kDcBins, value)) return false;
            mode->defaultSource = low;
            return true;
        default:
            return true;
    }
}

// "number,name,number,name" for the first entries that both lists have.
Text JoinList(platform::DeviceCapability numbersQuery, platform::DeviceCapability namesQuery,
              uint32_t slot) {
    const int32_t numberCount = Capability(numbersQuery);
    const int32_t nameCount = Capability(namesQuery);
    if (numberCount < 1 || nameCount < 1 || numberCount > kMaxListEntries ||
        nameCount > kMaxListEntries) {
        return Text();
    }
    std::vector<uint16_t> numbers(numberCount);
    std::vector<char> names(static_cast<size_t>(nameCount) * slot);
    if (Capability(numbersQuery, numbers.data()) < 1 || Capability(namesQuery, names.data()) < 1) {
        return Text();
    }
    std::string joined;
    const int32_t count = std::min(numberCount, nameCount);
    for (int32_t i = 0; i < count; ++i) {
        joined += std::to_string(numbers[i]);
        joined += ',';
        const char* name = names.data() + static_cast<size_t>(i) * slot;
        for (uint32_t at = 0; at < slot && name[at] != 0 && name[at] != '"' && name[at] != ',';
             ++at) {
            joined += name[at];
        }
        joined += ',';
    }
    joined.pop_back();
    return Text(std::string_view(joined));
}

Text ListText(platform::DeviceCapability numbersQuery, platform::DeviceCapability namesQuery,
              uint32_t slot) {
    Text list;
    if (PrnAttached()) list = JoinList(numbersQuery, namesQuery, slot);
    if (list.Empty()) RtRaiseError(kRtErrDeviceIo);
    return list;
}

}  // namespace

int32_t PrnGetAttribute(int32_t code) {
    if (!PrnAttached()) {
        RtRaiseError(kRtErrDeviceIo);
        return 0;
    }
    const platform::DevMode* mode = gPrinter.devMode.get();
    const auto unsignedField = [](int16_t field) { return int32_t{static_cast<uint16_t>(field)}; };
    switch (code) {
        case kPrnAttrCollate:
            return Carries(mode, platform::kDmCollate) ? unsignedField(mode->collate) : 0;
        case kPrnAttrColor:
            return Carries(mode, platform::kDmColor) ? unsignedField(mode->color) : 0;
        case kPrnAttrCopies:
            return Carries(mode, platform::kDmCopies) ? unsignedField(mode->copies) : 0;
        case kPrnAttrDuplex:
            return Carries(mode, platform::kDmDuplex) ? unsignedField(mode->duplex) : 0;
        case kPrnAttrPaper:
            return Carries(mode, platform::kDmPaperSize) ? unsignedField(mode->paperSize) : 0;
        case kPrnAttrTray:
            return Carries(mode, platform::kDmDefaultSource) ? unsignedField(mode->defaultSource)
                                                             : 0;
        case kPrnAttrOrientation:
            if (!Carries(mode, platform::kDmOrientation)) return 0;
            return mode->orientation >= 0 && mode->orientation <= 2 ? mode->orientation : 0;
        case kPrnAttrQuality: {
            if (!Carries(mode, platform::kDmPrintQuality)) return 0;
            // The four quality levels -1..-4 read as 1..4; a resolution reads as 0.
            const int32_t level = -mode->printQuality;
            return level >= 0 && level <= 4 ? level : 0;
        }
        default:
            return 0;
    }
}

void PrnSetAttribute(int32_t code, int32_t value) {
    if (!PrnAttached()) {
        RtRaiseError(kRtErrDeviceIo);
        return;
    }
    if (!Change(code, value)) RtRaiseError(kRtErrInvalidArgument);
}

Text PrnBinList() {
    return ListText(platform::kDcBins, platform::kDcBinNames, platform::kBinNameSlot);
}

Text PrnPaperList() {
    return ListText(platform::kDcPapers, platform::kDcPaperNames, platform::kPaperNameSlot);
}
