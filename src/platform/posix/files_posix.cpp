// Files and handles on POSIX.

#include <unistd.h>

#include "platform/files.hpp"
#include "platform/posix/child_process_posix.hpp"
#include "platform/posix/errno_map_posix.hpp"
#include "platform/posix/handles_posix.hpp"
#include "platform/posix/screen_posix.hpp"
#include "platform/posix/terminal_posix.hpp"
#include "platform/process.hpp"

namespace platform {

bool WriteFile(Handle file, const void* bytes, uint32_t count, uint32_t* written) {
    *written = 0;
    const posix::HandleEntry* entry = posix::FindHandle(file);
    if (entry == nullptr) return false;
    if (entry->kind != posix::HandleKind::kFile) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    const auto* text = static_cast<const char*>(bytes);
    // Text for the terminal passes through its screen model, so that the model always
    // knows where the cursor is.
    const bool ok = entry->isTerminal ? posix::ScreenWriteProcessed(entry->fd, {text, count})
                                      : posix::WriteAll(entry->fd, text, count);
    if (!ok) return posix::FailWithErrno();
    *written = count;
    return true;
}

bool CloseHandle(Handle object) {
    posix::HandleEntry* entry = posix::FindHandle(object);
    if (entry == nullptr) return false;
    if (entry->kind == posix::HandleKind::kProcess) posix::CloseChild(*entry);
    // The terminal stays open behind "CONIN$": its settings are handed back at the end.
    if (entry->kind == posix::HandleKind::kFile && close(entry->fd) != 0) {
        posix::RemoveHandle(object);
        return posix::FailWithErrno();
    }
    posix::RemoveHandle(object);
    return true;
}

}  // namespace platform
