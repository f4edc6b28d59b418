// The simulated process is the test program itself, loaded by its own system's loader.

#include "platform/module.hpp"

namespace platform {

void FinishModuleLoad() {}

}  // namespace platform
