// Text storage of the simulated process: the shared block layout, with a count of live
// blocks and allocation failures on demand.

#include "platform/byte_string_block.hpp"
#include "platform/memory.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

int liveBlocks = 0;
int successesBeforeFailure = -1;

}  // namespace

namespace sim {

int LiveTextBlocks() { return liveBlocks; }
void FailTextAllocationsAfter(int successes) { successesBeforeFailure = successes; }

namespace detail {

void ResetMemory() { successesBeforeFailure = -1; }

}  // namespace detail
}  // namespace sim

namespace platform {

char* SysAllocStringByteLen(const char* source, uint32_t length) {
    if (successesBeforeFailure == 0) return nullptr;
    if (successesBeforeFailure > 0) --successesBeforeFailure;
    char* block = byte_string_block::Allocate(source, length);
    if (block != nullptr) ++liveBlocks;
    return block;
}

void SysFreeString(char* block) {
    if (block == nullptr) return;
    --liveBlocks;
    byte_string_block::Free(block);
}

}  // namespace platform
