#pragma once
// Storage of the runtime's texts: OLE byte strings. A block is referred to by a pointer to
// its first byte; its 32-bit byte count stands in the four bytes before it and a NUL byte
// follows its last byte.

#include <cstdint>

namespace platform {

/// SysAllocStringByteLen: a block of `length` bytes, copied from `source` when it is not
/// null. Returns null when memory is short.
char* SysAllocStringByteLen(const char* source, uint32_t length);

/// SysFreeString: releases a block; null is allowed.
void SysFreeString(char* block);

}  // namespace platform
