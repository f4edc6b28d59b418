// Feeds arbitrary file contents to FileReadLine and checks every line it gives against the
// line rules. The first input byte chooses the record length, the second the lock value
// and whether the file is a disk file or a device; the rest is the file.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/file_open.hpp"
#include "files/line_records.hpp"
#include "platform/files.hpp"
#include "platform/sim/sim.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"

namespace {

// What successive reads give: a line and its error number, up to the first read at the end.
using Reads = std::vector<std::pair<std::string, int>>;

Reads ExpectedReads(std::string_view content, bool device) {
    Reads reads;
    size_t position = 0;
    for (;;) {
        const size_t end = std::min(content.find_first_of("\r\x1A", position), content.size());
        std::string line(content.substr(position, end - position));
        if (end < content.size() && content[end] == '\r') {
            reads.emplace_back(std::move(line), 0);
            position = end + 1;
            // A disk file takes a directly following LF with the CR; a device leaves it.
            if (!device && position < content.size() && content[position] == '\n') ++position;
            continue;
        }
        const bool ctrlZ = end < content.size();
        if (!ctrlZ || !device) {
            // The end of the file, or a disk file's Ctrl-Z, which it never reads past.
            if (!line.empty()) reads.emplace_back(std::move(line), 0);
            break;
        }
        // A device has handed the Ctrl-Z over already, and the next read goes on after it.
        const int error = line.empty() ? 62 : 0;
        reads.emplace_back(std::move(line), error);
        position = end + 1;
    }
    reads.emplace_back("", 62);
    return reads;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t recordLength = 1 + data[0] % 160;
    const auto lock = static_cast<uint8_t>(1 + data[1] % 4);
    const bool device = (data[1] & 0x80) != 0;
    const std::string_view content(reinterpret_cast<const char*>(data + 2), size - 2);

    sim::Reset();
    RtFrameSetup();
    RtErrorFrame errors;
    if (device) {
        sim::AddDevice("F", content, platform::kErrorHandleEof);
    } else {
        sim::AddFile("F", content);
    }
    FileOpen(1, "F", static_cast<FileModeWord>(0x1A0 | lock), recordLength);
    if (RtErrorNumber() != 0) std::abort();
    for (const auto& [line, error] : ExpectedReads(content, device)) {
        RtErrorFrame read;
        const Text text = FileReadLine(1);
        if (text.Bytes() != line || RtErrorNumber() != error) std::abort();
    }
    FileClose(1);
    return 0;
}
