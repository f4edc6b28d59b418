#pragma once
// The pen and brush of one drawing call, and the colour rules the drawing operations share.
// Both objects are made from the arguments and PrinterState's pen settings, selected into
// the device context for the call, and replaced by the previous ones and deleted at its end.

#include <cstdint>

#include "platform/types.hpp"

/// Fill styles: 0 solid, 1..6 the platform's hatch patterns 0..5; anything else is solid.
inline constexpr int32_t kPrnFillSolid = 0;
inline constexpr int32_t kPrnLastFillStyle = 6;

/// A fill colour that fills nothing.
inline constexpr int32_t kPrnHollow = -2;

/// A line colour: -1 is the current text colour, anything else is kept as given.
uint32_t PrnLineColor(int32_t color);

/// A border colour: -1 is the current text colour, and only the low 24 bits count.
uint32_t PrnBorderColor(int32_t color);

/// Selects a pen of PrinterState's style and width in `color` for one call. When the pen
/// cannot be made or selected the device context keeps the pen it has.
class PrnCallPen {
  public:
    explicit PrnCallPen(uint32_t color);
    ~PrnCallPen();
    PrnCallPen(const PrnCallPen&) = delete;
    PrnCallPen& operator=(const PrnCallPen&) = delete;

  private:
    platform::Handle pen_ = platform::kNullHandle;
    platform::Handle previous_ = platform::kNullHandle;
};

/// Selects the brush of a fill for one call: fill colour -2 the stock hollow brush, -1 the
/// border colour; fill style 0 (or above 6) solid, 1..6 hatched in the fill colour.
class PrnCallBrush {
  public:
    PrnCallBrush(int32_t fillColor, int32_t fillStyle, uint32_t borderColor);
    ~PrnCallBrush();
    PrnCallBrush(const PrnCallBrush&) = delete;
    PrnCallBrush& operator=(const PrnCallBrush&) = delete;

  private:
    platform::Handle brush_ = platform::kNullHandle;
    platform::Handle previous_ = platform::kNullHandle;
    bool stock_ = false;
};
