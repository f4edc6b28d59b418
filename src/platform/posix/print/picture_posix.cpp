// Bitmaps and icons on POSIX. Files are decoded by gdk-pixbuf (never by a decoder of our own,
// see picture_decode_posix). A bitmap is kept as 24-bit (or, with an alpha channel, 32-bit) colour;
// GetDIBits hands it out bottom-up as a Windows DIB, StretchDIBits draws any uncompressed DIB
// back onto a page, and an icon is drawn with its transparency.

#include "platform/posix/print/picture_posix.hpp"

#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "platform/posix/print/picture_decode_posix.hpp"
#include "platform/posix/print/print_dc_posix.hpp"
#include "platform/posix/print/print_posix.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

constexpr uint32_t kErrorResourceNameNotFound = 1814;
constexpr Handle kScreenDc = kScreenDcHandle;
constexpr uint32_t kBiRgb = 0;

struct Picture {
    ImageType type;
    PictureData data;
};

std::map<Handle, Picture> pictures;
int screenContexts = 0;

Handle Fail(uint32_t code) {
    SetLastError(code);
    return kNullHandle;
}

const Picture* FindPicture(Handle handle, ImageType type) {
    auto found = pictures.find(handle);
    if (found == pictures.end() || found->second.type != type) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return &found->second;
}

uint16_t BitsOf(const PictureData& picture) { return picture.channels == 4 ? 32 : 24; }

uint32_t RowBytes(int32_t width, uint32_t bits) {
    return static_cast<uint32_t>((int64_t{width} * bits + 31) / 32 * 4);
}

// One DIB pixel as 0x00RRGGBB, for the depths StretchDIBits takes.
uint32_t DibPixel(const uint8_t* row, int32_t x, const BitmapInfo& info) {
    switch (info.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int perByte = 8 / info.bitCount;
            const uint8_t byte = row[x / perByte];
            const int shift = (perByte - 1 - x % perByte) * info.bitCount;
            const uint32_t index = (byte >> shift) & ((1u << info.bitCount) - 1);
            return index < info.colors.size() ? info.colors[index] & 0xFFFFFF : 0;
        }
        case 16: {
            const uint32_t value = row[2 * x] | (row[2 * x + 1] << 8);
            const auto five = [&](int shift) { return ((value >> shift) & 0x1F) * 255 / 31; };
            return (five(10) << 16) | (five(5) << 8) | five(0);
        }
        case 24:
            return (row[3 * x + 2] << 16) | (row[3 * x + 1] << 8) | row[3 * x];
        default:
            return (row[4 * x + 2] << 16) | (row[4 * x + 1] << 8) | row[4 * x];
    }
}

// The part of a DIB that StretchDIBits copies, as a cairo image; null for a DIB it cannot
// read or a part outside it.
cairo_surface_t* DibPart(const void* bits, const BitmapInfo& info, int32_t xSrc, int32_t ySrc,
                         int32_t width, int32_t height) {
    const int32_t rows = info.height < 0 ? -info.height : info.height;
    const bool known = info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8 ||
                       info.bitCount == 16 || info.bitCount == 24 || info.bitCount == 32;
    if (!known || info.compression != kBiRgb || info.width <= 0 || rows <= 0 || width <= 0 ||
        height <= 0 || xSrc < 0 || ySrc < 0 || int64_t{xSrc} + width > info.width ||
        int64_t{ySrc} + height > rows || int64_t{width} * height > kMaxPicturePixels) {
        return nullptr;
    }
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    cairo_surface_flush(image);
    unsigned char* out = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const uint32_t rowBytes = RowBytes(info.width, info.bitCount);
    for (int32_t y = 0; y < height; ++y) {
        // A bottom-up DIB counts its source rows from the bottom.
        const int32_t stored = info.height > 0 ? ySrc + height - 1 - y : ySrc + y;
        const auto* row = static_cast<const uint8_t*>(bits) + size_t{rowBytes} * stored;
        auto* target = reinterpret_cast<uint32_t*>(out + size_t(stride) * y);
        for (int32_t x = 0; x < width; ++x)
            target[x] = DibPixel(row, xSrc + x, info);
    }
    cairo_surface_mark_dirty(image);
    return image;
}

