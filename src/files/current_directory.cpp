#include "files/current_directory.hpp"

#include <optional>
#include <string>
#include <vector>

#include "files/os_result.hpp"
#include "files/path_arg.hpp"
#include "platform/files.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

namespace {

constexpr uint32_t kFirstBufferSize = 260;
// The directory can change between asking its length and reading it; this many rounds
// are more than enough for that race.
constexpr int kReadAttempts = 4;

// The current directory, whole; nothing (with the error raised) when the OS call fails.
std::optional<std::string> ReadCurrentDirectory() {
    std::vector<char> buffer(kFirstBufferSize);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const auto result = RtCallOs([&] {
            return platform::GetCurrentDirectoryA(static_cast<uint32_t>(buffer.size()),
                                                  buffer.data());
        });
        if (result.Failed() || result.value == 0) {
            RtRaiseError(result.error != 0 ? result.error : uint8_t{kRtErrInternal});
            return std::nullopt;
        }
        if (result.value < buffer.size()) return std::string(buffer.data(), result.value);
        buffer.resize(result.value);
    }
    RtRaiseError(kRtErrPathFileAccess);
    return std::nullopt;
}

bool ChangeDirectory(const std::string& path) {
    if (uint8_t error = FileCallOs([&] { return platform::SetCurrentDirectoryA(path.c_str()); })) {
        RtRaiseError(error);
        return false;
    }
    return true;
}

}  // namespace

Text SysCurDir(const Text& drive) {
    const std::optional<std::string> current = ReadCurrentDirectory();
    if (!current) return Text();
    if (drive.Empty()) return Text(std::string_view(*current));

    // Making a drive current makes its own current directory the process's.
    if (!ChangeDirectory({static_cast<char>(drive[0]), ':'})) return Text();
    const std::optional<std::string> onDrive = ReadCurrentDirectory();
    if (!ChangeDirectory(*current) || !onDrive) return Text();
    return Text(std::string_view(*onDrive));
}

void SysChDir(const Text& path) {
    if (path.Empty() || FileHasWildcard(path.Bytes())) return RtRaiseError(kRtErrPathNotFound);
    const std::optional<std::string> osPath = FileOsPath(path.Bytes());
    if (!osPath) return;
    if (uint8_t error =
            FileCallOs([&] { return platform::SetCurrentDirectoryA(osPath->c_str()); })) {
        // A missing directory is reported as a missing path, whichever the OS says.
        RtRaiseError(error == kRtErrFileNotFound ? uint8_t{kRtErrPathNotFound} : error);
    }
}
