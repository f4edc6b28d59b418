// The dynamic loader finishes every library it loads, so there is nothing to do.

#include "platform/module.hpp"

namespace platform {

void FinishModuleLoad() {}

}  // namespace platform
