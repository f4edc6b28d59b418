#pragma once
// Handing a finished document to its destination: a job on the print server, or a new PDF
// file in the current directory.

#include <string>
#include <string_view>
#include <vector>

#include <cups/cups.h>

#include "platform/posix/print/destination_posix.hpp"
#include "platform/print.hpp"

namespace platform::posix {

/// The job options a device mode asks for, each one only when the queue takes its value.
/// Pages are turned by their own size, so the orientation asked for is always portrait.
std::vector<std::pair<std::string, std::string>> JobOptions(const Destination& destination,
                                                            const DevMode& mode, http_t* server);

/// Sends the PDF as one job titled `title`; false (with the last error set) on failure.
bool SubmitJob(const Destination& destination, const std::string& title, const DevMode& mode,
               std::string_view pdf);

/// The first free name of "<title>.pdf", "<title> (2).pdf", ... in `directory`, made
/// safe as a file name, and the file created there without overwriting anything.
bool WritePdfFile(const std::string& directory, const std::string& title, std::string_view pdf,
                  std::string* path);

}  // namespace platform::posix
