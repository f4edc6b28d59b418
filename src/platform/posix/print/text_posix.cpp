// Text on the POSIX printer: bytes in the Windows Western code page, laid out on whole-pixel
// advances as the printer's GDI lays them out, drawn with the baseline at the top plus the
// font's ascent, turned by the font's escapement, and underlined or struck out as the font
// asks.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "platform/posix/common/utf8_posix.hpp"
#include "platform/posix/print/font_posix.hpp"
#include "platform/posix/print/gdi_objects_posix.hpp"
#include "platform/posix/print/paint_posix.hpp"
#include "platform/posix/print/print_dc_posix.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

// Code page 1252's characters for bytes 0x80..0x9F; the rest are Latin-1.
constexpr char32_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string ToUtf8(const char* text, int32_t length) {
    std::string utf8;
    for (int32_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        AppendUtf8(byte >= 0x80 && byte < 0xA0 ? kWindows1252[byte - 0x80] : byte, utf8);
    }
    return utf8;
}

// A text laid out in the selected font: glyphs from the origin along the baseline.
class TextRun {
  public:
    TextRun(const PrintDeviceContext& context, const char* text, int32_t length) {
        const LogFont* font = FindFont(context.font);
        if (font == nullptr || !MeasureFont(*font, context.geometry.dpiY, &measures_)) return;
        font_ = CreateScaledFont(*font, context.geometry.dpiY);
        if (font_ == nullptr) return;
        const std::string utf8 = ToUtf8(text, length);
        if (cairo_scaled_font_text_to_glyphs(font_, 0, 0, utf8.data(),
                                             static_cast<int>(utf8.size()), &glyphs_, &count_,
                                             nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS) {
            return;
        }
        cairo_text_extents_t extents;
        cairo_scaled_font_glyph_extents(font_, glyphs_, count_, &extents);
        width_ = static_cast<int32_t>(std::lround(extents.x_advance));
        underline_ = font->underline != 0;
        strikeOut_ = font->strikeOut != 0;
        angle_ = font->escapement * std::numbers::pi / 1800;
        ready_ = true;
    }
    ~TextRun() {
        if (glyphs_ != nullptr) cairo_glyph_free(glyphs_);
        if (font_ != nullptr) cairo_scaled_font_destroy(font_);
    }
    TextRun(const TextRun&) = delete;
    TextRun& operator=(const TextRun&) = delete;

    bool Ready() const { return ready_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return measures_.metric.height; }
    /// Where the text ends: its width along the turned baseline.
    Point Advance() const {
        return {static_cast<int32_t>(std::lround(width_ * std::cos(angle_))),
                static_cast<int32_t>(std::lround(-width_ * std::sin(angle_)))};
    }

    /// Draws the text with its top-left corner at `at`.
    void Draw(PrintDeviceContext* context, Point at) const {
        cairo_t* cairo = context->cairo;
        cairo_save(cairo);
        cairo_new_path(cairo);
        cairo_translate(cairo, at.x, at.y);
        cairo_rotate(cairo, -angle_);
        if (context->bkMode == kOpaque) {
            cairo_rectangle(cairo, 0, 0, width_, Height());
            SetSourceColor(cairo, context->bkColor);
            cairo_fill(cairo);
        }
        SetSourceColor(cairo, context->textColor);
        const double baseline = measures_.metric.ascent;
        if (underline_) {
            cairo_rectangle(cairo, 0, baseline + measures_.underlinePosition, width_,
                            measures_.underlineThickness);
        }
        if (strikeOut_) {
            cairo_rectangle(cairo, 0, baseline - measures_.strikeOutPosition, width_,
                            measures_.strikeOutThickness);
        }
        cairo_fill(cairo);
        cairo_translate(cairo, 0, baseline);
        cairo_set_font_face(cairo, cairo_scaled_font_get_font_face(font_));
        cairo_set_font_size(cairo, measures_.em);
        cairo_show_glyphs(cairo, glyphs_, count_);
        cairo_restore(cairo);
    }

  private:
    FontMeasures measures_;
    cairo_scaled_font_t* font_ = nullptr;
    cairo_glyph_t* glyphs_ = nullptr;
    int count_ = 0;
    int32_t width_ = 0;
    bool underline_ = false;
    bool strikeOut_ = false;
    double angle_ = 0;
    bool ready_ = false;
};

// The position after a text, saturated at the 32-bit range as GDI's coordinates are.
int32_t Advanced(int32_t from, int32_t by) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{from} + by, INT32_MIN, INT32_MAX));
}

}  // namespace
}  // namespace platform::posix

namespace platform {

bool TextOutA(Handle dc, int32_t x, int32_t y, const char* text, int32_t length) {
    posix::PrintDeviceContext* context = posix::FindPageContext(dc);
    if (context == nullptr) return false;
    if (length < 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    if (length == 0) return true;
    const posix::TextRun run(*context, text, length);
    if (!run.Ready()) {
        SetLastError(kErrorGenFailure);
        return false;
    }
    const bool updateCp = (context->textAlign & kTaUpdateCp) != 0;
    const Point at = updateCp ? context->position : Point{x, y};
    run.Draw(context, at);
    if (updateCp) {
        const Point advance = run.Advance();
        context->position = {posix::Advanced(at.x, advance.x), posix::Advanced(at.y, advance.y)};
    }
    return true;
}

bool GetTextExtentPoint32A(Handle dc, const char* text, int32_t length, Size* size) {
    posix::PrintDeviceContext* context = posix::FindPrintDeviceContext(dc);
    if (context == nullptr) return false;
    if (length < 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    const posix::TextRun run(*context, text, length);
    if (!run.Ready()) {
        SetLastError(kErrorGenFailure);
        return false;
    }
    *size = {run.Width(), run.Height()};
    return true;
}

bool GetTextMetricsA(Handle dc, TextMetric* metric) {
    posix::PrintDeviceContext* context = posix::FindPrintDeviceContext(dc);
    if (context == nullptr) return false;
    if (!posix::MeasureFont(*posix::FindFont(context->font), context->geometry.dpiY, metric)) {
        SetLastError(kErrorGenFailure);
        return false;
    }
    return true;
}

}  // namespace platform
