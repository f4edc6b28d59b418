#include "runtime/thread_block.hpp"

#include <mutex>
#include <new>

#include "platform/files.hpp"
#include "platform/process.hpp"
#include "runtime/spin_lock.hpp"

namespace {

// The TLS slot is made by start-up, or on first use by code that another program entered.
// The lock needs no constructor to run: a program that loads VIRODARO.EXE to call EXIST
// runs none of the executable's start-up, and a mutex there would be made by one.
RtSpinLock slotLock;
uint32_t tlsIndex = platform::kTlsOutOfIndexes;

bool EnsureTlsIndex() {
    std::lock_guard lock(slotLock);
    if (tlsIndex == platform::kTlsOutOfIndexes) tlsIndex = platform::TlsAlloc();
    return tlsIndex != platform::kTlsOutOfIndexes;
}

RtThreadBlock* MakeBlock() {
    void* memory = platform::GlobalAllocZeroed(kRtThreadBlockBytes);
    if (memory == nullptr) return nullptr;
    auto* block = new (memory) RtThreadBlock{};
    if (!platform::TlsSetValue(tlsIndex, block)) {
        platform::GlobalFree(memory);
        return nullptr;
    }
    return block;
}

}  // namespace

bool RtThreadBlockStartup() { return RtCurrentThreadBlock() != nullptr; }

RtThreadBlock* RtCurrentThreadBlock() {
    if (!EnsureTlsIndex()) return nullptr;
    auto* block = static_cast<RtThreadBlock*>(platform::TlsGetValue(tlsIndex));
    return block != nullptr ? block : MakeBlock();
}

void RtThreadBlockShutdown() {
    std::lock_guard lock(slotLock);
    if (tlsIndex == platform::kTlsOutOfIndexes) return;
    if (void* block = platform::TlsGetValue(tlsIndex)) {
        // A directory search still running is closed with the block that holds it.
        const platform::Handle search = static_cast<RtThreadBlock*>(block)->searchHandle;
        if (search != platform::kNullHandle) platform::FindClose(search);
        platform::GlobalFree(block);  // a failure is of no consequence at the end
        platform::TlsSetValue(tlsIndex, nullptr);
    }
    platform::TlsFree(tlsIndex);
    tlsIndex = platform::kTlsOutOfIndexes;
}
