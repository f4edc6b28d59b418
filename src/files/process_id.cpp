#include "files/system.hpp"
#include "platform/process.hpp"

uint32_t SysProcessId() { return platform::GetCurrentProcessId(); }
