#include "files/path_arg.hpp"

#include "platform/files.hpp"
#include "runtime/errors.hpp"

std::optional<std::string> FileOsPath(std::string_view bytes) {
    if (bytes.size() > platform::MaxPathLength() || bytes.find('\0') != std::string_view::npos) {
        RtRaiseError(kRtErrBadFileName);
        return std::nullopt;
    }
    return std::string(bytes);
}

bool FileHasWildcard(std::string_view bytes) {
    return bytes.find_first_of("*?") != std::string_view::npos;
}

std::string_view FileDirectoryPart(std::string_view path) {
    size_t end = path.size();
    while (end > 0 && !platform::EndsDirectoryPart(path[end - 1]))
        --end;
    return path.substr(0, end);
}

bool FileNamesDirectoryOnly(std::string_view path) {
    return !path.empty() && platform::EndsDirectoryPart(path.back());
}

Text FilePathJoin(const Text& directory, const Text& name) {
    return directory + StrFromBytes({platform::PathSeparator()}) + name;
}
