#pragma once
// The offsets of one run: as typed or read, and as numbers.

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