// Whether every pixel of the icon is opaque or fully transparent, as an icon's mask makes
// them; only icons with an alpha channel of their own have pixels in between.
bool HasMaskOnly(const PictureData& picture) {
    if (picture.channels != 4) return true;
    for (size_t i = 3; i < picture.pixels.size(); i += 4) {
        if (picture.pixels[i] != 0 && picture.pixels[i] != 255) return false;
    }
    return true;
}

// An icon's pixels as a cairo image: premultiplied, or opaque when `opaque` (the transparent
// pixels then lie outside the shape that is painted).
cairo_surface_t* IconImage(const PictureData& picture, bool opaque) {
    const int width = picture.width;
    const int height = picture.height;
    const int channels = picture.channels;
    cairo_surface_t* image = cairo_image_surface_create(
        opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(image);
    unsigned char* out = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < height; ++y) {
        auto* target = reinterpret_cast<uint32_t*>(out + size_t(stride) * y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = picture.Row(y) + size_t(channels) * x;
            const uint32_t alpha = channels == 4 && !opaque ? p[3] : 255;
            const auto premultiply = [&](uint32_t c) { return (c * alpha + 127) / 255; };
            target[x] = (alpha << 24) | (premultiply(p[0]) << 16) | (premultiply(p[1]) << 8) |
                        premultiply(p[2]);
        }
    }
    cairo_surface_mark_dirty(image);
    return image;
}

// The opaque pixels of an icon as a path of one rectangle per run, in its pixels.
void AddOpaqueRuns(cairo_t* cairo, const PictureData& picture) {
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.Row(y);
        const auto opaque = [&](int x) {
            return picture.channels != 4 || row[size_t(4) * x + 3] == 255;
        };
        for (int x = 0; x < picture.width;) {
            if (!opaque(x)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < picture.width && opaque(x))
                ++x;
            cairo_rectangle(cairo, start, y, x - start, 1);
        }
    }
}

// Paints an image into the destination box, stretched pixel for pixel; only the icon's
// opaque pixels when `mask` is given.
void PaintImage(cairo_t* cairo, cairo_surface_t* image, int32_t x, int32_t y, int32_t width,
                int32_t height, const PictureData* mask = nullptr) {
    const int imageWidth = cairo_image_surface_get_width(image);
    const int imageHeight = cairo_image_surface_get_height(image);
    cairo_save(cairo);
    cairo_new_path(cairo);
    cairo_translate(cairo, x, y);
    cairo_scale(cairo, static_cast<double>(width) / imageWidth,
                static_cast<double>(height) / imageHeight);
    cairo_set_source_surface(cairo, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    if (mask != nullptr) {
        AddOpaqueRuns(cairo, *mask);
    } else {
        cairo_rectangle(cairo, 0, 0, imageWidth, imageHeight);
    }
    cairo_fill(cairo);
    cairo_restore(cairo);
}

}  // namespace

bool DeletePicture(Handle picture) {
    auto found = pictures.find(picture);
    if (found == pictures.end()) return false;
    pictures.erase(found);
    return true;
}

}  // namespace platform::posix

