#pragma once
// The offsets after they were typed or read: normalised as texts, then parsed.

#include "app/run_state.hpp"

/// A reset pair, ("", ""), ("0", "0") or ("00", "00"), asks for the circles and the save
/// question again: it clears fromSettingsFile. The texts stay as they are, except that an
/// empty one becomes "0".
void AppNormaliseOffsets(AppOffsets& offsets);

/// The offsets as numbers, kept in single precision; a text that holds no number is 0.
void AppParseOffsets(AppOffsets& offsets);
