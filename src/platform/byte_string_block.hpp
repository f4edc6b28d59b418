#pragma once
// The block layout of OLE byte strings, for backends without oleaut32: a 32-bit length, the
// bytes, and two NUL bytes (as SysAllocStringByteLen leaves them), in one heap block.

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace platform::byte_string_block {

inline char* Allocate(const char* source, uint32_t length) {
    auto* raw = static_cast<char*>(std::malloc(sizeof(uint32_t) + size_t{length} + 2));
    if (raw == nullptr) return nullptr;
    std::memcpy(raw, &length, sizeof length);
    char* bytes = raw + sizeof(uint32_t);
    if (source != nullptr) {
        std::memcpy(bytes, source, length);
    } else {
        std::memset(bytes, 0, length);
    }
    bytes[length] = '\0';
    bytes[size_t{length} + 1] = '\0';
    return bytes;
}

inline void Free(char* block) {
    if (block != nullptr) std::free(block - sizeof(uint32_t));
}

}  // namespace platform::byte_string_block
