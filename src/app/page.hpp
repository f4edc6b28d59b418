#pragma once
// The printed page and its report.

#include "app/run_state.hpp"

/// Prints the calibration page on the default printer, shifted by the offsets, and keeps
/// its measurements in `page`. False when no printer could be attached or an error was
/// recorded earlier in the run: there is then no page and nothing to report.
bool AppPrintPage(const AppOffsets& offsets, AppPage& page);

/// Writes the page's measurements, the first printer's name and the offsets.
void AppReport(const AppPage& page, const AppOffsets& offsets);
