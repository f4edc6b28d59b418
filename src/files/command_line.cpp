#include <string_view>

#include "files/system.hpp"
#include "runtime/startup.hpp"

std::vector<std::string> SysSplitArguments(std::string_view tail) {
    std::vector<std::string> arguments;
    size_t at = 0;
    while (at < tail.size()) {
        if (tail[at] == ' ') {
            ++at;
        } else if (tail[at] == '"') {
            const size_t close = tail.find('"', at + 1);
            const size_t end = close == std::string_view::npos ? tail.size() : close;
            if (end > at + 1) arguments.emplace_back(tail.substr(at + 1, end - at - 1));
            at = close == std::string_view::npos ? tail.size() : close + 1;
        } else {
            const size_t end = std::min(tail.find(' ', at), tail.size());
            arguments.emplace_back(tail.substr(at, end - at));
            at = end;
        }
    }
    return arguments;
}

Text SysCommandLine(int32_t argument) {
    if (argument == 0) return Text(RtCommandTail);
    if (argument < 0) return Text();
    const std::vector<std::string> arguments = SysSplitArguments(RtCommandTail);
    if (static_cast<size_t>(argument) > arguments.size()) return Text();
    return Text(std::string_view(arguments[argument - 1]));
}
