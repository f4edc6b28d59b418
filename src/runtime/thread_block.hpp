#pragma once
// RtThreadBlock: per-thread runtime state, reached through a TLS slot.

#include <cstdint>

#include "platform/types.hpp"

/// Per-thread state of the runtime; the block is 180 zero-filled bytes.
struct RtThreadBlock {
    /// The running directory search (0 when none runs) and its attribute mask.
    platform::Handle searchHandle;
    uint32_t searchMask;
};

inline constexpr uint32_t kRtThreadBlockBytes = 180;
static_assert(sizeof(RtThreadBlock) <= kRtThreadBlockBytes);

/// Allocates the TLS slot and the calling thread's block; false when either fails.
bool RtThreadBlockStartup();

/// The calling thread's block, made on first use so that code entered from another program
/// (which never ran this program's start-up) has one too. Null only when memory is short.
RtThreadBlock* RtCurrentThreadBlock();

/// Releases the calling thread's block, closing the directory search it holds, and the TLS
/// slot.
void RtThreadBlockShutdown();
