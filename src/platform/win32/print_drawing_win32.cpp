// Drawing on Windows printers: thin wrappers around gdi32 and user32.

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/print_drawing.hpp"

namespace platform {
namespace {

static_assert(sizeof(Point) == sizeof(POINT), "points are handed to GDI as they are");

HDC ToDc(Handle dc) { return reinterpret_cast<HDC>(dc); }

template <class Object>
Object To(Handle object) {
    return reinterpret_cast<Object>(object);
}

Handle From(const void* object) { return reinterpret_cast<Handle>(object); }

// A BITMAPINFO in one block: the header followed by its colour table.
std::vector<uint8_t> ToBitmapInfo(const BitmapInfo& info) {
    std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + info.colors.size() * sizeof(RGBQUAD));
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = info.width;
    header.biHeight = info.height;
    header.biPlanes = info.planes;
    header.biBitCount = info.bitCount;
    header.biCompression = info.compression;
    header.biSizeImage = info.sizeImage;
    header.biXPelsPerMeter = info.xPelsPerMeter;
    header.biYPelsPerMeter = info.yPelsPerMeter;
    header.biClrUsed = info.clrUsed;
    header.biClrImportant = info.clrImportant;
    std::memcpy(block.data(), &header, sizeof header);
    if (!info.colors.empty()) {
        std::memcpy(block.data() + sizeof header, info.colors.data(),
                    info.colors.size() * sizeof(RGBQUAD));
    }
    return block;
}

void FromBitmapInfo(const std::vector<uint8_t>& block, BitmapInfo* info) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, block.data(), sizeof header);
    info->width = header.biWidth;
    info->height = header.biHeight;
    info->planes = header.biPlanes;
    info->bitCount = header.biBitCount;
    info->compression = header.biCompression;
    info->sizeImage = header.biSizeImage;
    info->xPelsPerMeter = header.biXPelsPerMeter;
    info->yPelsPerMeter = header.biYPelsPerMeter;
    info->clrUsed = header.biClrUsed;
    info->clrImportant = header.biClrImportant;
    if (!info->colors.empty()) {
        std::memcpy(info->colors.data(), block.data() + sizeof header,
                    info->colors.size() * sizeof(RGBQUAD));
    }
}

}  // namespace

Handle CreatePen(int32_t style, int32_t width, uint32_t color) {
    return From(::CreatePen(style, width, color));
}
Handle CreateSolidBrush(uint32_t color) { return From(::CreateSolidBrush(color)); }
Handle CreateHatchBrush(int32_t hatch, uint32_t color) {
    return From(::CreateHatchBrush(hatch, color));
}
Handle GetStockObject(int32_t index) { return From(::GetStockObject(index)); }

bool LineTo(Handle dc, int32_t x, int32_t y) { return ::LineTo(ToDc(dc), x, y); }
bool RoundRect(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
               int32_t cornerWidth, int32_t cornerHeight) {
    return ::RoundRect(ToDc(dc), left, top, right, bottom, cornerWidth, cornerHeight);
}
bool Arc(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    return ::Arc(ToDc(dc), left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}
bool Pie(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd) {
    return ::Pie(ToDc(dc), left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}
bool Polygon(Handle dc, const Point* points, int32_t count) {
    return ::Polygon(ToDc(dc), reinterpret_cast<const POINT*>(points), count);
}
bool Polyline(Handle dc, const Point* points, int32_t count) {
    return ::Polyline(ToDc(dc), reinterpret_cast<const POINT*>(points), count);
}
int32_t SetPolyFillMode(Handle dc, int32_t mode) { return ::SetPolyFillMode(ToDc(dc), mode); }
bool SetPixelV(Handle dc, int32_t x, int32_t y, uint32_t color) {
    return ::SetPixelV(ToDc(dc), x, y, color);
}
uint32_t GetPixel(Handle dc, int32_t x, int32_t y) { return ::GetPixel(ToDc(dc), x, y); }
bool GetCurrentPositionEx(Handle dc, Point* position) {
    POINT raw{};
    if (!::GetCurrentPositionEx(ToDc(dc), &raw)) return false;
    *position = {raw.x, raw.y};
    return true;
}

bool TextOutA(Handle dc, int32_t x, int32_t y, const char* text, int32_t length) {
    return ::TextOutA(ToDc(dc), x, y, text, length);
}
bool GetTextExtentPoint32A(Handle dc, const char* text, int32_t length, Size* size) {
    SIZE raw{};
    if (!::GetTextExtentPoint32A(ToDc(dc), text, length, &raw)) return false;
    *size = {raw.cx, raw.cy};
    return true;
}

Handle LoadImageA(Handle module, ImageName name, ImageType type, int32_t width, int32_t height,
                  uint32_t flags) {
    const char* what = name.name != nullptr ? name.name : MAKEINTRESOURCEA(name.id);
    return From(::LoadImageA(To<HINSTANCE>(module), what, type, width, height, flags));
}

bool GetObjectA(Handle bitmap, Bitmap* description) {
    BITMAP raw{};
    if (::GetObjectA(To<HGDIOBJ>(bitmap), sizeof raw, &raw) == 0) return false;
    *description = {raw.bmType,       raw.bmWidth,  raw.bmHeight,
                    raw.bmWidthBytes, raw.bmPlanes, raw.bmBitsPixel};
    return true;
}

Handle GetDC() { return From(::GetDC(nullptr)); }
bool ReleaseDC(Handle dc) { return ::ReleaseDC(nullptr, ToDc(dc)) == 1; }

int32_t GetDIBits(Handle dc, Handle bitmap, uint32_t start, uint32_t lines, void* bits,
                  BitmapInfo* info, uint32_t usage) {
    std::vector<uint8_t> block = ToBitmapInfo(*info);
    const int result = ::GetDIBits(ToDc(dc), To<HBITMAP>(bitmap), start, lines, bits,
                                   reinterpret_cast<BITMAPINFO*>(block.data()), usage);
    if (result > 0) FromBitmapInfo(block, info);
    return result;
}

int32_t StretchDIBits(Handle dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void* bits, const BitmapInfo& info, uint32_t usage,
                      uint32_t rop) {
    const std::vector<uint8_t> block = ToBitmapInfo(info);
    return ::StretchDIBits(ToDc(dc), xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth,
                           srcHeight, bits, reinterpret_cast<const BITMAPINFO*>(block.data()),
                           usage, rop);
}

bool DrawIconEx(Handle dc, int32_t x, int32_t y, Handle icon, int32_t width, int32_t height,
                uint32_t flags) {
    return ::DrawIconEx(ToDc(dc), x, y, To<HICON>(icon), width, height, 0, nullptr, flags);
}
bool DestroyIcon(Handle icon) { return ::DestroyIcon(To<HICON>(icon)); }

}  // namespace platform
