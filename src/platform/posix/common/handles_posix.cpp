#include "platform/posix/common/handles_posix.hpp"

#include <unistd.h>

#include <deque>
#include <mutex>

#include "platform/process.hpp"

namespace platform::posix {
namespace {

// Slot i holds handle i + 1; a removed slot stays empty and is reused.
struct Slot {
    bool used;
    HandleEntry entry;
};

std::mutex tableLock;
// A deque keeps entries in place as it grows, so an entry found stays valid.
std::deque<Slot> slots;
Handle standardHandles[3];

}  // namespace

Handle AddHandle(const HandleEntry& entry) {
    std::lock_guard lock(tableLock);
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i].used) {
            slots[i] = {true, entry};
            return i + 1;
        }
    }
    slots.push_back({true, entry});
    return slots.size();
}

HandleEntry* FindHandle(Handle handle) {
    std::lock_guard lock(tableLock);
    if (handle == kNullHandle || handle > slots.size() || !slots[handle - 1].used) {
        SetLastError(kErrorInvalidHandle);
        return nullptr;
    }
    return &slots[handle - 1].entry;
}

bool RemoveHandle(Handle handle) {
    std::lock_guard lock(tableLock);
    if (handle == kNullHandle || handle > slots.size() || !slots[handle - 1].used) return false;
    slots[handle - 1].used = false;
    return true;
}

Handle StandardHandle(int fd) {
    if (standardHandles[fd] == kNullHandle) {
        standardHandles[fd] = AddHandle({HandleKind::kFile, fd, isatty(fd) == 1, 0, {}});
    }
    return standardHandles[fd];
}

}  // namespace platform::posix
