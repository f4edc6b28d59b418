// Child processes on POSIX: started from an argument vector found on PATH, given the
// terminal as it was found while they run, and waited for.

#include "platform/posix/system/child_process_posix.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/process.hpp"

extern char** environ;

namespace platform {
namespace {

// Windows has no signals: a child ended by one gets an exit code in the way shells show it.
uint32_t ExitCodeOf(int status) {
    if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128u + static_cast<uint32_t>(WTERMSIG(status));
    return 0;
}

void ChildEnded(posix::ChildState& child, int status) {
    child.ended = true;
    child.exitCode = ExitCodeOf(status);
    if (child.hasTerminal) {
        child.hasTerminal = false;
        posix::TerminalTakeBack();
    }
}

posix::HandleEntry* FindChild(Handle handle) {
    posix::HandleEntry* entry = posix::FindHandle(handle);
    if (entry != nullptr && entry->kind != posix::HandleKind::kProcess) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return entry;
}

}  // namespace

bool CreateProcessA(const char*, const std::vector<std::string>& arguments, bool, uint16_t,
                    ProcessInformation* info) {
    if (arguments.empty()) {
        SetLastError(kErrorFileNotFound);
        return false;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    // The child runs in the program's process group, so it is in the foreground when the
    // program is; it gets the terminal in its usual state, not in the program's raw mode.
    posix::TerminalRestore();
    // The program ignores SIGPIPE for its own writes; the child starts with the default, as
    // its pipelines expect.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int failure = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failure != 0) {
        posix::TerminalTakeBack();
        SetLastError(posix::Win32ErrorFromErrno(failure));
        return false;
    }
    const posix::ChildState child{pid, false, 0, true};
    info->process = posix::AddHandle({posix::HandleKind::kProcess, -1, false, 0, child});
    info->thread = posix::AddHandle({posix::HandleKind::kThread, -1, false, 0, {}});
    info->processId = static_cast<uint32_t>(pid);
    return true;
}

WaitResult WaitForSingleObject(Handle object, uint32_t timeoutMs) {
    posix::HandleEntry* entry = FindChild(object);
    if (entry == nullptr) return WaitResult::kFailed;
    posix::ChildState& child = entry->child;
    if (child.ended) return WaitResult::kReady;
    // Only an endless wait or a poll are needed: a child is waited for until it ends.
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child.pid, &status, timeoutMs == kInfinite ? 0 : WNOHANG);
        if (done == child.pid) break;
        if (done == 0) return WaitResult::kTimeout;
        if (errno != EINTR) {
            posix::FailWithErrno();
            return WaitResult::kFailed;
        }
    }
    ChildEnded(child, status);
    return WaitResult::kReady;
}

bool GetExitCodeProcess(Handle process, uint32_t* exitCode) {
    posix::HandleEntry* entry = FindChild(process);
    if (entry == nullptr) return false;
    if (!entry->child.ended && WaitForSingleObject(process, 0) == WaitResult::kFailed) {
        return false;
    }
    *exitCode = entry->child.ended ? entry->child.exitCode : kErrorStillActive;
    return true;
}

namespace posix {

void CloseChild(HandleEntry& entry) {
    if (entry.child.hasTerminal) {
        entry.child.hasTerminal = false;
        TerminalTakeBack();
    }
}

}  // namespace posix
}  // namespace platform
