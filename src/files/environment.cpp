#include <string>

#include "files/system.hpp"
#include "platform/process.hpp"

namespace {

// The size of the first try; longer values are read whole with a second one.
constexpr uint32_t kValueBuffer = 7916;

}  // namespace

Text SysEnviron(const Text& name) {
    const std::string variable(name.Bytes());
    std::string value(kValueBuffer, '\0');
    uint32_t length =
        platform::GetEnvironmentVariableA(variable.c_str(), value.data(), kValueBuffer);
    if (length >= kValueBuffer) {  // the size it needs, NUL included
        value.resize(length);
        length = platform::GetEnvironmentVariableA(variable.c_str(), value.data(), length);
        if (length >= value.size()) return Text();  // it grew in between: nothing sure to give
    }
    return Text(std::string_view(value.data(), length));
}
