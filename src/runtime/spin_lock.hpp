#pragma once
// RtSpinLock: the runtime's lock for lists that are only walked or changed for a moment.

#include <atomic>
#include <cstdint>

/// A test-and-set lock on one 32-bit word: 0 free, -1 held. Acquiring spins on an atomic
/// exchange without sleeping, so it suits only sections that are over in a moment. It is
/// ready without a constructor running, so code entered from another program can use it.
/// Usable with std::lock_guard.
class RtSpinLock {
  public:
    void lock() noexcept {
        while (word_.exchange(-1, std::memory_order_acquire) != 0) {
        }
    }
    void unlock() noexcept { word_.store(0, std::memory_order_release); }

  private:
    std::atomic<int32_t> word_{0};
};
