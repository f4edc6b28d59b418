#pragma once
// A queue's papers as its PPD gives them. The print server answers over IPP in hundredths of
// millimetres rounded from the PPD's points (a 12-point margin becomes 423, a pixel short at
// 300 dpi); the PPD on the server still holds the printer's own numbers.

#include <cups/cups.h>

#include <string>
#include <vector>

#include "platform/posix/print/paper_posix.hpp"

namespace platform::posix {

/// Gives every paper that the queue's PPD describes the PPD's size and imageable area in
/// points. A queue without a PPD, such as a driverless printer's, keeps the server's numbers,
/// which are then the printer's own. The PPD is fetched through `http`.
void TakeAreasFromPpd(http_t* http, const std::string& queue, const std::vector<Paper*>& papers);

/// Whether a PPD size (points: paper, then the imageable area's llx lly urx ury) is the paper
/// the server reported, after the server's rounding to hundredths of millimetres.
bool ServerReportsAs(const PaperArea& points, const Paper& paper);

}  // namespace platform::posix
