#pragma once
// fontconfig's best font for a pattern, found without comparing the pattern with every font
// the configuration holds. fontconfig ranks a font's family above everything but a few
// elements a pattern seldom names, so for a pattern without those the best font is among the
// fonts of the families the pattern asks for, a handful of the hundreds a system has.

#include <fontconfig/fontconfig.h>

namespace platform::posix {

/// The configuration's fonts among which fontconfig's best font for the pattern (already
/// substituted) is sure to be, in fontconfig's order: those of the families the pattern asks
/// for, when no element of the pattern that fontconfig ranks above the family could make a
/// font of another family the best and some font of the families is there. The caller
/// destroys it; null when the best font may be any.
FcFontSet* FontsToCompare(FcConfig* config, FcPattern* pattern);

/// What FcFontMatch gives for the pattern, already substituted, in the configuration: the
/// same font, prepared the same way, looked for among FontsToCompare when there are such,
/// else among all. The caller destroys it; null when the configuration has no font at all or
/// the memory ran out.
FcPattern* MatchFont(FcConfig* config, FcPattern* pattern);

}  // namespace platform::posix
