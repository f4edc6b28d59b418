#include "printer/shapes.hpp"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "printer/coordinates.hpp"
#include "printer/document.hpp"
#include "printer/drawing_state.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;

class PrinterShapesTest : public SimPrinterTest {
  protected:
    void SetUp() override {
        SimPrinterTest::SetUp();
        AttachDefault();
        PrnTextColor(0);  // opens the page
        sim::ClearPrintCalls();
    }

    static std::string Last(const char* call) {
        const Strings calls = Calls({call});
        return calls.empty() ? "" : calls.back();
    }
};

TEST_F(PrinterShapesTest, ALineHasAPenOfItsOwnThatIsGoneAfterwards) {
    PrnPenWidth(2);
    PrnPenStyle(1);
    PrnMoveTo(25, 1130, false);
    PrnLineTo(250, 1130, false, 0x808080);
    const Strings calls = sim::PrintCalls();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "MoveToEx(25,1130)");
    EXPECT_EQ(calls[1], "CreatePen(pen 1 2 0x808080)");
    EXPECT_EQ(calls[3], "LineTo(250,1130;pen 1 2 0x808080)");
    EXPECT_EQ(calls[4].substr(0, 13), "SelectObject(");
    EXPECT_EQ(calls[5].substr(0, 13), "DeleteObject(");
    EXPECT_EQ(gPrinter.currentX, 250);
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterShapesTest, ColourMinusOneIsTheTextColourAndLineColoursAreNotMasked) {
    PrnTextColor(0x0000FF);
    PrnLineTo(10, 0, false, -1);
    EXPECT_EQ(Last("LineTo"), "LineTo(10,0;pen 0 0 0x0000FF)");
    PrnLineTo(20, 0, false, 0x12345678);
    EXPECT_EQ(Last("LineTo"), "LineTo(20,0;pen 0 0 0x12345678)");
    PrnBox(0, 0, 10, 10, 0, 0x12345678, -2, 0);
    EXPECT_EQ(Last("RoundRect"), "RoundRect(0,0,10,10,0,0;pen 0 0 0x345678;brush hollow)");
    PrnBox(0, 0, 10, 10, 0, -1, -1, 0);
    EXPECT_EQ(Last("RoundRect"), "RoundRect(0,0,10,10,0,0;pen 0 0 0x0000FF;brush solid 0x0000FF)");
}

TEST_F(PrinterShapesTest, RelativePointsAreOffsetsFromTheCurrentPosition) {
    PrnMoveTo(0, 0, false);
    PrnLineTo(100, 0, true, 0);
    PrnLineTo(100, 0, true, 0);
    PrnMoveTo(-50, 30, true);
    EXPECT_EQ(Calls({"LineTo", "MoveToEx"}),
              (Strings{"MoveToEx(0,0)", "LineTo(100,0;pen 0 0 0x000000)",
                       "LineTo(200,0;pen 0 0 0x000000)", "MoveToEx(150,30)"}));
    EXPECT_EQ(gPrinter.currentX, 150);
    EXPECT_EQ(gPrinter.currentY, 30);
}

TEST_F(PrinterShapesTest, TheEllipseMarkerMakesTheCornersAsLargeAsTheBox) {
    gPrinter.currentX = 7;
    gPrinter.currentY = 9;
    PrnPenWidth(2);
    PrnBox(100, 100, 300, 300, kPrnEllipse, 0x808080, -2, 0);
    PrnBox(300, 300, 100, 100, kPrnEllipse, 0x808080, -2, 0);
    EXPECT_EQ(Calls({"RoundRect"}),
              (Strings{"RoundRect(100,100,300,300,201,201;pen 0 2 0x808080;brush hollow)",
                       "RoundRect(100,100,300,300,201,201;pen 0 2 0x808080;brush hollow)"}));
    EXPECT_EQ(gPrinter.currentX, 7);
    EXPECT_EQ(gPrinter.currentY, 9);
}

TEST_F(PrinterShapesTest, RoundingIsAPercentageOfTheShorterSide) {
    const std::vector<std::pair<int32_t, std::string>> cases = {
        {50, "50,50"}, {250, "100,100"}, {-3, "100,100"}, {0, "0,0"}, {33, "33,33"}};
    for (const auto& [rounding, corner] : cases) {
        PrnBox(0, 300, 200, 200, rounding, 0, -2, 0);
        EXPECT_EQ(Last("RoundRect"),
                  "RoundRect(0,200,200,300," + corner + ";pen 0 0 0x000000;brush hollow)")
            << rounding;
    }
}

