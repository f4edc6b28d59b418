#include "printer/coordinates.hpp"

#include <gtest/gtest.h>

#include "printer/drawing_state.hpp"
#include "printer/page_metrics.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

// The default printer's printable area is 4800 x 6400 pixels at 600 dpi, on a 5100 x 6600
// sheet with offsets 150 and 100.
class PrinterCoordinatesTest : public SimPrinterTest {
  protected:
    void SetUp() override {
        SimPrinterTest::SetUp();
        AttachDefault();
    }
    static void ExpectDevice(double x, double y, int32_t deviceX, int32_t deviceY,
                             bool relative = false) {
        const platform::Point point = PrnToDevice(x, y, relative);
        EXPECT_EQ(point.x, deviceX) << x << "," << y;
        EXPECT_EQ(point.y, deviceY) << x << "," << y;
    }
};

TEST_F(PrinterCoordinatesTest, DeviceCoordinatesRoundHalvesToEven) {
    ExpectDevice(2.5, 3.5, 2, 4);
    ExpectDevice(-2.5, 3300.5, -2, 3300);
    ExpectDevice(1.5, 3301.5, 2, 3302);
    gPrinter.currentX = 100;
    gPrinter.currentY = 200;
    ExpectDevice(10.5, -0.5, 110, 200, true);
}

TEST_F(PrinterCoordinatesTest, AWindowMapsUserUnitsOntoThePrintableArea) {
    PrnScale(0, 0, 100, 100);
    ExpectDevice(50, 50, 2400, 3200);
    ExpectDevice(100, 100, 4800, 6400);
    const PrnPair world = PrnToWorld(2400, 3200);
    EXPECT_DOUBLE_EQ(world.x, 50);
    EXPECT_DOUBLE_EQ(world.y, 50);
    const PrnWindow window = PrnGetScale();
    EXPECT_DOUBLE_EQ(window.x2, 100);
    EXPECT_DOUBLE_EQ(window.y2, 100);
    const PrnPair size = PrnClientSize();
    EXPECT_DOUBLE_EQ(size.x, 100);
    EXPECT_DOUBLE_EQ(size.y, 100);
}

TEST_F(PrinterCoordinatesTest, AReversedWindowMirrorsBothAxes) {
    PrnScale(100, 100, 0, 0);
    EXPECT_EQ(gPrinter.flags & (kPrnFlipX | kPrnFlipY), kPrnFlipX | kPrnFlipY);
    ExpectDevice(100, 100, 0, 0);
    ExpectDevice(0, 0, 4800, 6400);
    const PrnPair world = PrnToWorld(0, 0);
    EXPECT_DOUBLE_EQ(world.x, 100);
    EXPECT_DOUBLE_EQ(world.y, 100);
    // A relative move to the right goes left on a mirrored axis.
    gPrinter.currentX = 1000;
    gPrinter.currentY = 1000;
    ExpectDevice(10, 0, 1000 - 480, 1000, true);
}

TEST_F(PrinterCoordinatesTest, EverySumSaturatesAtThe32BitRange) {
    constexpr int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    ExpectDevice(3e9, -1e38, kMax, kMin);
    gPrinter.currentX = kMax - 5;
    gPrinter.currentY = kMin + 5;
    ExpectDevice(10, -10, kMax, kMin, true);
    ExpectDevice(1e300, -1e300, kMax, kMin, true);
    // Mirrored axes subtract from the extent, and turn a relative step round.
    PrnScale(100, 100, 0, 0);
    ExpectDevice(-1e30, 1e30, kMax, 6400 - kMax);
    gPrinter.currentX = kMin + 5;
    gPrinter.currentY = kMax - 5;
    ExpectDevice(1e30, -1e30, kMin, kMax, true);
    const PrnPair world = PrnToWorld(kMin, kMin);
    EXPECT_DOUBLE_EQ(world.x, (4800.0 - kMin) / 48);
    EXPECT_GT(world.y, 0);
}

TEST_F(PrinterCoordinatesTest, AWindowEqualToTheDeviceIsDropped) {
    PrnScale(0, 0, 4800, 6400);
    EXPECT_EQ(gPrinter.factorY, 0.0f);
    ExpectDevice(12.5, 7, 12, 7);

    // Mirrored in x at first, then dropped with its flag: origin (0, 0), factors 1.
    PrnScale(4800, 0, 0, 6400);
    EXPECT_EQ(gPrinter.flags & (kPrnFlipX | kPrnFlipY), 0u);
    EXPECT_EQ(gPrinter.factorX, 0.0f);
    ExpectDevice(10, 7, 10, 7);
}

