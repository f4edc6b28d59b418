#pragma once
// Handing a finished document to its destination: a job on the print server, or a new PDF
// file in the current directory.

#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/print/destination_posix.hpp"
#include "platform/print.hpp"

namespace platform::posix {

/// The job options a device mode asks for, each one only when the queue takes its value.
/// Pages are turned by their own size, so the orientation asked for is always portrait.
std::vector<std::pair<std::string, std::string>> JobOptions(const Destination& destination,
                                                            const DevMode& mode);

/// How handing a job to the print server went.
enum class Submitted {
    kTaken,
    kRefused,       // the server (or its absence) turned the job down
    kServerFailed,  // the server failed the question (TroubleWithServer says how)
};

/// Sends the PDF as one job titled `title`; with the last error set when it is not taken.
Submitted SubmitJob(const Destination& destination, const std::string& title, const DevMode& mode,
                    std::string_view pdf);

/// The first free name of "<title>.pdf", "<title> (2).pdf", ... in `directory`, made
/// safe as a file name, and the file created there without overwriting anything.
bool WritePdfFile(const std::string& directory, const std::string& title, std::string_view pdf,
                  std::string* path);

}  // namespace platform::posix
