// The simulated pictures: bitmaps and icons that tests place among the program's resources,
// the system's resources or the files, loaded, copied and drawn with every call logged.

#include <cstring>
#include <string>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"
#include "platform/sim/print/print_sim_state.hpp"

namespace {

using sim::detail::CallFails;
using sim::detail::Context;
using sim::detail::LogCall;
using sim::detail::Print;

constexpr platform::Handle kScreenDc = 0x0F10;
constexpr uint32_t kErrorResourceNameNotFound = 1814;

sim::PictureHome HomeOf(platform::Handle module, uint32_t flags) {
    if (flags & platform::kLrLoadFromFile) return sim::PictureHome::kFile;
    return module == platform::kNullHandle ? sim::PictureHome::kSystem : sim::PictureHome::kProgram;
}

const char* HomeName(sim::PictureHome home) {
    switch (home) {
        case sim::PictureHome::kFile:
            return "file";
        case sim::PictureHome::kSystem:
            return "system";
        case sim::PictureHome::kProgram:
            break;
    }
    return "program";
}

bool Matches(const sim::Picture& picture, platform::ImageName name) {
    return name.name != nullptr ? picture.name == name.name : picture.id == name.id;
}

const sim::detail::SimLoadedPicture* Loaded(platform::Handle picture, sim::PictureKind kind) {
    auto found = Print().loadedPictures.find(picture);
    if (found == Print().loadedPictures.end() || found->second.kind != kind) {
        platform::SetLastError(platform::kErrorInvalidHandle);
        return nullptr;
    }
    return &found->second;
}

}  // namespace

namespace sim {

void AddPicture(const Picture& picture) { Print().pictures.push_back(picture); }

}  // namespace sim

namespace platform {

Handle LoadImageA(Handle module, ImageName name, ImageType type, int32_t width, int32_t height,
                  uint32_t flags) {
    const sim::PictureHome home = HomeOf(module, flags);
    const auto kind = type == kImageIcon ? sim::PictureKind::kIcon : sim::PictureKind::kBitmap;
    char flagText[16];
    std::snprintf(flagText, sizeof flagText, "0x%X", flags);
    LogCall("LoadImageA", std::string(HomeName(home)) + "," +
                              (name.name != nullptr ? name.name : "#" + std::to_string(name.id)) +
                              (kind == sim::PictureKind::kIcon ? ",icon," : ",bitmap,") +
                              std::to_string(width) + "," + std::to_string(height) + "," +
                              flagText);
    if (CallFails("LoadImageA")) return kNullHandle;
    for (const sim::Picture& picture : Print().pictures) {
        if (picture.home != home || picture.kind != kind || !Matches(picture, name)) continue;
        sim::detail::SimLoadedPicture loaded{kind, picture.width, picture.height,
                                             picture.bitsPixel};
        if (kind == sim::PictureKind::kIcon && width != 0 && height != 0) {
            loaded.width = width;
            loaded.height = height;
        }
        const Handle object = Print().nextHandle++;
        Print().loadedPictures[object] = loaded;
        return object;
    }
    SetLastError(home == sim::PictureHome::kFile ? kErrorFileNotFound : kErrorResourceNameNotFound);
    return kNullHandle;
}

bool GetObjectA(Handle bitmap, Bitmap* description) {
    LogCall("GetObjectA");
    if (CallFails("GetObjectA")) return false;
    const auto* loaded = Loaded(bitmap, sim::PictureKind::kBitmap);
    if (loaded == nullptr) return false;
    *description = Bitmap{};
    description->width = loaded->width;
    description->height = loaded->height;
    description->planes = 1;
    description->bitsPixel = loaded->bitsPixel;
    description->widthBytes = (loaded->width * loaded->bitsPixel + 15) / 16 * 2;
    return true;
}

Handle GetDC() {
    LogCall("GetDC");
    if (CallFails("GetDC")) return kNullHandle;
    ++Print().screenContexts;
    return kScreenDc;
}

bool ReleaseDC(Handle dc) {
    LogCall("ReleaseDC");
    if (dc != kScreenDc || Print().screenContexts == 0) return false;
    --Print().screenContexts;
    return true;
}

int32_t GetDIBits(Handle dc, Handle bitmap, uint32_t start, uint32_t lines, void* bits,
                  BitmapInfo* info, uint32_t usage) {
    LogCall("GetDIBits", std::to_string(start) + "," + std::to_string(lines) + ",bits " +
                             std::to_string(info->bitCount) + ",colors " +
                             std::to_string(info->colors.size()) + "," + std::to_string(usage));
    if (CallFails("GetDIBits") || dc != kScreenDc) return 0;
    const auto* loaded = Loaded(bitmap, sim::PictureKind::kBitmap);
    if (loaded == nullptr || info->width != loaded->width || info->height != loaded->height) {
        return 0;
    }
    const uint32_t rowBytes = (uint32_t(info->width) * info->bitCount + 31) / 32 * 4;
    std::memset(bits, 0x5A, size_t{rowBytes} * lines);
    for (size_t i = 0; i < info->colors.size() && info->bitCount <= 8; ++i) {
        info->colors[i] = static_cast<uint32_t>(i * 0x010101);
    }
    return static_cast<int32_t>(lines);
}

int32_t StretchDIBits(Handle dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void*, const BitmapInfo& info, uint32_t usage,
                      uint32_t rop) {
    char ropText[16];
    std::snprintf(ropText, sizeof ropText, "0x%X", rop);
    auto* context =
        Context("StretchDIBits", dc,
                std::to_string(xDest) + "," + std::to_string(yDest) + "," +
                    std::to_string(destWidth) + "," + std::to_string(destHeight) + "," +
                    std::to_string(xSrc) + "," + std::to_string(ySrc) + "," +
                    std::to_string(srcWidth) + "," + std::to_string(srcHeight) + ",bits " +
                    std::to_string(info.bitCount) + "," + std::to_string(usage) + "," + ropText);
    if (context == nullptr || !context->pageOpen) return 0;
    return srcHeight;
}

bool DrawIconEx(Handle dc, int32_t x, int32_t y, Handle icon, int32_t width, int32_t height,
                uint32_t flags) {
    auto* context = Context("DrawIconEx", dc);
    const auto* loaded = Loaded(icon, sim::PictureKind::kIcon);
    if (context == nullptr || loaded == nullptr || !context->pageOpen) return false;
    const int32_t drawnWidth = width != 0 ? width : loaded->width;
    const int32_t drawnHeight = height != 0 ? height : loaded->height;
    Print().calls.back() = "DrawIconEx(" + std::to_string(x) + "," + std::to_string(y) + "," +
                           std::to_string(drawnWidth) + "x" + std::to_string(drawnHeight) + "," +
                           std::to_string(flags) + ")";
    return true;
}

bool DestroyIcon(Handle icon) {
    LogCall("DestroyIcon");
    if (Loaded(icon, sim::PictureKind::kIcon) == nullptr) return false;
    Print().loadedPictures.erase(icon);
    return true;
}

}  // namespace platform
