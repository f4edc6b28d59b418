#include "platform/posix/print/font_posix.hpp"

#include <gtest/gtest.h>

#include <cairo-ft.h>

#include <cstring>
#include <string>

namespace platform::posix {
namespace {

LogFont Face(const char* name, int32_t height, int32_t weight = 400) {
    LogFont font;
    font.height = height;
    font.weight = weight;
    std::strncpy(font.faceName, name, sizeof font.faceName - 1);
    return font;
}

TextMetric Measure(const LogFont& font, int32_t dpi = 300) {
    TextMetric metric;
    EXPECT_TRUE(MeasureFont(font, dpi, &metric));
    return metric;
}

TEST(PrinterFontTest, ArialIsMeasuredFromTheWindowsMetricsOfItsMetricTwin) {
    // Liberation Sans: 2048 units an em, Windows ascent 1854 and descent 434, a line gap of
    // 67 that the Windows metrics do not cover, an average width of 1208.
    const TextMetric eight = Measure(Face("Arial", -33));
    EXPECT_EQ(eight.ascent, 30);
    EXPECT_EQ(eight.descent, 7);
    EXPECT_EQ(eight.height, 37);
    EXPECT_EQ(eight.internalLeading, 4);
    EXPECT_EQ(eight.externalLeading, 1);
    EXPECT_EQ(eight.aveCharWidth, 19);
    EXPECT_EQ(eight.weight, 400);

    const TextMetric big = Measure(Face("Arial", -2048));
    EXPECT_EQ(big.ascent, 1854);
    EXPECT_EQ(big.descent, 434);
    EXPECT_EQ(big.externalLeading, 67);
    EXPECT_EQ(big.aveCharWidth, 1208);
    // "MS Sans Serif" takes the same face.
    EXPECT_EQ(Measure(Face("MS Sans Serif", -2048)).aveCharWidth, 1208);
}

TEST(PrinterFontTest, PositiveHeightsAreTheCellAndZeroIsTwelvePoints) {
    const TextMetric cell = Measure(Face("Arial", 100));
    EXPECT_NEAR(cell.height, 100, 1);
    EXPECT_EQ(cell.height - cell.internalLeading, 90);  // the em that fills the cell
    EXPECT_EQ(Measure(Face("Arial", 0)).height, Measure(Face("Arial", -50)).height);
}

TEST(PrinterFontTest, CourierNewIsFixedPitchAndBoldIsItsOwnFace) {
    const TextMetric courier = Measure(Face("Courier New", -100), 600);
    EXPECT_EQ(courier.height, courier.ascent + courier.descent);
    EXPECT_EQ(courier.internalLeading, courier.height - 100);
    EXPECT_EQ(courier.aveCharWidth, 60);  // 0.6 em for every character

    cairo_scaled_font_t* regular = CreateScaledFont(Face("Arial", -100), 300);
    cairo_scaled_font_t* bold = CreateScaledFont(Face("Arial", -100, 700), 300);
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    cairo_text_extents_t plain;
    cairo_text_extents_t heavy;
    cairo_scaled_font_text_extents(regular, "Circles", &plain);
    cairo_scaled_font_text_extents(bold, "Circles", &heavy);
    EXPECT_GT(heavy.x_advance, plain.x_advance);
    // Advances are whole pixels, as the printer lays text out.
    EXPECT_EQ(plain.x_advance, static_cast<int>(plain.x_advance));
    cairo_scaled_font_destroy(regular);
    cairo_scaled_font_destroy(bold);
}

// The family of the face that cairo finds for a description, as the face names itself.
std::string FaceFamily(const LogFont& font) {
    cairo_scaled_font_t* scaled = CreateScaledFont(font, 300);
    if (scaled == nullptr) return "";
    std::string family;
    if (FT_Face face = cairo_ft_scaled_font_lock_face(scaled)) {
        if (face->family_name != nullptr) family = face->family_name;
        cairo_ft_scaled_font_unlock_face(scaled);
    }
    cairo_scaled_font_destroy(scaled);
    return family;
}

TEST(PrinterFontTest, TheRuntimesFamiliesAndEveryOtherFontOnTheSystemAreFound) {
    // The program's own configuration for its families, whatever the case of the name.
    EXPECT_EQ(FaceFamily(Face("arial", -100)), "Liberation Sans");
    EXPECT_EQ(FaceFamily(Face("Courier New", -100)), "Liberation Mono");
    // Any other family is found through the system's configuration, with its rules: its
    // metric twin answers for "Times New Roman". The runtime's families are found as before
    // after that.
    EXPECT_EQ(FaceFamily(Face("Times New Roman", -100)), "Liberation Serif");
    EXPECT_EQ(FaceFamily(Face("Arial", -100)), "Liberation Sans");
}

}  // namespace
}  // namespace platform::posix
