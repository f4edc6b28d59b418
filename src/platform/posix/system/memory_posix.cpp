// Text storage on POSIX: the OLE byte-string layout on the C heap.

#include "platform/byte_string_block.hpp"
#include "platform/memory.hpp"
#include "platform/process.hpp"
#include "platform/types.hpp"

namespace platform {

char* SysAllocStringByteLen(const char* source, uint32_t length) {
    char* block = byte_string_block::Allocate(source, length);
    if (block == nullptr) SetLastError(kErrorNotEnoughMemory);
    return block;
}

void SysFreeString(char* block) { byte_string_block::Free(block); }

}  // namespace platform
