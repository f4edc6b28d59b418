#include "printer/image.hpp"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "printer/document.hpp"
#include "printer/printer_state.hpp"
#include "printer/unit_conversion.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"

namespace {

constexpr uint32_t kFirstNamedResource = 0x8000;
// A bitmap whose pixels would need more than this is refused rather than copied: no page
// needs one, and a damaged header must not exhaust memory.
constexpr uint64_t kMaxPixelBytes = uint64_t{256} << 20;

struct Picture {
    platform::Handle handle = platform::kNullHandle;
    platform::ImageType type = platform::kImageBitmap;
};

platform::Handle Load(platform::Handle module, platform::ImageName name, platform::ImageType type,
                      int32_t width, int32_t height, uint32_t flags) {
    return PrnCallOs([&] {
        return platform::LoadImageA(module, name, type, width, height,
                                    flags | platform::kLrCreateDibSection);
    });
}

// Tries the four ways in order and stops at the first that loads.
Picture LoadPicture(const Text& source, int32_t width, int32_t height) {
    const std::string name(source.Bytes());
    platform::ImageName what{name.c_str(), 0};
    bool numeric = false;
    if (source.Length() == 4) {
        uint32_t value = 0;
        std::memcpy(&value, source.Data(), sizeof value);
        if (value < kFirstNamedResource) {
            what = {nullptr, static_cast<uint16_t>(value)};
            numeric = true;
        }
    }
    if (numeric || name.find('.') == std::string::npos) {
        // Numeric identifiers name the system's resources, names the program's own.
        const platform::Handle module = numeric ? platform::kNullHandle : RtInstance;
        if (auto bitmap = Load(module, what, platform::kImageBitmap, 0, 0, 0)) {
            return {bitmap, platform::kImageBitmap};
        }
        if (auto icon = Load(module, what, platform::kImageIcon, width, height, 0)) {
            return {icon, platform::kImageIcon};
        }
        // A number names no file.
        if (numeric) return {};
    }
    if (auto bitmap = Load(platform::kNullHandle, what, platform::kImageBitmap, 0, 0,
                           platform::kLrLoadFromFile)) {
        return {bitmap, platform::kImageBitmap};
    }
    if (auto icon = Load(platform::kNullHandle, what, platform::kImageIcon, width, height,
                         platform::kLrLoadFromFile)) {
        return {icon, platform::kImageIcon};
    }
    return {};
}

// The colour-table entries a depth needs room for.
uint32_t ColorTableEntries(uint32_t depth) {
    if (depth <= 1) return 2;
    if (depth <= 4) return 16;
    if (depth <= 8) return 256;
    if (depth <= 16) return 65536;
    return 0;
}

bool DrawIcon(platform::Handle icon, platform::Point at) {
    const platform::Handle dc = gPrinter.dc;
    const bool drawn = PrnCallOs(
        [&] { return platform::DrawIconEx(dc, at.x, at.y, icon, 0, 0, platform::kDiNormal); });
    PrnCallOs([&] { return platform::DestroyIcon(icon); });
    return drawn;
}

// Copies the bitmap's pixels through the screen and stretches them onto the page.
bool CopyBitmap(platform::Handle bitmap, platform::Point at, int32_t width, int32_t height) {
    platform::Bitmap description;
    if (!PrnCallOs([&] { return platform::GetObjectA(bitmap, &description); })) return false;
    const uint32_t depth = uint32_t{description.planes} * description.bitsPixel;
    if (description.width <= 0 || description.height <= 0 || depth == 0) return false;
    const uint64_t rowBytes = (uint64_t{depth} * uint32_t(description.width) + 31) / 32 * 4;
    const uint64_t bytes = rowBytes * uint32_t(description.height);
    if (bytes > kMaxPixelBytes) return false;

    platform::BitmapInfo info;
    info.width = description.width;
    info.height = description.height;
    info.planes = description.planes;
    info.bitCount = description.bitsPixel;
    info.colors.assign(ColorTableEntries(depth), 0);
    std::vector<uint8_t> pixels(bytes);

    const platform::Handle screen = PrnCallOs([] { return platform::GetDC(); });
    if (screen == platform::kNullHandle) return false;
    const auto rows = static_cast<uint32_t>(description.height);
    bool copied = PrnCallOs([&] {
                      return platform::GetDIBits(screen, bitmap, 0, rows, pixels.data(), &info,
                                                 platform::kDibRgbColors);
                  }) > 0;
    if (copied) {
        const platform::Handle dc = gPrinter.dc;
        const int32_t drawn = PrnCallOs([&] {
            return platform::StretchDIBits(dc, at.x, at.y, width, height, 0, 0, description.width,
                                           description.height, pixels.data(), info,
                                           platform::kDibRgbColors, platform::kSrcCopy);
        });
        copied = drawn > 0;
    }
    PrnCallOs([&] { return platform::ReleaseDC(screen); });
    return copied;
}

}  // namespace

void PrnImage(const Text& source, double x1, double y1, double x2, double y2) {
    if (!PrnRequirePage()) return;
    const platform::Point low = PrnToDevice(x1, y1, false);
    const platform::Point high = PrnToDevice(x2, y2, false);
    const int32_t width = PrnSaturate(int64_t{high.x} - low.x + 1);
    const int32_t height = PrnSaturate(int64_t{high.y} - low.y + 1);
    const Picture picture = LoadPicture(source, width, height);
    if (picture.handle == platform::kNullHandle) {
        RtRaiseError(kRtErrDeviceIo);
        return;
    }
    bool drawn = false;
    if (picture.type == platform::kImageIcon) {
        drawn = DrawIcon(picture.handle, low);
    } else {
        drawn = CopyBitmap(picture.handle, low, width, height);
        const platform::Handle bitmap = picture.handle;
        PrnCallOs([&] { return platform::DeleteObject(bitmap); });
    }
    if (!drawn) RtRaiseError(kRtErrDeviceIo);
}
