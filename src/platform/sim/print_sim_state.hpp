#pragma once
// What the two halves of the simulated printing share: the scripted printers, the live
// objects, the failures asked for and the call log.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/print.hpp"
#include "platform/sim/sim.hpp"
#include "platform/types.hpp"

namespace sim::detail {

using sim::kStockFont;

struct SimDeviceContext {
    std::string printer;
    int16_t orientation = platform::kDmOrientPortrait;
    /// The index in Documents() of the document in progress, or -1.
    int document = -1;
    bool pageOpen = false;
    uint32_t textColor = 0;
    uint32_t bkColor = 0xFFFFFF;
    int32_t bkMode = platform::kOpaque;
    int32_t rop2 = 13;
    uint32_t textAlign = 0;
    platform::Point position{0, 0};
    platform::Handle font = kStockFont;
};

struct SimFailure {
    int times = 0;
    uint32_t extendedError = 0;
};

struct SimPrint {
    std::vector<Printer> printers;
    std::string defaultPrinter;
    DialogAnswer dialogAnswer = DialogAnswer::kCancel;
    std::string dialogPrinter;
    bool dialogReturnsDevMode = true;
    uint32_t extendedError = 0;
    std::map<std::string, SimFailure> failures;
    std::vector<std::string> calls;
    std::vector<PrintedDocument> documents;
    std::map<platform::Handle, SimDeviceContext> deviceContexts;
    std::map<platform::Handle, platform::LogFont> fonts;
    std::map<platform::Handle, platform::DevMode> devModeBlocks;
    std::map<platform::Handle, std::string> devNamesBlocks;
    std::set<platform::Handle> openPrinters;
    platform::Handle nextHandle = 0x1000;
};

SimPrint& Print();

/// Logs a call with its arguments.
void LogCall(const std::string& call, const std::string& arguments = "");

/// Whether a failure was asked for this call; consumes it and sets the last error.
bool CallFails(const std::string& call);

/// The scripted printer of that name, or null.
Printer* FindPrinter(const std::string& name);

/// The live device context of that handle, or null (with kErrorInvalidHandle).
SimDeviceContext* FindDeviceContext(platform::Handle dc);

}  // namespace sim::detail
