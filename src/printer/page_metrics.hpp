#pragma once
// The page measurements that PrinterState caches, and the queries that return them in user
// units. Each query needs an attached printer (else runtime error 57 and zeros) and none
// starts a page.

#include <cstdint>

#include "printer/unit_conversion.hpp"

/// The four unprintable margins in user units.
struct PrnMarginSet {
    double left;
    double top;
    double right;
    double bottom;
};

/// Pixels per inch across and down.
struct PrnDpi {
    int32_t x;
    int32_t y;
};

/// Reads the printable size, the physical size and the physical offset from the device.
void PrnRefreshPageMetrics();

/// The printable width and height.
PrnPair PrnClientSize();
/// The margins between the printable area and the paper's edges.
PrnMarginSet PrnMargins();
/// The paper's width and height.
PrnPair PrnPaperSize();
/// The current position.
PrnPair PrnPosition();
/// The device's resolution, asked at each call.
PrnDpi PrnResolution();
