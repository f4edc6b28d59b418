#pragma once
// A directory of a test's own in the system's temporary directory, for tests of the real
// file system. It is made current while the test runs and removed with all it holds.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.hpp"

class TempDirectory {
  public:
    TempDirectory() {
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0;; ++attempt) {
            path_ = base /
                    ("virodaro-test-" + std::to_string(Unique()) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(path_)) break;
        }
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempDirectory() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        // Read-only files would keep Windows from removing them.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    /// Whether the platform keeps this process from writing a read-only file. Windows does
    /// for every user; wine run by root does not (it still refuses deleting one).
    bool ReadOnlyFilesAreProtected() const {
        const std::string probe = Path("read-only probe");
        std::ofstream(probe, std::ios::binary).put('x');
        std::filesystem::permissions(probe,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
        const platform::Handle handle = platform::CreateFileA(
            probe.c_str(), platform::kGenericWrite, 0, false, platform::kOpenExisting, 0);
        if (handle != platform::kInvalidHandle) platform::CloseHandle(handle);
        std::filesystem::permissions(probe, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove(probe);
        return handle == platform::kInvalidHandle;
    }

    /// The directory's full path, as the platform writes it.
    std::string Path() const { return path_.string(); }
    /// A name in the directory, with its full path.
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

  private:
    static unsigned long long Unique() {
        return static_cast<unsigned long long>(
            std::filesystem::file_time_type::clock::now().time_since_epoch().count());
    }

    std::filesystem::path path_;
    std::filesystem::path previous_;
};

/// Makes or overwrites a file with exactly these bytes.
inline void WriteTestFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
}

/// A file's bytes; nothing when it cannot be read.
inline std::optional<std::string> ReadTestFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

/// Takes every write permission away: a read-only file on both platforms.
inline void MakeReadOnly(const std::string& path) {
    using std::filesystem::perms;
    std::filesystem::permissions(path,
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
}
