// Child processes, environment variables and the clock of the simulated process.

#include <map>
#include <optional>
#include <set>

#include "platform/process.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

struct SimChildren {
    std::map<std::string, std::string> environment;
    std::vector<sim::ChildRun> runs;
    uint32_t nextExitCode = 0;
    std::optional<uint32_t> nextError;
    std::map<platform::Handle, size_t> processes;  // handle -> index into runs
    std::set<platform::Handle> threads;
    platform::Handle nextHandle = 0x1000;
    platform::SystemTime localTime{2026, 12, 2, 8, 9, 5, 3, 0};
};

SimChildren children;

}  // namespace

namespace sim {

void SetEnvironment(const std::string& name, const std::string& value) {
    children.environment[name] = value;
}
const std::vector<ChildRun>& Children() { return children.runs; }
void SetChildExitCode(uint32_t exitCode) { children.nextExitCode = exitCode; }
void FailNextChild(uint32_t errorCode) { children.nextError = errorCode; }
int OpenHandles() { return static_cast<int>(children.processes.size() + children.threads.size()); }
void SetLocalTime(const platform::SystemTime& time) { children.localTime = time; }

namespace detail {

void ResetChildren() { children = SimChildren{}; }

bool CloseChildHandle(platform::Handle handle) {
    return children.processes.erase(handle) + children.threads.erase(handle) > 0;
}

}  // namespace detail
}  // namespace sim

namespace platform {

uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) {
    const auto found = children.environment.find(name);
    if (found == children.environment.end()) {
        SetLastError(kErrorEnvvarNotFound);
        return 0;
    }
    const std::string& value = found->second;
    if (value.size() >= size) return static_cast<uint32_t>(value.size() + 1);
    value.copy(buffer, value.size());
    buffer[value.size()] = '\0';
    return static_cast<uint32_t>(value.size());
}

bool CreateProcessA(const char* commandLine, const std::vector<std::string>& arguments,
                    bool inheritHandles, uint16_t showWindow, ProcessInformation* info) {
    if (children.nextError) {
        SetLastError(*children.nextError);
        children.nextError.reset();
        return false;
    }
    children.runs.push_back({commandLine, arguments, inheritHandles, showWindow, false});
    info->process = children.nextHandle++;
    info->thread = children.nextHandle++;
    info->processId = 4000 + static_cast<uint32_t>(children.runs.size());
    children.processes[info->process] = children.runs.size() - 1;
    children.threads.insert(info->thread);
    return true;
}

WaitResult WaitForSingleObject(Handle object, uint32_t) {
    const auto found = children.processes.find(object);
    if (found == children.processes.end()) {
        SetLastError(kErrorInvalidHandle);
        return WaitResult::kFailed;
    }
    children.runs[found->second].waitedFor = true;
    return WaitResult::kReady;
}

bool GetExitCodeProcess(Handle process, uint32_t* exitCode) {
    const auto found = children.processes.find(process);
    if (found == children.processes.end()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    *exitCode = children.runs[found->second].waitedFor ? children.nextExitCode : kErrorStillActive;
    return true;
}

void GetLocalTime(SystemTime* time) { *time = children.localTime; }

}  // namespace platform
