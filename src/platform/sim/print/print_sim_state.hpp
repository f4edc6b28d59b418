#pragma once
// What the two halves of the simulated printing share: the scripted printers, the live
// objects, the failures asked for and the call log.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "platform/sim/sim.hpp"
#include "platform/types.hpp"

namespace sim::detail {

using sim::kStockFont;

/// The pen and brush every simulated device context starts with, and the stock hollow brush.
inline constexpr platform::Handle kStockPen = 0x0F01;
inline constexpr platform::Handle kStockBrush = 0x0F02;
inline constexpr platform::Handle kHollowBrush = 0x0F03;

/// A pen or a brush, described as drawing calls log it ("pen 0 2 0x808080", "brush solid
/// 0x0000FF", "brush hatch 2 0x0000FF", "brush hollow").
struct SimDrawingObject {
    bool isPen = false;
    std::string description;
};

/// A picture that LoadImageA handed out, at the size it was loaded with.
struct SimLoadedPicture {
    sim::PictureKind kind;
    int32_t width;
    int32_t height;
    uint16_t bitsPixel;
};

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
    platform::Handle pen = kStockPen;
    platform::Handle brush = kStockBrush;
    int32_t polyFillMode = platform::kAlternate;
    /// Pixels set on the page, by (y << 32 | x).
    std::map<uint64_t, uint32_t> pixels;
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
    std::map<platform::Handle, SimDrawingObject> drawingObjects;
    std::vector<sim::Picture> pictures;
    std::map<platform::Handle, SimLoadedPicture> loadedPictures;
    int screenContexts = 0;
    std::map<platform::Handle, platform::DevMode> devModeBlocks;
    std::map<platform::Handle, std::string> devNamesBlocks;
    std::set<platform::Handle> openPrinters;
    platform::Handle nextHandle = 0x1000;
    std::string troubledServer;
    platform::PrintServerTrouble serverTrouble = platform::PrintServerTrouble::kNone;
    std::string lastDocumentFile;
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

/// Logs a device-context call and finds its device context; null when the call was asked
/// to fail or the handle is no device context.
SimDeviceContext* Context(const char* call, platform::Handle dc, const std::string& arguments = "");

/// A selected pen or brush as drawing calls log it.
std::string Describe(platform::Handle object);

/// A size or position saturated at the 32-bit range, as a device's own coordinates are.
int32_t Saturated(int64_t value);

/// A colour as the log shows it: "0x00BBGGRR" in six hex digits.
std::string Hex(uint32_t value);

}  // namespace sim::detail
