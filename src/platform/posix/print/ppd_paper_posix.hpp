#pragma once
// A queue's papers and defaults as its PPD gives them. The print server answers over IPP in
// hundredths of millimetres rounded from the PPD's points (a 12-point margin becomes 423, a
// pixel short at 300 dpi); the PPD on the server still holds the printer's own numbers, and
// its own defaults where the server names none.

#include <cups/cups.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/print/paper_posix.hpp"
#include "platform/posix/print/server_connection_posix.hpp"

namespace platform::posix {

/// The defaults a PPD gives, which the server's filters print a job with when the job names
/// no other.
struct PpdDefaults {
    /// The paper *DefaultPageSize names, in points; absent when the PPD gives it no size.
    std::optional<PaperArea> paper;
    /// *DefaultResolution in dots per inch across and down; 0 when the PPD names none.
    int32_t dpiX = 0;
    int32_t dpiY = 0;
};

/// What the program reads of the queue's PPD as the server holds it (ppd_excerpt_posix.hpp),
/// fetched over `server`, as a descriptor open at its start; -1 when the queue has none (a
/// driverless printer's queue), or when the server sends one beyond the bounds.
int FetchQueuePpd(ServerConnection& server, const std::string& queue);

/// `bytes` in a file without a name, so that nothing is left behind whatever happens, as a
/// descriptor open at its start; -1 when no such file can be had.
int UnnamedFile(std::string_view bytes);

/// Reads a PPD open as `fd`, which it closes: gives every paper it describes the PPD's size
/// and imageable area in points, and returns its defaults. Nothing for -1: a queue without a
/// PPD keeps the server's numbers, which are then the printer's own.
std::optional<PpdDefaults> ReadPpd(int fd, const std::vector<Paper*>& papers);

/// A PPD resolution ("600dpi", "1200x600dpi") in dots per inch across and down; nothing for
/// any other text or for a number no printer has.
std::optional<std::pair<int32_t, int32_t>> PpdResolution(std::string_view text);

/// The PPD's default paper among the queue's papers: the server's paper with its numbers (the
/// one named `named` where several are), else the PPD's numbers with no name, so that a job
/// names no paper and prints on the PPD's default.
Paper PaperFromPpd(const PaperArea& points, const std::vector<Paper>& papers,
                   std::string_view named);

/// Whether a PPD size (points: paper, then the imageable area's llx lly urx ury) is the paper
/// the server reported, after the server's rounding to hundredths of millimetres.
bool ServerReportsAs(const PaperArea& points, const Paper& paper);

}  // namespace platform::posix
