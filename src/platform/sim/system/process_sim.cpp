// The simulated process: last error, error mode, version, start-up information, command
// line, TLS and exit.

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/process.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

constexpr uint32_t kTlsSlots = 64;

struct SimProcess {
    uint32_t errorMode = 0;
    std::string commandLine = "VIRODARO.EXE";
    platform::StartupInfo startupInfo{};
    bool tlsExhausted = false;
    platform::OptionConvention convention = platform::OptionConvention::kProgramsOwn;
    std::string standardOutput;
    uint32_t standardOutputError = 0;
    std::array<bool, kTlsSlots> tlsUsed{};
};

SimProcess process;
thread_local uint32_t lastError = 0;
thread_local std::array<void*, kTlsSlots> tlsValues{};

}  // namespace

namespace sim {

void Reset(const ConsoleSetup& setup) {
    detail::ResetConsole(setup);
    detail::ResetProcess();
    detail::ResetMemory();
    detail::ResetFiles();
    detail::ResetChildren();
    detail::ResetPrint();
}

void SetCommandLine(const std::string& commandLine) { process.commandLine = commandLine; }
void SetStartupInfo(const platform::StartupInfo& info) { process.startupInfo = info; }
void SetTlsExhausted(bool exhausted) { process.tlsExhausted = exhausted; }
void SetCommandLineConvention(platform::OptionConvention convention) {
    process.convention = convention;
}
std::string StandardOutputBytes() { return process.standardOutput; }
void FailStandardOutput(uint32_t errorCode) { process.standardOutputError = errorCode; }

namespace detail {

// TLS slots outlive a reset, as they outlive nothing less than the process.
void ResetProcess() {
    const auto slotsInUse = process.tlsUsed;
    process = SimProcess{};
    process.tlsUsed = slotsInUse;
    lastError = 0;
}

}  // namespace detail
}  // namespace sim

namespace platform {

uint32_t GetLastError() { return lastError; }
void SetLastError(uint32_t code) { lastError = code; }

uint32_t SetErrorMode(uint32_t mode) {
    const uint32_t previous = process.errorMode;
    process.errorMode = mode;
    return previous;
}

bool GetVersionExA(OsVersionInfo* info) {
    *info = OsVersionInfo{10, 0, 19045, 2, {}};
    return true;
}

void GetStartupInfoA(StartupInfo* info) { *info = process.startupInfo; }

const char* GetCommandLineA() { return process.commandLine.c_str(); }

void SetProcessArguments(int, char**) {}

OptionConvention CommandLineConvention() { return process.convention; }

bool WriteStandardOutput(std::string_view bytes) {
    if (process.standardOutputError != 0) {
        SetLastError(process.standardOutputError);
        return false;
    }
    process.standardOutput.append(bytes);
    return true;
}

Handle GetModuleHandleA() { return 0x400000; }

uint32_t GetCurrentProcessId() { return sim::kProcessId; }

uint32_t TlsAlloc() {
    if (!process.tlsExhausted) {
        for (uint32_t slot = 0; slot < kTlsSlots; ++slot) {
            if (!process.tlsUsed[slot]) {
                process.tlsUsed[slot] = true;
                return slot;
            }
        }
    }
    SetLastError(kErrorNoSystemResources);
    return kTlsOutOfIndexes;
}

bool TlsFree(uint32_t index) {
    if (index >= kTlsSlots || !process.tlsUsed[index]) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    process.tlsUsed[index] = false;
    return true;
}

void* TlsGetValue(uint32_t index) { return index < kTlsSlots ? tlsValues[index] : nullptr; }

bool TlsSetValue(uint32_t index, void* value) {
    if (index >= kTlsSlots || !process.tlsUsed[index]) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    tlsValues[index] = value;
    return true;
}

void* GlobalAllocZeroed(uint32_t bytes) { return std::calloc(1, bytes); }

void* GlobalFree(void* block) {
    std::free(block);
    return nullptr;
}

int32_t CoInitialize() { return 0; }
void CoUninitialize() {}

void ExitProcess(uint32_t exitCode) { std::_Exit(static_cast<int>(exitCode)); }

}  // namespace platform
