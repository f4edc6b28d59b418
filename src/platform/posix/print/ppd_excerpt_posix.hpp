#pragma once
// The part of a queue's PPD the program reads. libcups' PPD reader takes in the whole file,
// every option, constraint and translation of it, and looks each new option, group and
// paper size up among those read so far, so that its work grows with the square of their
// number. The program reads only the paper sizes and the default paper and resolution: the
// reader gets those lines alone, and a PPD with more of the counted entries than any
// printer's has is not read at all.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

/// The most bytes of a PPD, and of each entry whose reading grows with the square of its
/// number (options, groups, paper sizes), the program reads; real PPDs have a few hundred.
inline constexpr size_t kMostPpdBytes = 8 * 1024 * 1024;
inline constexpr size_t kMostPpdEntries = 4000;

/// A PPD with only what the program reads of it, as libcups reads it: its first line, each
/// paper's dimensions and imageable area, the default paper and resolution, and the entries
/// a custom paper size is measured with. Nothing when the PPD has more than the bounds allow.
std::optional<std::string> PpdExcerpt(std::string_view ppd);

}  // namespace platform::posix
