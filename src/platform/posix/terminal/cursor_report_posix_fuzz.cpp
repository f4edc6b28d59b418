// Arbitrary terminal input given to the cursor-report parser: no crash, and a report taken
// out leaves exactly the other bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/terminal/cursor_report_posix.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string bytes = input;
    platform::Coord position{};
    if (platform::posix::TakeCursorReport(bytes, &position)) {
        if (bytes.size() >= input.size() || position.x < 0 || position.y < 0) std::abort();
    } else if (bytes != input) {
        std::abort();
    }
    return 0;
}