TEST_F(PrinterShapesTest, FillStylesChooseSolidOrHatchedBrushes) {
    const std::vector<std::pair<int32_t, std::string>> cases = {
        {0, "brush solid 0x00FF00"},   {1, "brush hatch 0 0x00FF00"}, {3, "brush hatch 2 0x00FF00"},
        {6, "brush hatch 5 0x00FF00"}, {7, "brush solid 0x00FF00"},   {-1, "brush solid 0x00FF00"}};
    for (const auto& [style, brush] : cases) {
        PrnBox(0, 0, 10, 10, 0, 0, 0x00FF00, style);
        EXPECT_EQ(Last("RoundRect"), "RoundRect(0,0,10,10,0,0;pen 0 0 0x000000;" + brush + ")")
            << style;
    }
    PrnBox(0, 0, 10, 10, 0, 0, -2, 3);  // hollow wins over the style
    EXPECT_EQ(Last("RoundRect"), "RoundRect(0,0,10,10,0,0;pen 0 0 0x000000;brush hollow)");
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterShapesTest, ArcEndsPointFromTheCentreOfTheDeviceBox) {
    PrnArc(0, 0, 99, 99, 0, std::numbers::pi / 2, 0x123, 0xFF, 1, 0);
    EXPECT_EQ(Last("Arc"), "Arc(0,0,99,99,5050,50,50,-4950;pen 0 0 0x000123)");
    EXPECT_TRUE(Calls({"CreateSolidBrush", "CreateHatchBrush", "GetStockObject"}).empty());
    // Corners are kept in the order given; the pie flag fills with the brush.
    PrnArc(99, 99, 0, 0, std::numbers::pi, std::numbers::pi, -1, -1, 9, kPrnArcPie | 1);
    EXPECT_EQ(Last("Pie"),
              "Pie(99,99,0,0,-4950,50,-4950,50;pen 0 0 0x000000;brush solid 0x000000)");
}

TEST_F(PrinterShapesTest, PixelsMoveThePositionButReadingOneDoesNot) {
    PrnTextColor(0x0000FF);
    PrnSetPixel(10, 20, false, -1);
    EXPECT_EQ(Calls({"SetPixelV", "MoveToEx"}),
              (Strings{"SetPixelV(10,20,0x0000FF)", "MoveToEx(10,20)"}));
    PrnMoveTo(0, 0, false);
    EXPECT_EQ(PrnGetPixel(10, 20, false), 0x0000FF);
    EXPECT_EQ(PrnGetPixel(5, 5, true), 0xFFFFFF);
    EXPECT_EQ(gPrinter.currentX, 0);
    EXPECT_EQ(gPrinter.currentY, 0);
}

TEST_F(PrinterShapesTest, PointsGoThroughTheUserWindow) {
    PrnScale(0, 0, 100, 100);  // 48 x 64 device pixels a unit
    PrnBox(10, 10, 20, 20, 0, 0, -2, 0);
    EXPECT_EQ(Last("RoundRect"), "RoundRect(480,640,960,1280,0,0;pen 0 0 0x000000;brush hollow)");
}

TEST_F(PrinterShapesTest, ObjectsThatCannotBeMadeLeaveTheSelectedOnesInUse) {
    sim::FailPrintCall("CreatePen");
    sim::FailPrintCall("CreateSolidBrush");
    PrnBox(0, 0, 10, 10, 0, 0x808080, 0xFF, 0);
    EXPECT_EQ(Last("RoundRect"), "RoundRect(0,0,10,10,0,0;pen 0 0 0x000000;brush solid 0xFFFFFF)");
    EXPECT_TRUE(Calls({"SelectObject", "DeleteObject"}).empty());
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterShapesTest, WithoutAPageNothingIsDrawnAndThePositionStays) {
    const std::vector<void (*)()> operations = {[] { PrnMoveTo(5, 5, false); },
                                                [] { PrnLineTo(5, 5, false, 0); },
                                                [] { PrnSetPixel(5, 5, false, 0); },
                                                [] { EXPECT_EQ(PrnGetPixel(5, 5, false), 0); },
                                                [] { PrnBox(0, 0, 5, 5, 0, 0, 0, 0); },
                                                [] { PrnArc(0, 0, 5, 5, 0, 1, 0, 0, 0, kPrnArcPie); }};
    for (auto operation : operations) {
        RtErrorFrame frame;
        Release();
        operation();
        EXPECT_EQ(RtErrorNumber(), 57);
        AttachDefault();
        sim::FailPrintCall("StartPage");
        operation();
        EXPECT_EQ(RtErrorNumber(), 57);
        EXPECT_EQ(gPrinter.currentX, 0);
        EXPECT_TRUE(
            Calls({"LineTo", "SetPixelV", "GetPixel", "RoundRect", "Pie", "CreatePen"}).empty());
    }
}

}  // namespace
