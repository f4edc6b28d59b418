#pragma once
// Printer settings: the job settings in the device mode that PrinterState owns, read and
// changed through setting codes and checked against what the printer says it can do. A
// change reaches the printer at the next page start.

#include <cstdint>

#include "runtime/text.hpp"

/// Setting codes.
enum PrnAttribute : int32_t {
    kPrnAttrCollate = 43,
    kPrnAttrColor = 46,
    kPrnAttrCopies = 54,
    kPrnAttrDuplex = 78,
    kPrnAttrOrientation = 175,
    kPrnAttrPaper = 181,
    kPrnAttrQuality = 210,
    kPrnAttrTray = 260,
};

/// The setting's value; 0 for an unknown code or a field the device mode does not carry.
/// Raises 57 with nothing attached. Starts no page.
int32_t PrnGetAttribute(int32_t code);

/// Changes a setting. Raises 57 with nothing attached and 5 for a value the printer cannot
/// take (nothing changes then); an unknown code does nothing. A change of orientation ends
/// the open page and turns the measurements at once.
void PrnSetAttribute(int32_t code, int32_t value);

/// The paper bins as "number,name" pairs joined by commas; empty and runtime error 57 when
/// nothing is attached or the printer gives no list.
Text PrnBinList();

/// The paper sizes, in the same form.
Text PrnPaperList();
