// Printing on Windows: thin wrappers around winspool, comdlg32 and gdi32. Device modes
// travel as the driver's own DEVMODEA bytes, private part included, with the settings this
// program addresses written into them.

#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "platform/print.hpp"
#include "platform/win32/win32_handles.hpp"

namespace platform {
namespace {

using win32::FromWin;
using win32::ToWin;

HDC ToDc(Handle dc) { return reinterpret_cast<HDC>(dc); }

// Whether a field lies inside the driver's public part.
bool Inside(const DEVMODEA& raw, size_t offset) { return offset + sizeof(int16_t) <= raw.dmSize; }

#define VIRODARO_DM_OFFSET(field) offsetof(DEVMODEA, field)

void FromDevModeA(const DEVMODEA* raw, DevMode* mode) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(raw);
    mode->driverData.assign(bytes, bytes + raw->dmSize + raw->dmDriverExtra);
    mode->fields = raw->dmFields;
    mode->orientation = raw->dmOrientation;
    mode->paperSize = raw->dmPaperSize;
    mode->paperLength = raw->dmPaperLength;
    mode->paperWidth = raw->dmPaperWidth;
    mode->copies = raw->dmCopies;
    mode->defaultSource = raw->dmDefaultSource;
    mode->printQuality = raw->dmPrintQuality;
    mode->color = raw->dmColor;
    mode->duplex = raw->dmDuplex;
    mode->collate = Inside(*raw, VIRODARO_DM_OFFSET(dmCollate)) ? raw->dmCollate : 0;
}

// The driver's bytes with the program's settings written in; a device mode that came from
// no driver becomes a plain DEVMODEA.
std::vector<uint8_t> ToDevModeA(const DevMode& mode) {
    std::vector<uint8_t> bytes = mode.driverData;
    if (bytes.size() < VIRODARO_DM_OFFSET(dmFields) + sizeof(DWORD)) {
        bytes.assign(sizeof(DEVMODEA), 0);
        auto* fresh = reinterpret_cast<DEVMODEA*>(bytes.data());
        fresh->dmSpecVersion = DM_SPECVERSION;
        fresh->dmSize = sizeof(DEVMODEA);
    }
    auto* raw = reinterpret_cast<DEVMODEA*>(bytes.data());
    raw->dmFields = mode.fields;
    raw->dmOrientation = mode.orientation;
    raw->dmPaperSize = mode.paperSize;
    raw->dmPaperLength = mode.paperLength;
    raw->dmPaperWidth = mode.paperWidth;
    raw->dmCopies = mode.copies;
    raw->dmDefaultSource = mode.defaultSource;
    raw->dmPrintQuality = mode.printQuality;
    raw->dmColor = mode.color;
    raw->dmDuplex = mode.duplex;
    if (Inside(*raw, VIRODARO_DM_OFFSET(dmCollate))) raw->dmCollate = mode.collate;
    return bytes;
}

// The device contexts whose current document has had a page. A document without pages is
// abandoned at its end rather than ended, so that no printer turns it into a blank sheet.
std::set<HDC> documentsWithPages;

// The print hook the logic gave, called from the dialog's own hook procedure.
PrintHookProc currentHook = nullptr;

UINT_PTR CALLBACK HookTrampoline(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return currentHook != nullptr
               ? currentHook(FromWin(dialog), message, wParam, static_cast<intptr_t>(lParam))
               : 0;
}

}  // namespace

bool EnumPrintersA(uint32_t flags, PrinterList* printers) {
    printers->reset();
    DWORD needed = 0;
    DWORD returned = 0;
    ::EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 16);
    if (!::EnumPrintersA(flags, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()),
                         &needed, &returned)) {
        return false;
    }
    const auto text = [](const char* value) { return std::string(value != nullptr ? value : ""); };
    const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    auto list = std::make_shared<std::vector<PrinterInfo2>>();
    for (DWORD i = 0; i < returned; ++i) {
        const PRINTER_INFO_2A& record = records[i];
        list->push_back({text(record.pServerName), text(record.pPrinterName),
                         text(record.pShareName), text(record.pPortName), text(record.pDriverName),
                         text(record.pComment), text(record.pLocation), text(record.pSepFile),
                         text(record.pPrintProcessor), text(record.pDatatype),
                         text(record.pParameters)});
    }
    *printers = std::move(list);
    return true;
}

