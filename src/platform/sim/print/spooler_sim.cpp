// The simulated spooler: scripted printers, their enumeration, the default printer and the
// print dialog, device modes and capability answers.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/print.hpp"
#include "platform/process.hpp"
#include "platform/sim/print/print_sim_state.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

using sim::detail::CallFails;
using sim::detail::LogCall;
using sim::detail::Print;

// Writes a list of names into fixed, zero-padded slots, as DeviceCapabilitiesA does.
void WriteNameSlots(const std::vector<std::string>& names, uint32_t slot, void* output) {
    auto* out = static_cast<char*>(output);
    std::memset(out, 0, names.size() * slot);
    for (size_t i = 0; i < names.size(); ++i) {
        std::memcpy(out + i * slot, names[i].data(), std::min<size_t>(names[i].size(), slot));
    }
}

int32_t WriteNumbers(const std::vector<uint16_t>& numbers, void* output) {
    if (output != nullptr) std::memcpy(output, numbers.data(), numbers.size() * sizeof(uint16_t));
    return static_cast<int32_t>(numbers.size());
}

}  // namespace

namespace sim {

Printer MakePrinter(const std::string& name) {
    Printer printer;
    printer.info.printerName = name;
    printer.info.portName = "LPT1:";
    printer.info.driverName = "Sim Driver";
    platform::DevMode& mode = printer.devMode;
    mode.fields = platform::kDmOrientation | platform::kDmPaperSize | platform::kDmCopies |
                  platform::kDmDefaultSource | platform::kDmPrintQuality | platform::kDmColor |
                  platform::kDmDuplex | platform::kDmCollate;
    mode.orientation = platform::kDmOrientPortrait;
    mode.paperSize = 1;
    mode.copies = 1;
    mode.defaultSource = 7;
    mode.printQuality = 600;
    mode.color = 2;
    mode.duplex = 1;
    mode.collate = 1;
    printer.papers = {1, 9};
    printer.paperNames = {"Letter", "A4"};
    printer.bins = {7, 1};
    printer.binNames = {"Automatically Select", "Tray 1"};
    return printer;
}

void AddPrinter(const Printer& printer, bool isDefault) {
    Print().printers.push_back(printer);
    if (isDefault) Print().defaultPrinter = printer.info.printerName;
}

Printer& PrinterNamed(const std::string& name) { return *detail::FindPrinter(name); }

void ScriptPrintDialog(DialogAnswer answer, const std::string& printerName) {
    Print().dialogAnswer = answer;
    Print().dialogPrinter = printerName;
}

void SetDialogReturnsDevMode(bool returnsDevMode) { Print().dialogReturnsDevMode = returnsDevMode; }

void FailPrintCall(const std::string& call, int times, uint32_t extendedError) {
    Print().failures[call] = {times, extendedError};
}

void SetPrintServerTrouble(const std::string& server, platform::PrintServerTrouble trouble) {
    Print().troubledServer = server;
    Print().serverTrouble = trouble;
}

}  // namespace sim

