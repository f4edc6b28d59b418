#include "platform/posix/font_posix.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace platform::posix {
namespace {

LogFont Face(const char* name, int32_t height) {
    LogFont font;
    font.height = height;
    font.weight = 400;
    std::strncpy(font.faceName, name, sizeof font.faceName - 1);
    return font;
}

TEST(PrinterFontTest, NegativeHeightsAreTheEmAndPositiveOnesTheCell) {
    EXPECT_DOUBLE_EQ(FontEmSize(Face("Arial", -100), 300), 100);
    EXPECT_DOUBLE_EQ(FontEmSize(Face("Arial", 0), 300), 50);  // 12 points at 300 dpi
    TextMetric cell;
    ASSERT_TRUE(MeasureFont(Face("Arial", 100), 300, &cell));
    EXPECT_NEAR(cell.height, 100, 1);
    EXPECT_LT(FontEmSize(Face("Arial", 100), 300), 100);
}

TEST(PrinterFontTest, MetricsFollowGdiRules) {
    TextMetric metric;
    ASSERT_TRUE(MeasureFont(Face("Courier New", -100), 600, &metric));
    EXPECT_EQ(metric.height, metric.ascent + metric.descent);
    EXPECT_EQ(metric.internalLeading, metric.height - 100);
    EXPECT_GE(metric.externalLeading, 0);
    // A Courier face advances 0.6 em for every character.
    EXPECT_EQ(metric.aveCharWidth, 60);
    EXPECT_EQ(metric.weight, 400);

    TextMetric larger;
    ASSERT_TRUE(MeasureFont(Face("Courier New", -200), 600, &larger));
    EXPECT_NEAR(larger.height, 2 * metric.height, 2);
}

}  // namespace
}  // namespace platform::posix