TEST_F(PrinterCoordinatesTest, AWindowWithoutWidthOrHeightRaises5AndChangesNothing) {
    PrnScale(0, 0, 100, 100);
    PrnScale(5, 0, 5, 10);
    EXPECT_EQ(RtErrorNumber(), 5);
    EXPECT_EQ(gPrinter.factorX, 48.0f);
}

TEST_F(PrinterCoordinatesTest, ScaleResetAndGetScaleStayQuietWithoutAPrinter) {
    PrnScale(0, 0, 100, 100);
    PrnScaleReset();
    EXPECT_EQ(gPrinter.factorY, 0.0f);
    const PrnWindow device = PrnGetScale();
    EXPECT_EQ(device.x2, 4800);
    EXPECT_EQ(device.y2, 6400);

    Release();
    PrnScaleReset();
    const PrnWindow none = PrnGetScale();
    EXPECT_EQ(none.x2, 0);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterCoordinatesTest, QueriesReportTheMeasurementsInUserUnits) {
    const PrnMarginSet margins = PrnMargins();
    EXPECT_EQ(margins.left, 150);
    EXPECT_EQ(margins.top, 100);
    EXPECT_EQ(margins.right, 5100 - 150 - 4800);
    EXPECT_EQ(margins.bottom, 6600 - 100 - 6400);
    EXPECT_EQ(PrnPaperSize().x, 5100);
    EXPECT_EQ(PrnResolution().y, 600);

    PrnScale(0, 0, 100, 200);  // 48 and 32 pixels per unit
    EXPECT_DOUBLE_EQ(PrnMargins().left, 150 / 48.0);
    EXPECT_DOUBLE_EQ(PrnPaperSize().y, 6600 / 32.0);
    gPrinter.currentX = 480;
    gPrinter.currentY = 64;
    EXPECT_DOUBLE_EQ(PrnPosition().x, 10);
    EXPECT_DOUBLE_EQ(PrnPosition().y, 2);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterCoordinatesTest, QueriesWithNothingAttachedRaise57AndReturnZeros) {
    Release();
    EXPECT_EQ(PrnClientSize().x, 0);
    EXPECT_EQ(PrnResolution().x, 0);
    EXPECT_EQ(PrnMargins().bottom, 0);
    EXPECT_EQ(PrnGetMix(), 0);
    EXPECT_EQ(RtErrorNumber(), 57);
}

TEST_F(PrinterCoordinatesTest, ColoursAreMaskedAndBackgroundsOpaqueOrTransparent) {
    PrnTextColor(-1);
    EXPECT_EQ(gPrinter.textColor, 0);
    PrnTextColor(0x7F123456);
    EXPECT_EQ(gPrinter.textColor, 0x123456);
    sim::ClearPrintCalls();
    PrnBackColor(-1);
    EXPECT_EQ(gPrinter.backColor, kPrnTransparent);
    PrnBackColor(0xFFFFFF);
    EXPECT_EQ(gPrinter.backColor, 0xFFFFFF);
    EXPECT_EQ(Calls({"SetBkColor", "SetBkMode", "SetTextColor"}),
              (std::vector<std::string>{"SetBkColor(0xFFFFFF)", "SetBkMode(1)",
                                        "SetBkColor(0xFFFFFF)", "SetBkMode(2)"}));
}

TEST_F(PrinterCoordinatesTest, PenAndMixSettingsFollowTheirRanges) {
    Release();
    PrnPenStyle(5);
    EXPECT_EQ(gPrinter.penStyle, 0);
    PrnPenStyle(4);
    EXPECT_EQ(gPrinter.penStyle, 4);
    PrnPenStyle(-1);
    EXPECT_EQ(gPrinter.penStyle, 0);
    PrnPenWidth(-3);
    EXPECT_EQ(gPrinter.penWidth, -3);
    EXPECT_EQ(RtErrorNumber(), 0);

    AttachDefault();
    PrnSetMix(0);
    PrnSetMix(17);
    PrnSetMix(-1);
    PrnSetMix(7);
    EXPECT_EQ(Calls({"SetROP2"}), (std::vector<std::string>{"SetROP2(13)", "SetROP2(13)",
                                                            "SetROP2(13)", "SetROP2(7)"}));
    EXPECT_EQ(PrnGetMix(), 7);
    EXPECT_EQ(PrnGetMix(), 7);  // reading puts the mode back
}

}  // namespace