namespace platform {

bool EnumPrintersA(uint32_t flags, PrinterList* printers) {
    LogCall("EnumPrintersA", std::to_string(flags));
    printers->reset();
    if (CallFails("EnumPrintersA")) return false;
    auto list = std::make_shared<std::vector<PrinterInfo2>>();
    for (const sim::Printer& printer : Print().printers)
        list->push_back(printer.info);
    *printers = std::move(list);
    return true;
}

PrintServerTrouble GetPrintServerTrouble(std::string* server) {
    *server = Print().troubledServer;
    return Print().serverTrouble;
}

bool OpenPrinterA(const char* printerName, Handle* printer) {
    LogCall("OpenPrinterA", printerName);
    if (CallFails("OpenPrinterA")) return false;
    if (sim::detail::FindPrinter(printerName) == nullptr) {
        SetLastError(kErrorInvalidPrinterName);
        return false;
    }
    *printer = Print().nextHandle++;
    Print().openPrinters.insert(*printer);
    return true;
}

bool ClosePrinter(Handle printer) {
    LogCall("ClosePrinter");
    return Print().openPrinters.erase(printer) == 1;
}

int32_t DocumentPropertiesA(Handle printer, const char* printerName, DevMode* output,
                            uint32_t mode) {
    LogCall("DocumentPropertiesA", std::to_string(mode));
    const sim::Printer* scripted = sim::detail::FindPrinter(printerName);
    if (CallFails("DocumentPropertiesA") || scripted == nullptr ||
        Print().openPrinters.count(printer) == 0) {
        return -1;
    }
    // The size of a DEVMODEA without private bytes.
    constexpr int32_t kDevModeSize = 156;
    if ((mode & kDmOutBuffer) && output != nullptr) *output = scripted->devMode;
    return mode == 0 ? kDevModeSize : 1;
}

int32_t DeviceCapabilitiesA(const char* printerName, DeviceCapability query, void* output) {
    LogCall("DeviceCapabilitiesA", std::to_string(query));
    const sim::Printer* printer = sim::detail::FindPrinter(printerName);
    if (CallFails("DeviceCapabilitiesA") || printer == nullptr) return -1;
    switch (query) {
        case kDcPapers:
            return WriteNumbers(printer->papers, output);
        case kDcBins:
            return WriteNumbers(printer->bins, output);
        case kDcPaperNames:
            if (output != nullptr) WriteNameSlots(printer->paperNames, kPaperNameSlot, output);
            return static_cast<int32_t>(printer->paperNames.size());
        case kDcBinNames:
            if (output != nullptr) WriteNameSlots(printer->binNames, kBinNameSlot, output);
            return static_cast<int32_t>(printer->binNames.size());
        case kDcCopies:
            return printer->maxCopies;
        case kDcDuplex:
            return printer->duplex;
        case kDcOrientation:
            return printer->landscapeAngle;
    }
    return -1;
}

bool PrintDlgA(PrintDialog* dialog) {
    sim::detail::SimPrint& print = Print();
    const bool useDefault = (dialog->flags & kPdReturnDefault) != 0;
    LogCall("PrintDlgA", useDefault ? "default" : "dialog");
    print.extendedError = 0;
    auto failure = print.failures.find("PrintDlgA");
    if (failure != print.failures.end() && failure->second.times > 0) {
        --failure->second.times;
        print.extendedError = failure->second.extendedError;
        return false;
    }
    std::string chosen = print.defaultPrinter;
    if (!useDefault) {
        // The dialog is shown: the hook sees it open, and sees OK when the user presses it.
        constexpr Handle kDialogWindow = 0x0D00;
        if (dialog->hook != nullptr) dialog->hook(kDialogWindow, kWmInitDialog, 0, 0);
        if (print.dialogAnswer == sim::DialogAnswer::kCancel) return false;
        if (dialog->hook != nullptr) dialog->hook(kDialogWindow, kWmCommand, kIdOk, 0);
        chosen = print.dialogPrinter;
    }
    const sim::Printer* printer = sim::detail::FindPrinter(chosen);
    if (printer == nullptr) {
        print.extendedError = kPdErrNoDefaultPrinter;
        return false;
    }
    dialog->dc = CreateDCA(chosen.c_str(), &printer->devMode);
    dialog->devNames = print.nextHandle++;
    print.devNamesBlocks[dialog->devNames] = chosen;
    dialog->devMode = kNullHandle;
    if (print.dialogReturnsDevMode) {
        dialog->devMode = print.nextHandle++;
        print.devModeBlocks[dialog->devMode] = printer->devMode;
    }
    return true;
}

uint32_t CommDlgExtendedError() { return Print().extendedError; }

bool SetForegroundWindow(Handle) {
    LogCall("SetForegroundWindow");
    return true;
}

bool ReadDevNamesDevice(Handle devNames, std::string* deviceName) {
    auto block = Print().devNamesBlocks.find(devNames);
    if (CallFails("ReadDevNamesDevice") || block == Print().devNamesBlocks.end()) return false;
    *deviceName = block->second;
    return true;
}

bool ReadDevModeBlock(Handle devModeBlock, DevMode* mode) {
    auto block = Print().devModeBlocks.find(devModeBlock);
    if (CallFails("ReadDevModeBlock") || block == Print().devModeBlocks.end()) return false;
    *mode = block->second;
    return true;
}

void GlobalFreeBlock(Handle block) {
    LogCall("GlobalFreeBlock");
    Print().devNamesBlocks.erase(block);
    Print().devModeBlocks.erase(block);
}

}  // namespace platform
