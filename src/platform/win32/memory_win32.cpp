// Text storage on Windows: OLE byte strings from oleaut32, so that texts handed to other
// programs are the system's own.

#include <windows.h>

#include <oleauto.h>

#include "platform/memory.hpp"

namespace platform {

char* SysAllocStringByteLen(const char* source, uint32_t length) {
    return reinterpret_cast<char*>(::SysAllocStringByteLen(source, length));
}

void SysFreeString(char* block) { ::SysFreeString(reinterpret_cast<BSTR>(block)); }

}  // namespace platform
