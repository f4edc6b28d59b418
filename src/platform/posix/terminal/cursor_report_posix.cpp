#include "platform/posix/terminal/cursor_report_posix.hpp"

#include <cstddef>

namespace platform::posix {
namespace {

// Reads decimal digits at `at`; false when there are none or the value does not fit.
bool ReadNumber(const std::string& bytes, size_t& at, int* value) {
    const size_t first = at;
    long number = 0;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') {
        number = number * 10 + (bytes[at] - '0');
        if (number > 32767) return false;
        ++at;
    }
    *value = static_cast<int>(number);
    return at > first;
}

}  // namespace

bool TakeCursorReport(std::string& bytes, Coord* position) {
    for (size_t start = bytes.find("\x1b["); start != std::string::npos;
         start = bytes.find("\x1b[", start + 1)) {
        size_t at = start + 2;
        int row = 0;
        int column = 0;
        if (!ReadNumber(bytes, at, &row) || at >= bytes.size() || bytes[at] != ';') continue;
        ++at;
        if (!ReadNumber(bytes, at, &column) || at >= bytes.size() || bytes[at] != 'R') continue;
        if (row < 1 || column < 1) continue;
        bytes.erase(start, at + 1 - start);
        *position = {static_cast<int16_t>(column - 1), static_cast<int16_t>(row - 1)};
        return true;
    }
    return false;
}

}  // namespace platform::posix
