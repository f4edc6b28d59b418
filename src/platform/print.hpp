#pragma once
// Printing: the spooler (enumeration, the default printer and its dialog, device modes and
// capabilities) and printer device contexts (documents, pages, objects, drawing state).
// Calls that can fail return false, a null handle or a count of 0 or less, as the Win32 call
// of the same name does, and leave a Win32 error code for GetLastError.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.hpp"

namespace platform {

// ---- Enumeration ----------------------------------------------------------------------------

/// EnumPrinters flags.
inline constexpr uint32_t kPrinterEnumLocal = 0x2;
inline constexpr uint32_t kPrinterEnumConnections = 0x4;
inline constexpr uint32_t kPrinterEnumNetwork = 0x40;

/// The text fields of a level-2 printer record (PRINTER_INFO_2A), in the record's order.
struct PrinterInfo2 {
    std::string serverName;
    std::string printerName;
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor;
    std::string datatype;
    std::string parameters;
};

/// The records one enumeration returned, read-only as the records in EnumPrintersA's buffer
/// are. A backend may hand the same list to the calls of a moment, so that a caller that
/// enumerates once per printer does not make the spooler list every printer each time.
using PrinterList = std::shared_ptr<const std::vector<PrinterInfo2>>;

/// EnumPrintersA at level 2: every printer the flags select, in the spooler's order. An empty
/// list is a success; a successful call always sets a list.
bool EnumPrintersA(uint32_t flags, PrinterList* printers);

/// Why the print server the printers come from was given up during this run.
enum class PrintServerTrouble : uint8_t {
    kNone,
    kSilent,    // it did not answer within the bound, or the user stopped waiting
    kUnusable,  // its answers made no sense, even when asked again
    kPassword,  // it asked for a password, and the system holds no credentials for it
};

/// The print server the printers come from, when the run gave it up: its printers are then
/// missing from every list, and the default printer is the platform's own. kNone when it
/// answered, or when the spooler answers for itself (Windows).
PrintServerTrouble GetPrintServerTrouble(std::string* server);

// ---- Device modes ---------------------------------------------------------------------------

/// dmFields bits of the settings a device mode may carry.
inline constexpr uint32_t kDmOrientation = 0x1;
inline constexpr uint32_t kDmPaperSize = 0x2;
inline constexpr uint32_t kDmPaperLength = 0x4;
inline constexpr uint32_t kDmPaperWidth = 0x8;
inline constexpr uint32_t kDmCopies = 0x100;
inline constexpr uint32_t kDmDefaultSource = 0x200;
inline constexpr uint32_t kDmPrintQuality = 0x400;
inline constexpr uint32_t kDmColor = 0x800;
inline constexpr uint32_t kDmDuplex = 0x1000;
inline constexpr uint32_t kDmCollate = 0x8000;

inline constexpr int16_t kDmOrientPortrait = 1;
inline constexpr int16_t kDmOrientLandscape = 2;

/// A printer's job settings (DEVMODEA): the fields this program reads and changes, and the
/// whole structure as the driver made it (public part and private bytes), which only the
/// Windows backend interprets and which is handed back to the driver with the fields above
/// written into it.
struct DevMode {
    uint32_t fields = 0;
    int16_t orientation = 0;
    int16_t paperSize = 0;
    int16_t paperLength = 0;  // tenths of a millimetre
    int16_t paperWidth = 0;   // tenths of a millimetre
    int16_t copies = 0;
    int16_t defaultSource = 0;
    int16_t printQuality = 0;  // -1..-4 draft to high, or a resolution in dots per inch
    int16_t color = 0;         // 1 monochrome, 2 colour
    int16_t duplex = 0;        // 1 simplex, 2 long edge, 3 short edge
    int16_t collate = 0;
    std::vector<uint8_t> driverData;
};

/// OpenPrinterA with no defaults; ClosePrinter.
bool OpenPrinterA(const char* printerName, Handle* printer);
bool ClosePrinter(Handle printer);

/// DocumentPropertiesA's modes.
inline constexpr uint32_t kDmOutBuffer = 2;
/// DocumentPropertiesA (no window, printer, name, output, no input, mode): with mode 0 the
/// size of the printer's device mode in bytes; with kDmOutBuffer the printer's current device
/// mode in `output`. A result of 0 or less is a failure.
int32_t DocumentPropertiesA(Handle printer, const char* printerName, DevMode* output,
                            uint32_t mode);

/// DeviceCapabilitiesA's queries.
enum DeviceCapability : uint16_t {
    kDcPapers = 2,
    kDcBins = 6,
    kDcDuplex = 7,
    kDcBinNames = 12,
    kDcPaperNames = 16,
    kDcOrientation = 17,
    kDcCopies = 18,
};
/// Slot sizes of the name lists.
inline constexpr uint32_t kBinNameSlot = 24;
inline constexpr uint32_t kPaperNameSlot = 64;
/// DeviceCapabilitiesA (printer name, no port, query, output, no device mode): the count or
/// value the query asks for, -1 on failure. With `output` the list is written there as
/// Windows lays it out: 16-bit numbers for papers and bins, zero-padded name slots of
/// kPaperNameSlot or kBinNameSlot bytes for the names.
int32_t DeviceCapabilitiesA(const char* printerName, DeviceCapability query, void* output);

// ---- The default printer and the print dialog -------------------------------------------------

/// PRINTDLGA flags.
inline constexpr uint32_t kPdNoSelection = 0x4;
inline constexpr uint32_t kPdNoPageNums = 0x8;
inline constexpr uint32_t kPdReturnDc = 0x100;
inline constexpr uint32_t kPdReturnDefault = 0x400;
inline constexpr uint32_t kPdEnablePrintHook = 0x1000;
inline constexpr uint32_t kPdUseDevModeCopiesAndCollate = 0x40000;
inline constexpr uint32_t kPdHidePrintToFile = 0x100000;

/// CommDlgExtendedError's code for "no default printer".
inline constexpr uint32_t kPdErrNoDefaultPrinter = 0x1008;

/// Window messages the print hook looks at, and the OK button's identifier.
inline constexpr uint32_t kWmInitDialog = 0x110;
inline constexpr uint32_t kWmCommand = 0x111;
inline constexpr uint32_t kIdOk = 1;

/// The dialog hook: called with each message the dialog receives; 0 leaves the message to
/// the dialog.
using PrintHookProc = uintptr_t (*)(Handle dialog, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam);

/// What PrintDlgA takes and returns (PRINTDLGA). The device-mode and device-names blocks are
/// global memory that the caller reads with the calls below and frees with GlobalFreeBlock.
struct PrintDialog {
    uint32_t flags = 0;
    PrintHookProc hook = nullptr;
    Handle dc = kNullHandle;
    Handle devMode = kNullHandle;
    Handle devNames = kNullHandle;
};

/// PrintDlgA: false when the dialog was cancelled or failed (CommDlgExtendedError tells
/// which: 0 for a cancel).
bool PrintDlgA(PrintDialog* dialog);
uint32_t CommDlgExtendedError();
bool SetForegroundWindow(Handle window);

/// Locks a DEVNAMES block, copies the device name at its wDeviceOffset and unlocks it.
bool ReadDevNamesDevice(Handle devNames, std::string* deviceName);
/// Locks a DEVMODEA block, copies dmSize + dmDriverExtra bytes of it and unlocks it.
bool ReadDevModeBlock(Handle devModeBlock, DevMode* mode);
/// GlobalFree of a block that PrintDlgA returned.
void GlobalFreeBlock(Handle block);

// ---- Device contexts ------------------------------------------------------------------------

/// CreateDCA (no driver, device, no output, device mode); null on failure.
Handle CreateDCA(const char* deviceName, const DevMode* mode);
bool DeleteDC(Handle dc);
/// ResetDCA: the device context with the device mode applied from the next page on; null on
/// failure.
Handle ResetDCA(Handle dc, const DevMode* mode);

/// StartDocA with DOCINFOA {size, document name, no output, no data type, no flags}: the
/// job's identifier, or 0 or less on failure.
int32_t StartDocA(Handle dc, const char* documentName);
/// The other document and page calls: a result of 0 or less is a failure. EndDoc hands the
/// document to the printer; a document without pages reaches no printer.
int32_t EndDoc(Handle dc);
/// Where the last document that reached its destination went, when that destination
/// writes files instead of printing (the POSIX "PDF file"): the file's name in the
/// directory that was current then. False when it went to a printer, or none has ended.
bool GetLastDocumentFile(std::string* name);
int32_t AbortDoc(Handle dc);
int32_t StartPage(Handle dc);
int32_t EndPage(Handle dc);

/// GetDeviceCaps indices.
enum DeviceCap : int32_t {
    kHorzSize = 4,
    kVertSize = 6,
    kHorzRes = 8,
    kVertRes = 10,
    kLogPixelsX = 88,
    kLogPixelsY = 90,
    kPhysicalWidth = 110,
    kPhysicalHeight = 111,
    kPhysicalOffsetX = 112,
    kPhysicalOffsetY = 113,
};
/// GetDeviceCaps: the value, 0 for an index the device does not know.
int32_t GetDeviceCaps(Handle dc, DeviceCap index);

// ---- Objects --------------------------------------------------------------------------------

/// A font description (LOGFONTA).
struct LogFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

/// The metrics of the font selected into a device context (TEXTMETRICA), in device pixels.
struct TextMetric {
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t aveCharWidth = 0;
    int32_t maxCharWidth = 0;
    int32_t weight = 0;
};

/// CreateFontIndirectA: null on failure.
Handle CreateFontIndirectA(const LogFont& font);
/// SelectObject: the object of the same kind that was selected before, null on failure.
Handle SelectObject(Handle dc, Handle object);
bool DeleteObject(Handle object);
bool GetTextMetricsA(Handle dc, TextMetric* metric);

// ---- Drawing state --------------------------------------------------------------------------

/// The failure results of the state calls.
inline constexpr uint32_t kClrInvalid = 0xFFFFFFFF;
inline constexpr uint32_t kGdiError = 0xFFFFFFFF;

/// SetBkMode's modes.
inline constexpr int32_t kTransparent = 1;
inline constexpr int32_t kOpaque = 2;

/// SetTextAlign's TA_UPDATECP: text starts at, and moves, the current position.
inline constexpr uint32_t kTaUpdateCp = 1;

/// Each returns the previous value: kClrInvalid, 0, 0 or kGdiError on failure.
uint32_t SetTextColor(Handle dc, uint32_t color);
uint32_t SetBkColor(Handle dc, uint32_t color);
int32_t SetBkMode(Handle dc, int32_t mode);
int32_t SetROP2(Handle dc, int32_t mode);
uint32_t SetTextAlign(Handle dc, uint32_t align);

/// A point in device pixels.
struct Point {
    int32_t x;
    int32_t y;
};
/// MoveToEx: sets the current position; the previous one goes to `previous` when given.
bool MoveToEx(Handle dc, int32_t x, int32_t y, Point* previous);

}  // namespace platform
