#pragma once
// Making, selecting and giving up numbered printer fonts. A font is described once and named
// by its number; its printer object is made the first time it is selected on a printer, at
// that printer's resolution.

#include <cstdint>

#include "runtime/text.hpp"

/// PrnFontNew's style bits.
enum PrnFontStyle : int32_t {
    kPrnBold = 1,
    kPrnItalic = 2,
    kPrnUnderline = 4,
    kPrnStrikeOut = 8,
};

/// Describes a font and returns its number: the face (its first 31 bytes), the size in
/// points (0 is 8), the style bits, the pitch and family (low byte) and the angle of its
/// baseline in tenths of a degree. The character set is always the default one. Needs no
/// printer; runtime error 5 when no record can be made.
int32_t PrnFontNew(const Text& face, float pointSize, int32_t style, int32_t charSet,
                   int32_t pitchAndFamily, int32_t angle);

/// Makes the font current on the attached printer, starting a page if none is open (runtime
/// error 57 when none can be). An unknown number does nothing; a font object that cannot be
/// made or selected raises 5.
void PrnFontSelect(int32_t number);

/// Gives up a font that only its creator holds, so that its record can be reused. Runtime
/// error 5 for an unknown number, a font in use, or a built-in font.
void PrnFontRelease(int32_t number);