bool OpenPrinterA(const char* printerName, Handle* printer) {
    HANDLE opened = nullptr;
    const bool ok = ::OpenPrinterA(const_cast<char*>(printerName), &opened, nullptr);
    *printer = FromWin(opened);
    return ok;
}

bool ClosePrinter(Handle printer) { return ::ClosePrinter(ToWin(printer)); }

int32_t DocumentPropertiesA(Handle printer, const char* printerName, DevMode* output,
                            uint32_t mode) {
    char* name = const_cast<char*>(printerName);
    const LONG size = ::DocumentPropertiesA(nullptr, ToWin(printer), name, nullptr, nullptr, 0);
    if (mode == 0 || size <= 0) return size;
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    auto* raw = reinterpret_cast<DEVMODEA*>(buffer.data());
    const LONG result = ::DocumentPropertiesA(nullptr, ToWin(printer), name, raw, nullptr, mode);
    if (result > 0 && output != nullptr) FromDevModeA(raw, output);
    return result;
}

int32_t DeviceCapabilitiesA(const char* printerName, DeviceCapability query, void* output) {
    return ::DeviceCapabilitiesA(printerName, nullptr, query, static_cast<LPSTR>(output), nullptr);
}

bool PrintDlgA(PrintDialog* dialog) {
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.Flags = dialog->flags;
    currentHook = dialog->hook;
    request.lpfnPrintHook = dialog->hook != nullptr ? HookTrampoline : nullptr;
    const bool ok = ::PrintDlgA(&request);
    currentHook = nullptr;
    dialog->dc = FromWin(request.hDC);
    dialog->devMode = FromWin(request.hDevMode);
    dialog->devNames = FromWin(request.hDevNames);
    return ok;
}

uint32_t CommDlgExtendedError() { return ::CommDlgExtendedError(); }

bool SetForegroundWindow(Handle window) {
    return ::SetForegroundWindow(static_cast<HWND>(ToWin(window)));
}

bool ReadDevNamesDevice(Handle devNames, std::string* deviceName) {
    const auto* names = static_cast<const DEVNAMES*>(::GlobalLock(ToWin(devNames)));
    if (names == nullptr) return false;
    *deviceName = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
    ::GlobalUnlock(ToWin(devNames));
    return true;
}

bool ReadDevModeBlock(Handle devModeBlock, DevMode* mode) {
    const auto* raw = static_cast<const DEVMODEA*>(::GlobalLock(ToWin(devModeBlock)));
    if (raw == nullptr) return false;
    FromDevModeA(raw, mode);
    ::GlobalUnlock(ToWin(devModeBlock));
    return true;
}

void GlobalFreeBlock(Handle block) { ::GlobalFree(ToWin(block)); }

Handle CreateDCA(const char* deviceName, const DevMode* mode) {
    std::vector<uint8_t> raw;
    if (mode != nullptr) raw = ToDevModeA(*mode);
    return reinterpret_cast<Handle>(
        ::CreateDCA(nullptr, deviceName, nullptr,
                    raw.empty() ? nullptr : reinterpret_cast<const DEVMODEA*>(raw.data())));
}

bool DeleteDC(Handle dc) {
    documentsWithPages.erase(ToDc(dc));
    return ::DeleteDC(ToDc(dc));
}

Handle ResetDCA(Handle dc, const DevMode* mode) {
    if (mode == nullptr) return dc;
    const std::vector<uint8_t> raw = ToDevModeA(*mode);
    return reinterpret_cast<Handle>(
        ::ResetDCA(ToDc(dc), reinterpret_cast<const DEVMODEA*>(raw.data())));
}

int32_t StartDocA(Handle dc, const char* documentName) {
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = documentName;
    return ::StartDocA(ToDc(dc), &document);
}

