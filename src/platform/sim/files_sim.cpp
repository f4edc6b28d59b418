// Writes of the simulated process: to the console, to redirected standard streams, with
// failures and short writes on demand.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

std::optional<uint32_t> nextWriteError;
std::optional<uint32_t> nextWriteLength;

}  // namespace

namespace sim {

void FailNextWrite(uint32_t errorCode) { nextWriteError = errorCode; }
void ShortenNextWrite(uint32_t bytesWritten) { nextWriteLength = bytesWritten; }

namespace detail {

void ResetFiles() {
    nextWriteError.reset();
    nextWriteLength.reset();
}

}  // namespace detail
}  // namespace sim

namespace platform {

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    *written = 0;
    if (nextWriteError) {
        SetLastError(*nextWriteError);
        nextWriteError.reset();
        return false;
    }
    if (nextWriteLength) {
        count = std::min(count, *nextWriteLength);
        nextWriteLength.reset();
    }
    const std::string_view text(static_cast<const char*>(bytes), count);
    if (sim::detail::IsConsoleOutput(file)) {
        sim::detail::WriteToConsole(text);
    } else if (!sim::detail::WriteToRedirected(file, text)) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    *written = count;
    return true;
}

// The simulated console and standard streams need no closing; children's handles are
// counted so that tests see leaks.
bool CloseHandle(Handle object) {
    sim::detail::CloseChildHandle(object);
    return true;
}

}  // namespace platform
