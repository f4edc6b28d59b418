#pragma once
// A page's measurements in device pixels, worked out from a printer's description of its
// paper. Each edge of the printable area becomes a whole pixel on its own, and every size is
// a difference of edges: nothing adds up, left + printable + right is the paper (top and
// bottom likewise), and a margin or size that is a whole number of pixels comes out exact.

#include <cstdint>

namespace platform::posix {

/// A paper and its printable area as the printer describes them, measured like PostScript
/// from the paper's lower left corner, in the description's own units.
struct PaperArea {
    /// Units per inch: 72 for a PPD's points, 2540 for IPP's hundredths of millimetres.
    double unitsPerInch = 72;
    double width = 0;
    double length = 0;
    /// The edges of the printable area (a PPD's ImageableArea: llx lly urx ury).
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
};

/// The area of a paper described by its size and its four margins, as IPP's media-col does.
PaperArea AreaFromMargins(double unitsPerInch, double width, double length, double left,
                          double right, double top, double bottom);

/// The measurements of a page in device pixels, for the device mode's orientation.
struct PageGeometry {
    int32_t dpiX;
    int32_t dpiY;
    int32_t physicalWidth;
    int32_t physicalHeight;
    int32_t offsetX;
    int32_t offsetY;
    int32_t printableWidth;
    int32_t printableHeight;
};

/// The numbers a printer's description may give. Real printers print at up to a few
/// thousand dots per inch on papers a few metres long; anything past these limits comes from
/// a broken or hostile description, and a page measured from it would not fit the device's
/// 32-bit coordinates.
inline constexpr int32_t kMaxDpi = 10000;
inline constexpr double kMaxPaperInches = 1000;

/// A resolution as a printer's description gives it, in dots per inch or (`perCm`) per
/// centimetre, as dots per inch; 0 when it lies outside 1 to kMaxDpi.
int32_t DotsPerInch(int32_t value, bool perCm);

/// Whether a printer's paper at its resolution can be printed on: each resolution 1 to
/// kMaxDpi, a paper of finite, positive size up to kMaxPaperInches a side, and a printable
/// area (cut at the paper's edges) at least one pixel wide and high.
bool DescriptionMakesSense(const PaperArea& area, int32_t dpiX, int32_t dpiY);

/// A distance from the paper's origin as the pixel edge at `dpi`: the whole pixels below it.
int32_t EdgeInPixels(double distance, double unitsPerInch, int32_t dpi);

/// A paper at a resolution. Landscape turns it a quarter counterclockwise, as the print
/// server turns a wide page onto its paper: the paper's bottom edge becomes the page's left.
PageGeometry GeometryOf(const PaperArea& area, int32_t dpiX, int32_t dpiY, bool landscape);

}  // namespace platform::posix
