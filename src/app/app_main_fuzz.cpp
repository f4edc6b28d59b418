// Runs the whole program on the simulated platform with an arbitrary settings file (or none)
// and an arbitrary stream of key and mouse records, and fails on a crash, a sanitizer report,
// a hang (the fuzzer's timeout), a run that does not end normally, or a file touched outside
// the start directory or beside the settings file.
//
// Input: one byte that sets the stage (bits 0-1: no settings file, a file, a directory of
// that name, a file another program holds; bits 2-3: how many printers; bit 4: the default
// printer refuses finished jobs; bit 5: standard output redirected), two bytes of settings
// length (little-endian, cut to what follows), the settings bytes, then input records of six
// bytes each.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.hpp"
#include "console/console_state.hpp"
#include "platform/sim/sim.hpp"
#include "runtime/startup.hpp"
#include "runtime/thread_block.hpp"

namespace {

constexpr const char* kStartDirectory = "C:\\WORK";
constexpr const char* kSettingsPath = "C:\\WORK\\VIRODARO.CFG";
constexpr size_t kRecordSize = 6;
constexpr const char* kPrinterNames[] = {"Laser", "Office", "Plotter"};

void Check(bool condition) {
    if (!condition) std::abort();
}

void SetStage(uint8_t stage, std::string_view settings) {
    sim::Reset({.stdOutput = (stage & 0x20) ? sim::Stream::kRedirected : sim::Stream::kConsole});
    gConsole = ConsoleState{};
    RtInitConsole();
    RtFrameSetup();
    sim::SetEnvironment("COMSPEC", "C:\\WINDOWS\\CMD.EXE");
    switch (stage & 3) {
        case 1:
            sim::AddFile(kSettingsPath, settings);
            break;
        case 2:
            sim::AddDirectory(kSettingsPath);
            break;
        case 3:
            sim::AddFile(kSettingsPath, settings);
            sim::HoldFile(kSettingsPath, 0xC0000000, 0);
            break;
    }
    const int printers = (stage >> 2) & 3;
    for (int i = 0; i < printers; ++i) {
        sim::Printer printer = sim::MakePrinter(kPrinterNames[i]);
        const bool isDefault = i == printers - 1;
        if (isDefault && (stage & 0x10)) printer.endDocError = platform::kErrorAccessDenied;
        sim::AddPrinter(printer, isDefault);
    }
}

void PushRecord(const uint8_t* r) {
    // Control-key state: the flags a console reports (Alt, Ctrl, Shift, the locks, enhanced).
    const uint32_t control = (r[3] | (uint32_t{r[4]} << 8)) & 0x1FF;
    switch (r[0] % 5) {
        case 0:
            sim::PushKeyDown(static_cast<char>(r[1]), r[2], control);
            break;
        case 1:
            sim::PushKeyUp(static_cast<char>(r[1]), r[2], control);
            break;
        case 2:
            sim::PushKeyPress(static_cast<char>(r[1]), r[2], control);
            break;
        case 3:
            sim::PushMouse(static_cast<int16_t>(r[1] % 80), static_cast<int16_t>(r[2] % 25),
                           r[3] & 0x1F, r[4] & 0x7, r[5] & 0x1F);
            break;
        case 4:
            sim::PushOtherInput();
            break;
    }
}

// A path the run may touch: the settings file or the new content's file beside it, named
// alone (in the current directory) or under the start directory.
bool Allowed(std::string_view path) {
    const std::string_view prefix = "C:\\WORK\\";
    if (path.starts_with(prefix)) path.remove_prefix(prefix.size());
    const std::string pending = "VIRODARO.CFG." + std::to_string(sim::kProcessId) + "-";
    return path == "VIRODARO.CFG" || (path.starts_with(pending) && path.ends_with(".tmp") &&
                                      path.size() == pending.size() + 5 &&
                                      path[pending.size()] >= '1' && path[pending.size()] <= '8');
}

void CheckFilesTouched() {
    for (const std::string& call : sim::FileCalls()) {
        for (const std::string_view name : {"CreateFileA ", "DeleteFileA "}) {
            if (call.starts_with(name)) Check(Allowed(std::string_view(call).substr(name.size())));
        }
        for (const std::string_view twoPaths : {"MoveFileExA ", "ReplaceFileA "}) {
            if (!call.starts_with(twoPaths)) continue;
            const std::string_view paths = std::string_view(call).substr(twoPaths.size());
            const size_t blank = paths.find(' ');
            Check(blank != std::string_view::npos && Allowed(paths.substr(0, blank)) &&
                  Allowed(paths.substr(blank + 1)));
        }
    }
    Check(sim::DirectoryNames("C:\\") == std::vector<std::string>{"WORK"});
    const std::vector<std::string> names = sim::DirectoryNames(kStartDirectory);
    Check(names.empty() || names == std::vector<std::string>{"VIRODARO.CFG"});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint8_t stage = data[0];
    const size_t settingsLength = std::min<size_t>(data[1] | (size_t{data[2]} << 8), size - 3);
    const std::string_view settings(reinterpret_cast<const char*>(data + 3), settingsLength);
    SetStage(stage, settings);
    for (size_t at = 3 + settingsLength; at + kRecordSize <= size; at += kRecordSize)
        PushRecord(data + at);

    Check(AppMain(0, 0, "", 10) == 0);
    // The running directory search belongs to the thread until shut-down closes it.
    RtThreadBlockShutdown();
    Check(sim::OpenFileCount() == 0 && sim::OpenSearchCount() == 0);
    CheckFilesTouched();
    return 0;
}
