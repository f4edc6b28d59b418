// The spooler on POSIX: the print server's queues and the "PDF file" destination, their
// defaults as device modes, their capabilities, and the default printer. There is no print
// dialog: asking for one behaves as a dialog the user cancelled.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>

#include "platform/posix/print/destination_posix.hpp"
#include "platform/posix/print/paper_map_posix.hpp"
#include "platform/posix/print/print_posix.hpp"
#include "platform/posix/print/server_connection_posix.hpp"
#include "platform/print.hpp"
#include "platform/process.hpp"

namespace platform {
namespace {

std::map<Handle, std::string> openPrinters;
std::map<Handle, std::string> devNamesBlocks;
std::map<Handle, DevMode> devModeBlocks;
uint32_t extendedError = 0;

// The size a Windows driver's DEVMODEA has without private bytes.
constexpr int32_t kDevModeSize = 156;

int32_t Fail(uint32_t code) {
    SetLastError(code);
    return -1;
}

int32_t WriteNumbers(const std::vector<uint16_t>& numbers, void* output) {
    if (output != nullptr) std::memcpy(output, numbers.data(), numbers.size() * sizeof(uint16_t));
    return static_cast<int32_t>(numbers.size());
}

int32_t WriteNames(const std::vector<std::string>& names, uint32_t slot, void* output) {
    if (output != nullptr) {
        auto* out = static_cast<char*>(output);
        std::memset(out, 0, names.size() * slot);
        for (size_t i = 0; i < names.size(); ++i) {
            std::memcpy(out + i * slot, names[i].data(),
                        std::min<size_t>(names[i].size(), slot - 1));
        }
    }
    return static_cast<int32_t>(names.size());
}

std::vector<std::string> MediaNames(const posix::Destination& destination) {
    std::vector<std::string> names;
    for (const posix::Paper& paper : destination.Papers())
        names.push_back(paper.media);
    return names;
}

}  // namespace

namespace posix {

Handle NewPrintHandle() {
    static std::atomic<Handle> next{0x5000'0001};
    return next++;
}

}  // namespace posix

bool EnumPrintersA(uint32_t, PrinterList* printers) {
    *printers = posix::ListDestinations();
    return true;
}

PrintServerTrouble GetPrintServerTrouble(std::string* server) {
    return posix::TroubleWithServer(server);
}

bool OpenPrinterA(const char* printerName, Handle* printer) {
    if (posix::Destination::Open(printerName) == nullptr) {
        SetLastError(kErrorInvalidPrinterName);
        return false;
    }
    *printer = posix::NewPrintHandle();
    openPrinters[*printer] = printerName;
    return true;
}

bool ClosePrinter(Handle printer) {
    if (openPrinters.erase(printer) == 1) return true;
    SetLastError(kErrorInvalidHandle);
    return false;
}

int32_t DocumentPropertiesA(Handle printer, const char* printerName, DevMode* output,
                            uint32_t mode) {
    if (openPrinters.count(printer) == 0) return Fail(kErrorInvalidHandle);
    if (mode == 0) return kDevModeSize;
    const auto destination = posix::Destination::Open(printerName);
    if (destination == nullptr) return Fail(kErrorInvalidPrinterName);
    if ((mode & kDmOutBuffer) && output != nullptr) *output = destination->DefaultDevMode();
    return 1;
}

int32_t DeviceCapabilitiesA(const char* printerName, DeviceCapability query, void* output) {
    const auto destination = posix::Destination::Open(printerName);
    if (destination == nullptr) return Fail(kErrorInvalidPrinterName);
    const std::vector<std::string> media = MediaNames(*destination);
    switch (query) {
        case kDcPapers:
            return WriteNumbers(posix::NumberList(media, posix::PaperNumberOf, posix::kUserPaper),
                                output);
        case kDcPaperNames: {
            std::vector<std::string> names;
            for (const std::string& name : media)
                names.push_back(posix::PaperDisplayName(name));
            return WriteNames(names, kPaperNameSlot, output);
        }
        case kDcBins:
            return WriteNumbers(
                posix::NumberList(destination->Sources(), posix::BinNumberOf, posix::kUserBin),
                output);
        case kDcBinNames:
            return WriteNames(destination->Sources(), kBinNameSlot, output);
        case kDcCopies:
            return destination->MaxCopies();
        case kDcDuplex:
            return destination->CanDuplex() ? 1 : 0;
        case kDcOrientation:
            return destination->CanTurn() ? 90 : 0;
    }
    return Fail(kErrorNotSupported);
}

bool PrintDlgA(PrintDialog* dialog) {
    extendedError = 0;
    if ((dialog->flags & kPdReturnDefault) == 0) return false;
    const auto destination = posix::Destination::OpenDefault();
    if (destination == nullptr) {
        extendedError = kPdErrNoDefaultPrinter;
        return false;
    }
    const DevMode mode = destination->DefaultDevMode();
    dialog->dc = kNullHandle;
    if (dialog->flags & kPdReturnDc) {
        dialog->dc = CreateDCA(destination->Name().c_str(), &mode);
        if (dialog->dc == kNullHandle) {
            extendedError = kPdErrNoDefaultPrinter;
            return false;
        }
    }
    dialog->devNames = posix::NewPrintHandle();
    devNamesBlocks[dialog->devNames] = destination->Name();
    dialog->devMode = posix::NewPrintHandle();
    devModeBlocks[dialog->devMode] = mode;
    return true;
}

uint32_t CommDlgExtendedError() { return extendedError; }

// There are no windows to bring forward.
bool SetForegroundWindow(Handle) { return true; }

bool ReadDevNamesDevice(Handle devNames, std::string* deviceName) {
    auto block = devNamesBlocks.find(devNames);
    if (block == devNamesBlocks.end()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    *deviceName = block->second;
    return true;
}

bool ReadDevModeBlock(Handle devModeBlock, DevMode* mode) {
    auto block = devModeBlocks.find(devModeBlock);
    if (block == devModeBlocks.end()) {
        SetLastError(kErrorInvalidHandle);
        return false;
    }
    *mode = block->second;
    return true;
}

void GlobalFreeBlock(Handle block) {
    devNamesBlocks.erase(block);
    devModeBlocks.erase(block);
}

}  // namespace platform
