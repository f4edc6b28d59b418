#pragma once
// The simulated platform that unit tests link: an in-memory console and process. Tests set
// it up with Reset and look at what the logic did through the functions below.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.hpp"
#include "platform/process.hpp"
#include "platform/types.hpp"

namespace sim {

/// Where a standard stream goes.
enum class Stream { kConsole, kRedirected };

struct ConsoleSetup {
    int16_t width = 80;
    int16_t height = 25;
    Stream stdOutput = Stream::kConsole;
    Stream stdError = Stream::kConsole;
    /// Whether "CONIN$" can be opened.
    bool consoleInput = true;
    platform::CursorInfo cursor{25, true};
};

/// Starts the console, the process and the allocator afresh.
void Reset(const ConsoleSetup& setup = {});

// The screen buffer (0-based cells).
char Character(int x, int y);
uint16_t Attribute(int x, int y);
/// Row y as a string of `width` characters.
std::string Row(int y);
platform::Coord Cursor();
/// The cursor shape the console shows now.
platform::CursorInfo CursorShape();
/// How many times the cursor shape was set.
int CursorShapeChanges();
/// The mode last set on a handle.
uint32_t ConsoleMode(platform::Handle console);
/// Puts the cursor somewhere, as if earlier output had left it there.
void PlaceCursor(platform::Coord position);

/// The bytes written to a redirected standard stream.
std::string RedirectedBytes(platform::StdHandle which);

/// The next write to any handle fails with this Win32 error code.
void FailNextWrite(uint32_t errorCode);
/// The next write to any handle writes only this many bytes and reports success.
void ShortenNextWrite(uint32_t bytesWritten);

/// The command line that GetCommandLineA returns.
void SetCommandLine(const std::string& commandLine);
void SetStartupInfo(const platform::StartupInfo& info);
/// Whether TlsAlloc finds a free slot.
void SetTlsExhausted(bool exhausted);

// The simulated disk. Paths are Windows paths ("C:\WORK\A.TXT"; "/" separates too) and
// names are compared with their case. After Reset drive C: holds the current directory
// C:\WORK and nothing else.

/// Adds a directory, and the directories above it that are missing.
void AddDirectory(const std::string& path, uint32_t attributes = 0);
/// Adds a file with these bytes, or gives an existing one these bytes and attributes.
void AddFile(const std::string& path, std::string_view bytes, uint32_t attributes = 0);
/// Appends bytes to a file, as another process writing it would.
void AppendToFile(const std::string& path, std::string_view bytes);
/// Adds a character device: a read takes up to the count asked from `input` and, once the
/// input is used up, fails with `endError` (0: succeeds with no bytes). Writes collect.
void AddDevice(const std::string& path, std::string_view input, uint32_t endError = 0);
/// A file's bytes or what was written to a device; nothing when the path names neither.
std::optional<std::string> FileBytes(const std::string& path);
/// The names in a directory, in order.
std::vector<std::string> DirectoryNames(const std::string& path);
/// Another process holds the file open with this access and share mode until Reset.
void HoldFile(const std::string& path, uint32_t desiredAccess, uint32_t shareMode);
/// The label of a drive's volume.
void SetVolumeLabel(char drive, const std::string& label);
/// Makes a directory current however long its path is, as a process started there finds it.
void EnterDirectory(const std::string& path);
/// How many more bytes the disk takes; a write that does not fit fails with ERROR_DISK_FULL.
void SetFreeSpace(uint64_t bytes);

/// The file-system calls that failures can be asked of.
enum class FileCall {
    kCreateFile,
    kReadFile,
    kSetFilePointer,
    kSetEndOfFile,
    kFlushFileBuffers,
    kCloseHandle,
    kFindFirstFile,
    kFindNextFile,
    kDeleteFile,
    kMoveFile,
    kGetCurrentDirectory,
    kSetCurrentDirectory,
};
/// The next such call fails with this Win32 error code (a failing CloseHandle still closes).
void FailNextCall(FileCall call, uint32_t errorCode);

/// Every file-system call so far, one line each: its name and its main argument
/// ("CreateFileA C:\WORK\A.TXT", "ReadFile 128", "DeleteFileA C:\WORK\B").
std::vector<std::string> FileCalls();
/// File handles and directory searches open now.
int OpenFileCount();
int OpenSearchCount();

/// Text blocks allocated and not yet freed.
int LiveTextBlocks();
/// After this many more successful text allocations, allocations fail (-1: never).
void FailTextAllocationsAfter(int successes);

}  // namespace sim
