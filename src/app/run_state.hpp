#pragma once
// The offsets of one run: as typed or read, and as numbers.

#include "printer/enumeration.hpp"
#include "runtime/text.hpp"

struct AppOffsets {
    /// The X and Y offsets as text, after normalisation.
    Text xText;
    Text yText;
    /// The offsets as numbers, in the precision the run keeps them.
    float xOffset;
    float yOffset;
    /// The offsets came from the settings file and are not a reset pair.
    bool fromSettingsFile;
};

/// The page the run printed, as its report shows it.
struct AppPage {
    /// The printable width and height in device pixels, and the unprintable top and bottom
    /// margins, taken before the page was turned to portrait.
    float pageWidth;
    float pageHeight;
    float topMargin;
    float bottomMargin;
    /// Half the width and height, rounded to whole pixels, halves to even.
    float halfWidth;
    float halfHeight;
    /// The first printer the platform lists, not necessarily the one printed on.
    Text firstPrinterName;
    /// The print server the run gave up and why, and the file the page went to instead;
    /// kNone and empty when the server answered.
    PrintServerTrouble serverTrouble;
    Text troubledServer;
    Text documentFile;
};
