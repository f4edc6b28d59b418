#include "platform/posix/font_posix.hpp"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace platform::posix {
namespace {

constexpr double kDefaultPoints = 12;
constexpr double kPointsPerInch = 72;
constexpr int32_t kBoldWeight = 600;

// The face's own average character width (OS/2 xAvgCharWidth) at the em size, or -1.
double RecordedAverageWidth(cairo_scaled_font_t* scaled, double em) {
    if (cairo_scaled_font_get_type(scaled) != CAIRO_FONT_TYPE_FT) return -1;
    FT_Face face = cairo_ft_scaled_font_lock_face(scaled);
    if (face == nullptr) return -1;
    double width = -1;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && face->units_per_EM != 0 && os2->xAvgCharWidth > 0) {
        width = os2->xAvgCharWidth * em / face->units_per_EM;
    }
    cairo_ft_scaled_font_unlock_face(scaled);
    return width;
}

}  // namespace

double FontEmSize(const LogFont& font, int32_t dpi) {
    if (font.height < 0) return -font.height;
    if (font.height == 0) return kDefaultPoints * dpi / kPointsPerInch;
    // A positive height is the cell (ascent + descent): find the em that fills it.
    LogFont unit = font;
    unit.height = -1000;
    cairo_scaled_font_t* scaled = CreateScaledFont(unit, dpi);
    if (scaled == nullptr) return font.height;
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(scaled, &extents);
    cairo_scaled_font_destroy(scaled);
    const double cell = extents.ascent + extents.descent;
    return cell > 0 ? font.height * 1000 / cell : font.height;
}

cairo_scaled_font_t* CreateScaledFont(const LogFont& font, int32_t dpi) {
    cairo_font_face_t* face = cairo_toy_font_face_create(
        font.faceName[0] != '\0' ? font.faceName : "monospace",
        font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        font.weight >= kBoldWeight ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    const double em = FontEmSize(font, dpi);
    cairo_matrix_t size;
    cairo_matrix_init_scale(&size, em, em);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &size, &identity, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaled);
        return nullptr;
    }
    return scaled;
}

bool MeasureFont(const LogFont& font, int32_t dpi, TextMetric* metric) {
    cairo_scaled_font_t* scaled = CreateScaledFont(font, dpi);
    if (scaled == nullptr) return false;
    const double em = FontEmSize(font, dpi);
    cairo_font_extents_t extents;
    cairo_scaled_font_extents(scaled, &extents);
    *metric = TextMetric{};
    metric->ascent = static_cast<int32_t>(std::lround(extents.ascent));
    metric->descent = static_cast<int32_t>(std::lround(extents.descent));
    metric->height = metric->ascent + metric->descent;
    metric->internalLeading = std::max(0, metric->height - static_cast<int32_t>(std::lround(em)));
    metric->externalLeading = std::max(
        0, static_cast<int32_t>(std::lround(extents.height - extents.ascent - extents.descent)));
    double average = RecordedAverageWidth(scaled, em);
    if (average < 0) {
        cairo_text_extents_t x;
        cairo_scaled_font_text_extents(scaled, "x", &x);
        average = x.x_advance;
    }
    metric->aveCharWidth = static_cast<int32_t>(std::lround(average));
    metric->maxCharWidth = static_cast<int32_t>(std::lround(extents.max_x_advance));
    metric->weight = font.weight;
    cairo_scaled_font_destroy(scaled);
    return true;
}

}  // namespace platform::posix
