#include <string>

#include "files/system.hpp"
#include "platform/files.hpp"
#include "platform/process.hpp"
#include "runtime/errors.hpp"
#include "runtime/os_call.hpp"

int32_t SysShell(const Text& commandLine, uint32_t flags, bool inheritHandles) {
    // The whole command line goes to the OS: a cut one would start another program.
    const std::string line(commandLine.Bytes());
    platform::ProcessInformation child{};
    const auto started = RtCallOs([&] {
        return platform::CreateProcessA(line.c_str(), SysSplitArguments(line), inheritHandles,
                                        static_cast<uint16_t>(flags & kSysShellShowMask), &child);
    });
    if (!started.value) {
        RtRaiseError(started.error);
        return 0;
    }
    uint32_t result = child.processId;
    if (flags & kSysShellWait) {
        platform::WaitForSingleObject(child.process, platform::kInfinite);
        platform::GetExitCodeProcess(child.process, &result);
    }
    platform::CloseHandle(child.process);
    platform::CloseHandle(child.thread);
    return static_cast<int32_t>(result);
}
