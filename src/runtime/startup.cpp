#include "runtime/startup.hpp"

#include <new>

#include "app/app.hpp"
#include "console/console_state.hpp"
#include "files/file_table.hpp"
#include "platform/console.hpp"
#include "platform/files.hpp"
#include "platform/fpu.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "runtime/os_call.hpp"
#include "runtime/standard_options.hpp"
#include "runtime/thread_block.hpp"

platform::OsVersionInfo RtOsVersion;
const char* RtCommandTail = "";
platform::Handle RtInstance;
int32_t RtShowWindow;

namespace {

constexpr uint32_t kSwShowDefault = 10;
constexpr uint32_t kConsoleOutputMode = platform::kOutputProcessed | platform::kOutputWrapAtEol;
constexpr uint32_t kDefaultCursorSize = 10;

// The console's cursor shape when it reports a usable one.
bool ReadCursorShape(platform::Handle console) {
    return platform::GetConsoleCursorInfo(console, &gConsole.cursorInfo) &&
           gConsole.cursorInfo.size != 0;
}

}  // namespace

void RtInitConsole() {
    gConsole.conOut = platform::GetStdHandle(platform::StdHandle::kError);
    gConsole.stdIn = platform::GetStdHandle(platform::StdHandle::kInput);
    gConsole.stdOut = platform::GetStdHandle(platform::StdHandle::kOutput);
    gConsole.conIn = platform::OpenConsoleInput();

    uint32_t mode = 0;
    if (platform::GetConsoleMode(gConsole.stdOut, &mode)) gConsole.conOut = gConsole.stdOut;
    // With standard output and standard error both redirected the prompts and the typing
    // still belong on the console the keys come from, not in a file or nowhere.
    if (!platform::GetConsoleMode(gConsole.conOut, &mode)) {
        const platform::Handle console = platform::OpenConsoleOutput();
        if (console != platform::kInvalidHandle) gConsole.conOut = console;
    }
    platform::SetConsoleMode(gConsole.conOut, kConsoleOutputMode);
    platform::SetConsoleMode(gConsole.stdIn, 0);
    platform::SetConsoleCtrlHandler(RtCtrlHandler, true);

    if (!ReadCursorShape(gConsole.conOut) && !ReadCursorShape(gConsole.stdOut)) {
        gConsole.cursorInfo = {kDefaultCursorSize, true};
        platform::SetConsoleCursorInfo(gConsole.conOut, gConsole.cursorInfo);
    }
}

const char* RtSkipProgramPath(const char* p) {
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        if (*p == '"') ++p;
        while (*p == ' ')
            ++p;
        return p;
    }
    if (*p == ' ') {
        while (*p == ' ')
            ++p;
        return p;
    }
    if (*p == '\0') return p;
    ++p;  // the first character, whatever it is
    while (static_cast<unsigned char>(*p) > ' ')
        ++p;
    // A tab or another control character ends the path and is the tail's first byte.
    while (*p == ' ')
        ++p;
    return p;
}

int32_t RtCtrlHandler(uint32_t controlType) {
    constexpr uint32_t kCtrlC = 0, kCtrlBreak = 1, kCtrlClose = 2;
    return controlType == kCtrlC || controlType == kCtrlBreak || controlType == kCtrlClose;
}

void RtFrameSetup() {
    RtOsCallLockReset();
    ConResetState();
    FileTableReset();
    platform::FpuLoadX87ControlWord(kRtX87ControlWord);
    PrnStateInit();
    PrnFontsInit();
}

bool RtPrepareProcess() {
    platform::CoInitialize();
    RtInitConsole();
    platform::GetVersionExA(&RtOsVersion);

    platform::StartupInfo startup{};
    platform::GetStartupInfoA(&startup);
    if (startup.flags & platform::kStartfUseStdHandles) {
        gConsole.stdIn = startup.stdInput;
        gConsole.stdOut = startup.stdOutput;
    }
    RtShowWindow =
        (startup.flags & platform::kStartfUseShowWindow) ? startup.showWindow : kSwShowDefault;
    RtCommandTail = RtSkipProgramPath(platform::GetCommandLineA());
    RtInstance = platform::GetModuleHandleA();

    return RtThreadBlockStartup();
}

void RtStartup() {
    // The POSIX command line is rebuilt from the argument vector, quoting an argument with
    // a blank, so a tail "--help" is exactly one argument "--help". Answered before the
    // console is set up, the option leaves the terminal as it is.
    const char* tail = RtSkipProgramPath(platform::GetCommandLineA());
    if (const std::optional<uint32_t> exitCode = RtAnswerStandardOption(tail)) {
        platform::ExitProcess(*exitCode);
    }
    if (!RtPrepareProcess()) {
        platform::CoUninitialize();
        platform::ExitProcess(255);
    }
    RtFrameSetup();
    int32_t result;
    // Runtime operations report memory they cannot get as runtime error 7; the run's own
    // texts and records cannot, and a run that cannot hold them ends as a fatal error does.
    try {
        result = AppMain(RtInstance, 0, RtCommandTail, RtShowWindow);
    } catch (const std::bad_alloc&) {
        platform::ExitProcess(255);
    }
    RtShutdown(static_cast<uint32_t>(result));
}

void RtShutdown(uint32_t exitCode) {
    if (gConsole.conIn != platform::kNullHandle && gConsole.conIn != platform::kInvalidHandle) {
        platform::CloseHandle(gConsole.conIn);
    }
    RtThreadBlockShutdown();
    platform::CoUninitialize();
    platform::ExitProcess(exitCode);
}
