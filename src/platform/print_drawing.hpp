#pragma once
// Drawing on a printer device context: pens and brushes, lines and shapes, text, and
// pictures. Same error convention as print.hpp: a false, null or 0 result (or the failure
// value a call names) and a Win32 error code for GetLastError.

#include <cstdint>
#include <vector>

#include "platform/print.hpp"
#include "platform/types.hpp"

namespace platform {

// ---- Pens and brushes -----------------------------------------------------------------------

/// Pen styles (PS_*). Styled pens wider than one pixel draw solid lines.
enum PenStyle : int32_t {
    kPsSolid = 0,
    kPsDash = 1,
    kPsDot = 2,
    kPsDashDot = 3,
    kPsDashDotDot = 4,
    kPsNull = 5,
};

/// Hatch brush patterns (HS_*).
enum HatchStyle : int32_t {
    kHsHorizontal = 0,
    kHsVertical = 1,
    kHsFDiagonal = 2,
    kHsBDiagonal = 3,
    kHsCross = 4,
    kHsDiagCross = 5,
};

/// GetStockObject's index of the brush that fills nothing.
inline constexpr int32_t kNullBrush = 5;

/// CreatePen: a pen of the style, width in device pixels (0 is one pixel) and colour; null
/// on failure.
Handle CreatePen(int32_t style, int32_t width, uint32_t color);
/// CreateSolidBrush and CreateHatchBrush (the hatch lines in the colour, the gaps in the
/// background colour when the background mode is opaque); null on failure.
Handle CreateSolidBrush(uint32_t color);
Handle CreateHatchBrush(int32_t hatch, uint32_t color);
/// GetStockObject: a shared object that is never deleted; null for an unknown index.
Handle GetStockObject(int32_t index);

// ---- Lines and shapes -----------------------------------------------------------------------

/// Fill rules of SetPolyFillMode.
inline constexpr int32_t kAlternate = 1;
inline constexpr int32_t kWinding = 2;

/// LineTo: a line in the selected pen from the current position to (x, y), leaving out the
/// end point, which becomes the current position.
bool LineTo(Handle dc, int32_t x, int32_t y);
/// RoundRect: the box covering columns left..right-1 and rows top..bottom-1, outlined with
/// the pen and filled with the brush, its corners rounded by ellipses of the given size.
bool RoundRect(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
               int32_t cornerWidth, int32_t cornerHeight);
/// Arc and Pie: the part of the ellipse inscribed in the box that runs counter-clockwise
/// from the ray towards (xStart, yStart) to the ray towards (xEnd, yEnd); Pie closes it
/// with two radii and fills it. Equal rays give the whole ellipse.
bool Arc(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd);
bool Pie(Handle dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
         int32_t yStart, int32_t xEnd, int32_t yEnd);
/// Polygon (closed and filled by the fill rule) and Polyline (open, not filled).
bool Polygon(Handle dc, const Point* points, int32_t count);
bool Polyline(Handle dc, const Point* points, int32_t count);
/// SetPolyFillMode: the previous rule, 0 on failure.
int32_t SetPolyFillMode(Handle dc, int32_t mode);
/// SetPixelV: one pixel in the colour.
bool SetPixelV(Handle dc, int32_t x, int32_t y, uint32_t color);
/// GetPixel: the pixel's colour, kClrInvalid where the device cannot tell (printers).
uint32_t GetPixel(Handle dc, int32_t x, int32_t y);
/// GetCurrentPositionEx.
bool GetCurrentPositionEx(Handle dc, Point* position);

// ---- Text -----------------------------------------------------------------------------------

/// A size in device pixels.
struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
};

/// TextOutA: the bytes in the selected font and the text colour, the background behind
/// them when the background mode is opaque. With TA_UPDATECP the text starts at the current
/// position, which then moves past it, and x, y are not used.
bool TextOutA(Handle dc, int32_t x, int32_t y, const char* text, int32_t length);
/// GetTextExtentPoint32A: the width and height of the bytes in the selected font.
bool GetTextExtentPoint32A(Handle dc, const char* text, int32_t length, Size* size);

// ---- Pictures -------------------------------------------------------------------------------

/// LoadImageA's kinds and flags.
enum ImageType : uint32_t {
    kImageBitmap = 0,
    kImageIcon = 1,
};
inline constexpr uint32_t kLrLoadFromFile = 0x10;
inline constexpr uint32_t kLrCreateDibSection = 0x2000;

/// What LoadImageA looks for: a name (a resource's or, with kLrLoadFromFile, a file's), or,
/// when `name` is null, the numeric resource identifier `id`.
struct ImageName {
    const char* name = nullptr;
    uint16_t id = 0;
};

/// LoadImageA: a bitmap at its own size or an icon at width x height (0 for the icon's own
/// size) from the module's resources (null module: the system's) or from a file; null when
/// there is no such picture or it cannot be read.
Handle LoadImageA(Handle module, ImageName name, ImageType type, int32_t width, int32_t height,
                  uint32_t flags);

/// The description of a bitmap (BITMAP).
struct Bitmap {
    int32_t type = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t widthBytes = 0;
    uint16_t planes = 0;
    uint16_t bitsPixel = 0;
};
/// GetObjectA for a bitmap.
bool GetObjectA(Handle bitmap, Bitmap* description);

/// A device-independent bitmap's header (BITMAPINFOHEADER) and its colour table (RGBQUADs as
/// 0x00RRGGBB), which GetDIBits fills for depths up to 8 bits.
struct BitmapInfo {
    uint32_t size = 40;
    int32_t width = 0;
    /// Positive: the rows run bottom-up.
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
    std::vector<uint32_t> colors;
};
inline constexpr uint32_t kDibRgbColors = 0;
inline constexpr uint32_t kSrcCopy = 0xCC0020;

/// GetDC (no window: the screen) and ReleaseDC.
Handle GetDC();
bool ReleaseDC(Handle dc);
/// GetDIBits: `lines` rows of the bitmap from `start`, in the format `info` asks for, into
/// `bits` (rows padded to 4 bytes); the number of rows copied, 0 on failure.
int32_t GetDIBits(Handle dc, Handle bitmap, uint32_t start, uint32_t lines, void* bits,
                  BitmapInfo* info, uint32_t usage);
/// StretchDIBits: the source rectangle of the bitmap `bits`/`info` stretched onto the
/// destination rectangle; the number of rows drawn, 0 on failure.
int32_t StretchDIBits(Handle dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void* bits, const BitmapInfo& info, uint32_t usage,
                      uint32_t rop);

/// DrawIconEx's DI_NORMAL: the icon's mask and colours.
inline constexpr uint32_t kDiNormal = 3;
/// DrawIconEx (no frame, no flicker-free brush): width and height 0 draw the icon at the
/// size it was loaded with.
bool DrawIconEx(Handle dc, int32_t x, int32_t y, Handle icon, int32_t width, int32_t height,
                uint32_t flags);
bool DestroyIcon(Handle icon);

}  // namespace platform
