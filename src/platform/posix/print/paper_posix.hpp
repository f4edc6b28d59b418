#pragma once
// A paper that a printer destination offers, as the print server reports it and as the
// printer's own description gives it.

#include <cstdint>
#include <string>

#include "platform/posix/print/page_edges_posix.hpp"

namespace platform::posix {

/// A paper a destination offers, in hundredths of millimetres as the server gives it.
struct Paper {
    /// The server's media name ("iso_a4_210x297mm"); the job option.
    std::string media;
    int32_t width = 0;
    int32_t length = 0;
    int32_t left = 0;
    int32_t right = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    /// The same paper as the printer's own description gives it: a queue's PPD in points,
    /// else the server's numbers, which for a driverless printer are the printer's own.
    PaperArea area;
};

}  // namespace platform::posix
