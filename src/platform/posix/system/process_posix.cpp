// The process on POSIX: last error, error mode, version, start-up information, the command
// line rebuilt from argv the Windows way, TLS on pthread keys, and exit.

#include <fcntl.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/process.hpp"

namespace platform {
namespace {

thread_local uint32_t lastError = 0;
uint32_t errorMode = 0;
std::string commandLine;

// An argument as Windows shows it in a command line: quoted when it is empty or holds a
// blank or a tab, so that the command tail splits the same way.
void AppendArgument(std::string& line, const char* argument) {
    const bool quote = *argument == '\0' || std::strpbrk(argument, " \t") != nullptr;
    if (quote) line += '"';
    line += argument;
    if (quote) line += '"';
}

}  // namespace

uint32_t GetLastError() { return lastError; }
void SetLastError(uint32_t code) { lastError = code; }

// There are no critical-error dialogs to suppress; the mode is kept for what reads it back.
uint32_t SetErrorMode(uint32_t mode) {
    const uint32_t previous = errorMode;
    errorMode = mode;
    return previous;
}

bool GetVersionExA(OsVersionInfo* info) {
    *info = OsVersionInfo{};
    info->platformId = 2;  // the NT family: what enumeration and the like expect
    utsname name{};
    if (uname(&name) == 0) {
        info->majorVersion = static_cast<uint32_t>(std::atoi(name.release));
        const char* minor = std::strchr(name.release, '.');
        if (minor != nullptr) info->minorVersion = static_cast<uint32_t>(std::atoi(minor + 1));
        std::strncpy(info->csdVersion, name.sysname, sizeof info->csdVersion - 1);
    }
    return true;
}

void GetStartupInfoA(StartupInfo* info) { *info = StartupInfo{}; }

void SetProcessArguments(int argc, char** argv) {
    // A standard descriptor the process was started without would be the number of the next
    // file it opens, and the screens written to it would land in that file: each closed one
    // is given /dev/null first.
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int null = open("/dev/null", O_RDWR | O_NOCTTY);
            if (null >= 0 && null != fd) {
                dup2(null, fd);
                close(null);
            }
        }
    }
#ifdef M_ARENA_MAX
    // Every thread allocates from the one memory arena: a thread's own arena reserves 64 MB
    // of address space at once, which a limit on the process's memory refuses, and the
    // thread could then allocate nothing at all.
    mallopt(M_ARENA_MAX, 1);
#endif
    // Windows has no SIGPIPE: a write to a closed pipe fails, and the program goes on with
    // the failure, with or without a terminal. Only the program's own process does this; a
    // library that other programs load leaves their signals alone.
    signal(SIGPIPE, SIG_IGN);
    commandLine.clear();
    for (int i = 0; i < argc; ++i) {
        if (i > 0) commandLine += ' ';
        AppendArgument(commandLine, argv[i]);
    }
}

const char* GetCommandLineA() { return commandLine.c_str(); }

OptionConvention CommandLineConvention() { return OptionConvention::kGnuStandardOptions; }

bool WriteStandardOutput(std::string_view bytes) {
    return posix::WriteAll(STDOUT_FILENO, bytes.data(), bytes.size()) || posix::FailWithErrno();
}

Handle GetModuleHandleA() { return reinterpret_cast<Handle>(&commandLine); }

uint32_t GetCurrentProcessId() { return static_cast<uint32_t>(getpid()); }

uint32_t TlsAlloc() {
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) != 0) {
        SetLastError(kErrorNoSystemResources);
        return kTlsOutOfIndexes;
    }
    return static_cast<uint32_t>(key);
}

bool TlsFree(uint32_t index) { return pthread_key_delete(index) == 0; }

void* TlsGetValue(uint32_t index) { return pthread_getspecific(index); }

bool TlsSetValue(uint32_t index, void* value) {
    if (pthread_setspecific(index, value) != 0) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    return true;
}

void* GlobalAllocZeroed(uint32_t bytes) {
    void* block = std::calloc(1, bytes);
    if (block == nullptr) SetLastError(kErrorNotEnoughMemory);
    return block;
}

void* GlobalFree(void* block) {
    std::free(block);
    return nullptr;
}

int32_t CoInitialize() { return 0; }
void CoUninitialize() {}

uint32_t GetEnvironmentVariableA(const char* name, char* buffer, uint32_t size) {
    const char* value = std::getenv(name);
    if (value == nullptr) {
        SetLastError(kErrorEnvvarNotFound);
        return 0;
    }
    const size_t length = std::strlen(value);
    if (length >= size) return static_cast<uint32_t>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<uint32_t>(length);
}

void GetLocalTime(SystemTime* time) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    *time = {
        static_cast<uint16_t>(local.tm_year + 1900), static_cast<uint16_t>(local.tm_mon + 1),
        static_cast<uint16_t>(local.tm_wday),        static_cast<uint16_t>(local.tm_mday),
        static_cast<uint16_t>(local.tm_hour),        static_cast<uint16_t>(local.tm_min),
        static_cast<uint16_t>(local.tm_sec),         static_cast<uint16_t>(now.tv_nsec / 1000000)};
}

void ExitProcess(uint32_t exitCode) {
    posix::TerminalRestore();
    _exit(static_cast<int>(exitCode));
}

}  // namespace platform
