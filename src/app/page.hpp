#pragma once
// The printed page and its report.

#include "app/run_fault.hpp"
#include "app/run_state.hpp"

/// Prints the calibration page on the default printer, shifted by the offsets, and keeps
/// its measurements in `page`. False when an error was recorded earlier in the run (its
/// cause already in `fault`), when no printer could be attached, or when the printer did not
/// take the finished page (both then noted in `fault`): there is no page and nothing to
/// report.
bool AppPrintPage(const AppOffsets& offsets, AppPage& page, AppFault& fault);

/// Writes the page's measurements, the first printer's name and the offsets.
void AppReport(const AppPage& page, const AppOffsets& offsets);
