#include "platform/posix/print/font_posix.hpp"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "platform/posix/print/font_config_posix.hpp"

namespace platform::posix {
namespace {

constexpr double kDefaultPoints = 12;
constexpr double kPointsPerInch = 72;
constexpr int32_t kBoldWeight = 600;
// Any size does to read a face's tables.
constexpr double kTableEm = 1000;

// A face's design measures in font units.
struct FaceTables {
    double unitsPerEm = 0;
    double winAscent = 0;
    double winDescent = 0;
    double lineGap = 0;
    double hheaHeight = 0;
    double averageWidth = -1;
    double maxWidth = 0;
    double underlinePosition = 0;
    double underlineThickness = 0;
    double strikeOutPosition = 0;
    double strikeOutThickness = 0;
};

cairo_scaled_font_t* ScaledFont(const LogFont& font, double em) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    // The advances are the same whatever hinting the user's font configuration asks for.
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_face_t* face = CreateFontFace(
        font.faceName, font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
        font.weight >= kBoldWeight ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL, options,
        em);
    if (face == nullptr) {
        cairo_font_options_destroy(options);
        return nullptr;
    }
    cairo_matrix_t size;
    cairo_matrix_init_scale(&size, em, em);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &size, &identity, options);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    if (cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) {
        cairo_scaled_font_destroy(scaled);
        return nullptr;
    }
    return scaled;
}

bool ReadTables(const LogFont& font, FaceTables* tables) {
    cairo_scaled_font_t* scaled = ScaledFont(font, kTableEm);
    if (scaled == nullptr || cairo_scaled_font_get_type(scaled) != CAIRO_FONT_TYPE_FT) {
        if (scaled != nullptr) cairo_scaled_font_destroy(scaled);
        return false;
    }
    FT_Face face = cairo_ft_scaled_font_lock_face(scaled);
    const bool read = face != nullptr && face->units_per_EM != 0;
    if (read) {
        tables->unitsPerEm = face->units_per_EM;
        tables->winAscent = face->ascender;
        tables->winDescent = -face->descender;
        tables->lineGap = face->height - (face->ascender - face->descender);
        tables->hheaHeight = face->ascender - face->descender;
        tables->maxWidth = face->max_advance_width;
        // FreeType gives the middle of the underline; GDI draws from its top.
        tables->underlinePosition = -face->underline_position - face->underline_thickness / 2.0;
        tables->underlineThickness = face->underline_thickness;
        tables->strikeOutPosition = face->ascender / 3.0;
        tables->strikeOutThickness = face->underline_thickness;
        if (const auto* hhea =
                static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
            tables->lineGap = hhea->Line_Gap;
            tables->hheaHeight = hhea->Ascender - hhea->Descender;
        }
        if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
            tables->winAscent = os2->usWinAscent;
            tables->winDescent = os2->usWinDescent;
            if (os2->xAvgCharWidth > 0) tables->averageWidth = os2->xAvgCharWidth;
            tables->strikeOutPosition = os2->yStrikeoutPosition;
            tables->strikeOutThickness = os2->yStrikeoutSize;
        }
    }
    cairo_ft_scaled_font_unlock_face(scaled);
    cairo_scaled_font_destroy(scaled);
    return read;
}

double EmOf(const LogFont& font, int32_t dpi, const FaceTables& tables) {
    if (font.height < 0) return -static_cast<double>(font.height);
    if (font.height == 0) return std::round(kDefaultPoints * dpi / kPointsPerInch);
    // A positive height is the cell: the em that makes ascent and descent that high.
    const double cell = tables.winAscent + tables.winDescent;
    return cell > 0 ? std::round(font.height * tables.unitsPerEm / cell) : font.height;
}

int32_t Pixels(double value) { return static_cast<int32_t>(std::lround(value)); }

}  // namespace

cairo_scaled_font_t* CreateScaledFont(const LogFont& font, int32_t dpi) {
    FaceTables tables;
    if (!ReadTables(font, &tables)) return nullptr;
    return ScaledFont(font, EmOf(font, dpi, tables));
}

bool MeasureFont(const LogFont& font, int32_t dpi, FontMeasures* measures) {
    FaceTables tables;
    if (!ReadTables(font, &tables)) return false;
    const double em = EmOf(font, dpi, tables);
    const double scale = em / tables.unitsPerEm;
    *measures = FontMeasures{};
    measures->em = em;
    TextMetric& metric = measures->metric;
    metric.ascent = Pixels(tables.winAscent * scale);
    metric.descent = Pixels(tables.winDescent * scale);
    metric.height = metric.ascent + metric.descent;
    metric.internalLeading = std::max(0, metric.height - Pixels(em));
    const double windowsGap = tables.winAscent + tables.winDescent - tables.hheaHeight;
    metric.externalLeading = std::max(0, Pixels((tables.lineGap - windowsGap) * scale));
    if (tables.averageWidth > 0) {
        metric.aveCharWidth = Pixels(tables.averageWidth * scale);
    } else if (cairo_scaled_font_t* scaled = ScaledFont(font, em)) {
        cairo_text_extents_t x;
        cairo_scaled_font_text_extents(scaled, "x", &x);
        metric.aveCharWidth = Pixels(x.x_advance);
        cairo_scaled_font_destroy(scaled);
    }
    metric.maxCharWidth = Pixels(tables.maxWidth * scale);
    metric.weight = font.weight;
    measures->underlinePosition = tables.underlinePosition * scale;
    measures->underlineThickness = std::max(1.0, std::round(tables.underlineThickness * scale));
    measures->strikeOutPosition = tables.strikeOutPosition * scale;
    measures->strikeOutThickness = std::max(1.0, std::round(tables.strikeOutThickness * scale));
    return true;
}

bool MeasureFont(const LogFont& font, int32_t dpi, TextMetric* metric) {
    FontMeasures measures;
    if (!MeasureFont(font, dpi, &measures)) return false;
    *metric = measures.metric;
    return true;
}

}  // namespace platform::posix