int32_t EndDoc(Handle dc) {
    // A document without pages is discarded rather than sent; with nothing to hand over, a
    // spooler that will not discard it loses no page.
    if (documentsWithPages.erase(ToDc(dc)) == 0) {
        ::AbortDoc(ToDc(dc));
        return 1;
    }
    return ::EndDoc(ToDc(dc));
}
int32_t AbortDoc(Handle dc) {
    documentsWithPages.erase(ToDc(dc));
    return ::AbortDoc(ToDc(dc));
}
int32_t StartPage(Handle dc) {
    const int32_t result = ::StartPage(ToDc(dc));
    if (result > 0) documentsWithPages.insert(ToDc(dc));
    return result;
}
int32_t EndPage(Handle dc) { return ::EndPage(ToDc(dc)); }

int32_t GetDeviceCaps(Handle dc, DeviceCap index) { return ::GetDeviceCaps(ToDc(dc), index); }

Handle CreateFontIndirectA(const LogFont& font) {
    LOGFONTA raw{};
    raw.lfHeight = font.height;
    raw.lfWidth = font.width;
    raw.lfEscapement = font.escapement;
    raw.lfOrientation = font.orientation;
    raw.lfWeight = font.weight;
    raw.lfItalic = font.italic;
    raw.lfUnderline = font.underline;
    raw.lfStrikeOut = font.strikeOut;
    raw.lfCharSet = font.charSet;
    raw.lfOutPrecision = font.outPrecision;
    raw.lfClipPrecision = font.clipPrecision;
    raw.lfQuality = font.quality;
    raw.lfPitchAndFamily = font.pitchAndFamily;
    std::memcpy(raw.lfFaceName, font.faceName, sizeof raw.lfFaceName);
    return reinterpret_cast<Handle>(::CreateFontIndirectA(&raw));
}

Handle SelectObject(Handle dc, Handle object) {
    HGDIOBJ previous = ::SelectObject(ToDc(dc), reinterpret_cast<HGDIOBJ>(object));
    // HGDI_ERROR is a failure like null.
    return previous == HGDI_ERROR ? kNullHandle : reinterpret_cast<Handle>(previous);
}

bool DeleteObject(Handle object) { return ::DeleteObject(reinterpret_cast<HGDIOBJ>(object)); }

bool GetTextMetricsA(Handle dc, TextMetric* metric) {
    TEXTMETRICA raw{};
    if (!::GetTextMetricsA(ToDc(dc), &raw)) return false;
    *metric = {raw.tmHeight,          raw.tmAscent,       raw.tmDescent,      raw.tmInternalLeading,
               raw.tmExternalLeading, raw.tmAveCharWidth, raw.tmMaxCharWidth, raw.tmWeight};
    return true;
}

uint32_t SetTextColor(Handle dc, uint32_t color) { return ::SetTextColor(ToDc(dc), color); }
uint32_t SetBkColor(Handle dc, uint32_t color) { return ::SetBkColor(ToDc(dc), color); }
int32_t SetBkMode(Handle dc, int32_t mode) { return ::SetBkMode(ToDc(dc), mode); }
int32_t SetROP2(Handle dc, int32_t mode) { return ::SetROP2(ToDc(dc), mode); }
uint32_t SetTextAlign(Handle dc, uint32_t align) { return ::SetTextAlign(ToDc(dc), align); }

bool MoveToEx(Handle dc, int32_t x, int32_t y, Point* previous) {
    POINT before{};
    const bool ok = ::MoveToEx(ToDc(dc), x, y, &before);
    if (ok && previous != nullptr) *previous = {before.x, before.y};
    return ok;
}

// The Windows spooler is the one print server, and it answers for itself: a failing call
// says when it does not.
PrintServerTrouble GetPrintServerTrouble(std::string*) { return PrintServerTrouble::kNone; }

// A Windows printer prints what it gets; a document goes to a file only where the user
// chose one.
bool GetLastDocumentFile(std::string*) { return false; }

}  // namespace platform
