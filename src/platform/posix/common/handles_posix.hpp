#pragma once
// The handle table of the POSIX backend: every Handle the logic holds names one entry.

#include <cstdint>

#include "platform/types.hpp"

namespace platform::posix {

enum class HandleKind {
    kFile,          // a file descriptor: regular file, pipe, terminal, device
    kConsoleInput,  // "CONIN$": the terminal's input
    kSearch,        // a directory search; its entries are kept by the directory calls
    kProcess,       // a child process
    kThread,        // a child's main thread: nothing to hold, closed with the process
};

/// A child process: its id, and its exit code once it has ended.
struct ChildState {
    int pid;
    bool ended;
    uint32_t exitCode;
    /// The child got the terminal; the program takes it back when the child ends.
    bool hasTerminal;
};

struct HandleEntry {
    HandleKind kind;
    int fd;
    /// The descriptor is a terminal (console output when written to).
    bool isTerminal;
    /// The console mode last set on the handle.
    uint32_t consoleMode;
    ChildState child;
};

/// Adds an entry and returns its handle.
Handle AddHandle(const HandleEntry& entry);

/// The entry of a handle, or null (with kErrorInvalidHandle as the last error).
HandleEntry* FindHandle(Handle handle);

/// Removes an entry; false when the handle is unknown.
bool RemoveHandle(Handle handle);

/// The handles of descriptors 0, 1 and 2, made on first use.
Handle StandardHandle(int fd);

}  // namespace platform::posix
