#pragma once
// The names the print server gives papers and paper sources, and the numbers Windows gives
// them in device modes and capability lists.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::posix {

/// DMPAPER_USER: a paper without a Windows number; numbers above it stand for the
/// destination's own papers by their position in its list.
inline constexpr uint16_t kUserPaper = 256;
/// DMBIN_USER: the same for paper sources.
inline constexpr uint16_t kUserBin = 256;

/// A media name without the "_borderless" suffix that the server adds to some sizes.
std::string_view StripBorderless(std::string_view media);

/// The Windows paper number of a PWG media name ("iso_a4_210x297mm" is 9); 0 when it has
/// none.
uint16_t PaperNumberOf(std::string_view media);
/// The PWG media name of a Windows paper number; empty when the table has none.
std::string_view MediaNameOf(uint16_t paper);
/// The name Windows shows for a paper ("A4"), or a readable form of the PWG name.
std::string PaperDisplayName(std::string_view media);

/// The Windows bin number of an IPP media-source keyword; 0 when it has none.
uint16_t BinNumberOf(std::string_view source);

/// Numbers for a destination's papers or sources, in its order: the Windows number where
/// there is one, else the user range by position (first + 1 + index).
std::vector<uint16_t> NumberList(const std::vector<std::string>& names,
                                 uint16_t (*numberOf)(std::string_view), uint16_t first);

/// A job title made safe as a file name: every byte but letters, digits, blanks, '-', '_'
/// and '.' becomes '_', and a leading '.' too; the empty title becomes "job".
std::string SafeFileName(std::string_view title);

}  // namespace platform::posix