namespace platform {

Handle LoadImageA(Handle, ImageName name, ImageType type, int32_t width, int32_t height,
                  uint32_t flags) {
    // The program carries no resources on POSIX.
    if ((flags & kLrLoadFromFile) == 0 || name.name == nullptr) {
        return posix::Fail(posix::kErrorResourceNameNotFound);
    }
    if (type != kImageBitmap && type != kImageIcon) return posix::Fail(kErrorInvalidParameter);
    posix::PictureData data;
    if (!posix::DecodePictureFile(name.name, type, width, height, &data)) return kNullHandle;
    const Handle handle = posix::NewPrintHandle();
    posix::pictures[handle] = {type, std::move(data)};
    return handle;
}

bool GetObjectA(Handle bitmap, Bitmap* description) {
    const posix::Picture* picture = posix::FindPicture(bitmap, kImageBitmap);
    if (picture == nullptr) return false;
    *description = Bitmap{};
    description->width = picture->data.width;
    description->height = picture->data.height;
    description->planes = 1;
    description->bitsPixel = posix::BitsOf(picture->data);
    description->widthBytes = (description->width * description->bitsPixel + 15) / 16 * 2;
    return true;
}

Handle GetDC() {
    ++posix::screenContexts;
    return posix::kScreenDc;
}

bool ReleaseDC(Handle dc) {
    if (dc != posix::kScreenDc || posix::screenContexts == 0) return false;
    --posix::screenContexts;
    return true;
}

int32_t GetDIBits(Handle dc, Handle bitmap, uint32_t start, uint32_t lines, void* bits,
                  BitmapInfo* info, uint32_t usage) {
    const posix::Picture* picture = posix::FindPicture(bitmap, kImageBitmap);
    if (picture == nullptr) return 0;
    const posix::PictureData& pixels = picture->data;
    const int32_t width = pixels.width;
    const int32_t height = pixels.height;
    if (dc != posix::kScreenDc || usage != kDibRgbColors || info->width != width ||
        info->height != height || (info->bitCount != 24 && info->bitCount != 32) ||
        start >= uint32_t(height)) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    lines = std::min<uint32_t>(lines, height - start);
    const int channels = pixels.channels;
    const uint32_t rowBytes = posix::RowBytes(width, info->bitCount);
    const int outChannels = info->bitCount / 8;
    for (uint32_t line = 0; line < lines; ++line) {
        // Row 0 of a bottom-up DIB is the picture's last row.
        const uint32_t dibRow = start + line;
        const uint8_t* source = pixels.Row(height - 1 - dibRow);
        auto* target = static_cast<uint8_t*>(bits) + size_t{rowBytes} * line;
        std::memset(target, 0, rowBytes);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = source + size_t(channels) * x;
            uint8_t* q = target + size_t(outChannels) * x;
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            if (outChannels == 4) q[3] = channels == 4 ? p[3] : 255;
        }
    }
    info->compression = posix::kBiRgb;
    info->sizeImage = rowBytes * uint32_t(height);
    return static_cast<int32_t>(lines);
}

int32_t StretchDIBits(Handle dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void* bits, const BitmapInfo& info, uint32_t usage,
                      uint32_t rop) {
    posix::PrintDeviceContext* context = posix::FindPageContext(dc);
    if (context == nullptr) return 0;
    if (usage != kDibRgbColors || rop != kSrcCopy || destWidth == 0 || destHeight == 0) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    cairo_surface_t* image = posix::DibPart(bits, info, xSrc, ySrc, srcWidth, srcHeight);
    if (image == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    posix::PaintImage(context->cairo, image, xDest, yDest, destWidth, destHeight);
    cairo_surface_destroy(image);
    return srcHeight;
}

bool DrawIconEx(Handle dc, int32_t x, int32_t y, Handle icon, int32_t width, int32_t height,
                uint32_t flags) {
    posix::PrintDeviceContext* context = posix::FindPageContext(dc);
    if (context == nullptr) return false;
    const posix::Picture* picture = posix::FindPicture(icon, kImageIcon);
    if (picture == nullptr) return false;
    if ((flags & kDiNormal) == 0) return true;
    // A mask is drawn as the shape of the opaque pixels: a picture with an alpha channel would
    // be transparency, which the print server's filters can only flatten into a raster page.
    const bool maskOnly = posix::HasMaskOnly(picture->data);
    cairo_surface_t* image = posix::IconImage(picture->data, maskOnly);
    posix::PaintImage(context->cairo, image, x, y, width != 0 ? width : picture->data.width,
                      height != 0 ? height : picture->data.height,
                      maskOnly ? &picture->data : nullptr);
    cairo_surface_destroy(image);
    return true;
}

bool DestroyIcon(Handle icon) {
    if (posix::FindPicture(icon, kImageIcon) == nullptr) return false;
    return posix::DeletePicture(icon);
}

}  // namespace platform
