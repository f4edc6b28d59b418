#include "printer/attach.hpp"

#include <cstring>
#include <memory>
#include <string>

#include "platform/print.hpp"
#include "printer/document.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

namespace {

constexpr uint32_t kDialogFlags = platform::kPdNoSelection | platform::kPdNoPageNums |
                                  platform::kPdReturnDc | platform::kPdEnablePrintHook |
                                  platform::kPdUseDevModeCopiesAndCollate |
                                  platform::kPdHidePrintToFile;

// How an attach path ended.
enum class Outcome { kAttached, kQuiet, kFailed };

// The dialog's hook: brings the dialog to the front and notes a press of OK, so that a
// failing dialog can tell a cancel from an error.
uintptr_t PrintHook(platform::Handle dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::kWmInitDialog) {
        platform::SetForegroundWindow(dialog);
    } else if (message == platform::kWmCommand && (wParam & 0xFFFF) == platform::kIdOk) {
        gPrinter.flags |= kPrnDialogConfirmed;
    }
    return 0;
}

bool StoreName(const std::string& name) {
    if (name.empty() || name.size() > kPrnMaxNameLength) return false;
    std::memcpy(gPrinter.name, name.c_str(), name.size() + 1);
    gPrinter.nameLength = static_cast<uint16_t>(name.size());
    return true;
}

void FreeBlock(platform::Handle block) {
    if (block == platform::kNullHandle) return;
    PrnCallOs([&] {
        platform::GlobalFreeBlock(block);
        return 0;
    });
}

// Takes a copy of the device-mode block the dialog returned, if any.
bool TakeDialogDevMode(platform::Handle block) {
    if (block == platform::kNullHandle) return true;
    auto mode = std::make_unique<platform::DevMode>();
    if (!PrnCallOs([&] { return platform::ReadDevModeBlock(block, mode.get()); })) return false;
    gPrinter.devMode = std::move(mode);
    return true;
}

Outcome AttachFromDialog(bool useDefault) {
    platform::PrintDialog dialog;
    dialog.flags = kDialogFlags | (useDefault ? platform::kPdReturnDefault : 0);
    dialog.hook = PrintHook;
    gPrinter.flags &= ~kPrnDialogConfirmed;
    if (!PrnCallOs([&] { return platform::PrintDlgA(&dialog); })) {
        if (useDefault || (gPrinter.flags & kPrnDialogConfirmed)) {
            const uint32_t code = PrnCallOs([] { return platform::CommDlgExtendedError(); });
            return code != 0 ? Outcome::kFailed : Outcome::kQuiet;
        }
        return Outcome::kQuiet;
    }
    // The device context is stored at once so that a failure below deletes it, and both
    // blocks are freed on every way out.
    gPrinter.dc = dialog.dc;
    std::string device;
    const bool named =
        dialog.dc != platform::kNullHandle && dialog.devNames != platform::kNullHandle &&
        PrnCallOs([&] { return platform::ReadDevNamesDevice(dialog.devNames, &device); }) &&
        StoreName(device);
    const bool complete = named && TakeDialogDevMode(dialog.devMode);
    FreeBlock(dialog.devNames);
    FreeBlock(dialog.devMode);
    return complete ? Outcome::kAttached : Outcome::kFailed;
}

Outcome AttachByName(const Text& printerName) {
    if (printerName.Empty()) return Outcome::kQuiet;
    const std::string name(printerName.Bytes());
    platform::Handle printer = platform::kNullHandle;
    if (!PrnCallOs([&] { return platform::OpenPrinterA(name.c_str(), &printer); })) {
        return Outcome::kFailed;
    }
    const int32_t size =
        PrnCallOs([&] { return platform::DocumentPropertiesA(printer, name.c_str(), nullptr, 0); });
    bool read = false;
    if (size > 0) {
        gPrinter.devMode = std::make_unique<platform::DevMode>();
        read = PrnCallOs([&] {
                   return platform::DocumentPropertiesA(
                       printer, name.c_str(), gPrinter.devMode.get(), platform::kDmOutBuffer);
               }) > 0;
    }
    PrnCallOs([&] { return platform::ClosePrinter(printer); });
    if (!read) return Outcome::kFailed;
    const platform::Handle dc =
        PrnCallOs([&] { return platform::CreateDCA(name.c_str(), gPrinter.devMode.get()); });
    if (dc == platform::kNullHandle || !StoreName(name)) return Outcome::kFailed;
    gPrinter.dc = dc;
    return Outcome::kAttached;
}

void FailAttach() {
    gPrinter.name[0] = '\0';
    gPrinter.nameLength = 0;
    if (gPrinter.dc != platform::kNullHandle) {
        const platform::Handle dc = gPrinter.dc;
        gPrinter.dc = platform::kNullHandle;
        PrnCallOs([&] { return platform::DeleteDC(dc); });
    }
    RtRaiseError(kRtErrDeviceUnavailable);
}

// Puts the initial font object back and deletes the device context; false when either fails.
bool ReleaseDeviceContext() {
    const platform::Handle dc = gPrinter.dc;
    const platform::Handle initial = gPrinter.initialFont;
    if (PrnCallOs([&] { return platform::SelectObject(dc, initial); }) == platform::kNullHandle) {
        return false;
    }
    return PrnCallOs([&] { return platform::DeleteDC(dc); });
}

}  // namespace

void PrnAttach(int32_t mode, const Text& printerName, const Text& documentName) {
    PrnDetach();
    if (printerName.Length() > kPrnMaxNameLength) {
        FailAttach();
        return;
    }
    const Outcome outcome =
        (mode & 3) != 0 ? AttachFromDialog((mode & 1) != 0) : AttachByName(printerName);
    if (outcome == Outcome::kQuiet) return;
    if (outcome == Outcome::kFailed || !PrnBeginDocument(documentName)) FailAttach();
}

uint8_t PrnDetach() {
    gPrinter.devMode.reset();
    if (!PrnAttached()) {
        PrnResetState();
        return 0;
    }
    PrnEndDocument();
    const bool released = ReleaseDeviceContext();
    if (released) PrnReleaseFontObjects();
    PrnResetState();
    return released ? 0 : kRtErrDeviceIo;
}

void PrnCancel() {
    gPrinter.devMode.reset();
    if (PrnAttached()) {
        PrnAbortDocument();
        const platform::Handle dc = gPrinter.dc;
        const platform::Handle initial = gPrinter.initialFont;
        PrnCallOs([&] { return platform::SelectObject(dc, initial); });
        PrnCallOs([&] { return platform::DeleteDC(dc); });
        // The font objects were made for this printer's resolution; a later printer must get
        // its own, and the next document must find font 2 without one so that it records
        // the device context's initial font again.
        PrnReleaseFontObjects();
    }
    PrnResetState();
}

Text PrnPrinterName() { return Text(std::string_view(gPrinter.name, gPrinter.nameLength)); }

platform::Handle PrnHandle() { return gPrinter.dc; }
