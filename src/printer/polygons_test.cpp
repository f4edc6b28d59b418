#include "printer/polygons.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;
using PrinterPolygonsTest = SimPrinterTest;

// A point list laid out as callers hand it: the count, then (x, y) pairs of floats.
class PointBlock {
  public:
    PointBlock(std::initializer_list<std::pair<float, float>> points) {
        Put(static_cast<int32_t>(points.size()));
        for (const auto& [x, y] : points) {
            Put(x);
            Put(y);
        }
    }
    /// `count` points along a line, with the count word saying `claimed`.
    PointBlock(int32_t count, int32_t claimed) {
        Put(claimed);
        for (int32_t i = 0; i < count; ++i) {
            Put(static_cast<float>(i));
            Put(static_cast<float>(2 * i));
        }
    }
    const void* Data() const { return words_.data(); }

  private:
    template <class Value>
    void Put(Value value) {
        uint32_t word;
        std::memcpy(&word, &value, sizeof word);
        words_.push_back(word);
    }
    std::vector<uint32_t> words_;
};

TEST_F(PrinterPolygonsTest, APolygonIsFilledByTheRuleItsModeChooses) {
    AttachDefault();
    const PointBlock triangle{{0, 0}, {100.5f, 0}, {50, 80}};
    PrnPenWidth(3);
    PrnPolygon(triangle.Data(), 0x808080, 0xFF, 5, 0);
    PrnPolygon(triangle.Data(), -1, -2, 5, 7);
    EXPECT_EQ(Calls({"SetPolyFillMode", "Polygon"}),
              (Strings{"SetPolyFillMode(2)",
                       "Polygon(3:0,0 100,0 50,80;pen 0 3 0x808080;brush hatch 4 0x0000FF;fill 2)",
                       "SetPolyFillMode(1)", "SetPolyFillMode(1)",
                       "Polygon(3:0,0 100,0 50,80;pen 0 3 0x000000;brush hollow;fill 1)",
                       "SetPolyFillMode(1)"}));
    EXPECT_EQ(gPrinter.currentX, 0);
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterPolygonsTest, APolylineIsOpenAndUnfilledInItsMaskedColour) {
    AttachDefault();
    PrnScale(0, 0, 100, 100);
    const PointBlock zigzag{{0, 0}, {10, 10}, {20, 0}};
    PrnPolyline(zigzag.Data(), 0x7F0000FF);
    EXPECT_EQ(Calls({"Polyline", "CreateSolidBrush", "GetStockObject", "SetPolyFillMode"}),
              (Strings{"Polyline(3:0,0 480,640 960,0;pen 0 0 0x0000FF)"}));
}

TEST_F(PrinterPolygonsTest, ListsOutsideTwoTo1024PointsDrawNothingButStartAPage) {
    AttachDefault();
    const PointBlock one(1, 1);
    const PointBlock tooMany(1025, 1025);
    const PointBlock negative(0, -5);
    for (const PointBlock* block : {&one, &tooMany, &negative}) {
        PrnPolygon(block->Data(), 0, 0, 0, 0);
        PrnPolyline(block->Data(), 0);
    }
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Calls({"StartPage"}).size(), 1u);
    EXPECT_TRUE(Calls({"Polygon", "Polyline", "CreatePen"}).empty());

    const PointBlock most(1024, 1024);
    PrnPolyline(most.Data(), 0);
    const Strings drawn = Calls({"Polyline"});
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].substr(0, 19), "Polyline(1024:0,0 1");
    EXPECT_NE(drawn[0].find(" 1023,2046;pen"), std::string::npos);
}

TEST_F(PrinterPolygonsTest, WithoutAPageNothingIsDrawnAndNothingRaised) {
    const PointBlock line{{0, 0}, {10, 10}};
    PrnPolygon(line.Data(), 0, 0, 0, 0);
    PrnPolyline(line.Data(), 0);
    EXPECT_EQ(RtErrorNumber(), 0);
    AttachDefault();
    sim::FailPrintCall("StartPage", 2);
    PrnPolygon(line.Data(), 0, 0, 0, 0);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_TRUE(Calls({"Polygon"}).empty());
}

}  // namespace
