#pragma once
// Hands the stored text colour and background to the device context: at every page start,
// and whenever a colour changes.

/// Applies the stored text colour and background to the device context.
void PrnApplyColors();

/// Applies the stored background: transparent, or opaque in its colour.
void PrnApplyBackground();
