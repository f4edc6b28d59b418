// The C++ entry point of the programs: hands the arguments to the platform, which needs them
// to rebuild a Windows command line where the OS has none, and starts the runtime.

#include "platform/process.hpp"
#include "runtime/startup.hpp"

int main(int argc, char** argv) {
    platform::SetProcessArguments(argc, argv);
    RtStartup();
}
