#include "platform/posix/print/page_edges_posix.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

namespace platform::posix {
namespace {

// A4 as a vendor's PPD might give it: *ImageableArea A4: "12 18.5 583 830".
const PaperArea kVendorA4{72, 595, 842, 12, 18.5, 583, 830};

TEST(PageEdgesTest, FractionalPointsGiveWholeEdgesAndSizesBetweenThem) {
    const PageGeometry page = GeometryOf(kVendorA4, 300, 300, false);
    EXPECT_EQ(page.physicalWidth, 2479);    // 2479.17
    EXPECT_EQ(page.physicalHeight, 3508);   // 3508.33
    EXPECT_EQ(page.offsetX, 50);            // 12 points, exactly 50 pixels
    EXPECT_EQ(page.offsetY, 50);            // 842 - 830 points, exactly 50 pixels
    EXPECT_EQ(page.printableWidth, 2379);   // right margin 12 points, exactly 50 pixels
    EXPECT_EQ(page.printableHeight, 3381);  // 3381.25; the bottom margin, 77.08, is 77
    EXPECT_EQ(page.physicalHeight - page.offsetY - page.printableHeight, 77);
}

TEST(PageEdgesTest, SixHundredDpiKeepsWholePixelMarginsExact) {
    // The sample LaserJet driver's Letter: "612 792", "18 36 594 756".
    const PageGeometry page = GeometryOf({72, 612, 792, 18, 36, 594, 756}, 600, 600, false);
    EXPECT_EQ(page.dpiX, 600);
    EXPECT_EQ(page.physicalWidth, 5100);
    EXPECT_EQ(page.physicalHeight, 6600);
    EXPECT_EQ(page.offsetX, 150);
    EXPECT_EQ(page.offsetY, 300);
    EXPECT_EQ(page.printableWidth, 4800);
    EXPECT_EQ(page.printableHeight, 6000);
}

TEST(PageEdgesTest, LandscapeTurnsThePaperCounterclockwise) {
    const PageGeometry page = GeometryOf(kVendorA4, 300, 600, true);
    EXPECT_EQ(page.dpiX, 600);
    EXPECT_EQ(page.dpiY, 300);
    EXPECT_EQ(page.physicalWidth, 7016);   // the paper's length at 600 dpi
    EXPECT_EQ(page.physicalHeight, 2479);  // its width at 300 dpi
    EXPECT_EQ(page.offsetX, 154);          // the bottom margin, 18.5 points = 154.17
    EXPECT_EQ(page.offsetY, 50);           // the left margin
    EXPECT_EQ(page.printableWidth, 6916 - 154);
    EXPECT_EQ(page.printableHeight, 2379);
}

TEST(PageEdgesTest, IppMarginsInHundredthsOfMillimetres) {
    const PaperArea a4 = AreaFromMargins(2540, 21000, 29700, 423, 500, 300, 635);
    EXPECT_DOUBLE_EQ(a4.right, 20500);
    EXPECT_DOUBLE_EQ(a4.top, 29400);
    const PageGeometry page = GeometryOf(a4, 600, 600, false);
    EXPECT_EQ(page.physicalWidth, 4960);                                        // 4960.63
    EXPECT_EQ(page.offsetX, 99);                                                // 99.92
    EXPECT_EQ(page.physicalWidth - page.offsetX - page.printableWidth, 118);    // 118.11
    EXPECT_EQ(page.physicalHeight - page.offsetY - page.printableHeight, 150);  // exact
}

TEST(PageEdgesTest, DecimalsThatFloatsMissStillMeetTheirPixel) {
    // 7.2 points is 30 pixels at 300 dpi; as a float it is a little less.
    EXPECT_EQ(EdgeInPixels(7.2f, 72, 300), 30);
    EXPECT_EQ(EdgeInPixels(841.889763779528f, 72, 600), 7015);
}

TEST(PageEdgesTest, AnAreaPastThePaperIsCutAtItsEdges) {
    const PageGeometry page = GeometryOf({72, 612, 792, -3, -3, 620, 800}, 300, 300, false);
    EXPECT_EQ(page.offsetX, 0);
    EXPECT_EQ(page.offsetY, 0);
    EXPECT_EQ(page.printableWidth, 2550);
    EXPECT_EQ(page.printableHeight, 3300);
}

// Margins of every quarter point up to 40 points, at the common resolutions: each reported
// margin and size is within one pixel of the description and exact where that is whole.
TEST(PageEdgesTest, NoMarginStraysByAPixelOrMore) {
    const auto near = [](int32_t reported, double exact) {
        const double whole = std::round(exact);
        return std::fabs(exact - whole) < 1e-9 ? reported == whole
                                               : std::fabs(reported - exact) < 1;
    };
    for (const int32_t dpi : {150, 300, 600, 720, 1200}) {
        for (double low = 0; low <= 40; low += 0.25) {
            const double high = 40 - low;
            const PaperArea area{72, 595, 842, low, high, 595 - high, 842 - low};
            const PageGeometry page = GeometryOf(area, dpi, dpi, false);
            const double scale = dpi / 72.0;
            const int32_t right = page.physicalWidth - page.offsetX - page.printableWidth;
            const int32_t bottom = page.physicalHeight - page.offsetY - page.printableHeight;
            EXPECT_TRUE(near(page.offsetX, low * scale)) << dpi << " dpi, left " << low;
            EXPECT_TRUE(near(right, high * scale)) << dpi << " dpi, right " << high;
            EXPECT_TRUE(near(page.offsetY, low * scale)) << dpi << " dpi, top " << low;
            EXPECT_TRUE(near(bottom, high * scale)) << dpi << " dpi, bottom " << high;
            EXPECT_TRUE(near(page.printableWidth, (595 - low - high) * scale)) << dpi;
            EXPECT_TRUE(near(page.printableHeight, (842 - low - high) * scale)) << dpi;
        }
    }
}

TEST(PageEdgesTest, ResolutionsPastReasonAreRefusedWithoutOverflow) {
    EXPECT_EQ(DotsPerInch(600, false), 600);
    EXPECT_EQ(DotsPerInch(118, true), 299);  // 300 dpi as IPP rounds it to dots per cm
    EXPECT_EQ(DotsPerInch(kMaxDpi, false), kMaxDpi);
    for (const auto& [value, perCm] : {std::pair{100'000'000, true},
                                       {INT32_MAX, true},
                                       {INT32_MAX, false},
                                       {INT32_MIN, true},
                                       {0, false},
                                       {-300, false},
                                       {kMaxDpi + 1, false}}) {
        EXPECT_EQ(DotsPerInch(value, perCm), 0) << value << (perCm ? " per cm" : " per inch");
    }
}

TEST(PageEdgesTest, OnlyADescriptionThatFitsTheDeviceMakesSense) {
    EXPECT_TRUE(DescriptionMakesSense(kVendorA4, 300, 300));
    EXPECT_TRUE(DescriptionMakesSense(kVendorA4, kMaxDpi, kMaxDpi));
    const PaperArea huge{72, 1e7, 1e7, 0, 0, 1e7, 1e7};
    const PaperArea infinite{72, INFINITY, 842, 0, 0, INFINITY, 842};
    const PaperArea notANumber{72, NAN, 842, 0, 0, 595, 842};
    const PaperArea insideOut{72, 595, 842, 587, 826, 12, 18};
    const PaperArea noPaper{72, 0, 0, 0, 0, 0, 0};
    const PaperArea noUnits{0, 595, 842, 12, 18.5, 583, 830};
    for (const PaperArea& area : {huge, infinite, notANumber, insideOut, noPaper, noUnits}) {
        EXPECT_FALSE(DescriptionMakesSense(area, 300, 300)) << area.width << " " << area.left;
    }
    EXPECT_FALSE(DescriptionMakesSense(kVendorA4, 0, 300));
    EXPECT_FALSE(DescriptionMakesSense(kVendorA4, 300, kMaxDpi + 1));
}

}  // namespace
}  // namespace platform::posix
