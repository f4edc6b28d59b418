#pragma once
// PrinterState: the process-wide record of the attached printer, its document and page, its
// measurements and the drawing settings that the printer operations share.

#include <cstdint>
#include <memory>

#include "platform/print.hpp"
#include "platform/types.hpp"
#include "runtime/os_call.hpp"

/// Bits of PrinterState::flags.
enum PrnFlag : uint32_t {
    kPrnPageOpen = 0x04,
    /// The user window's axes run against the device axes.
    kPrnFlipX = 0x10,
    kPrnFlipY = 0x20,
    /// The device mode asks for landscape pages.
    kPrnLandscape = 0x40,
    /// The user confirmed the print dialog.
    kPrnDialogConfirmed = 0x80,
};

/// The background colour that stands for "transparent", and the text colour that stands for
/// "the current text colour" in drawing calls.
inline constexpr int32_t kPrnTransparent = -2;
inline constexpr int32_t kPrnCurrentColor = -1;

/// The longest printer name that can be attached, in bytes.
inline constexpr uint32_t kPrnMaxNameLength = 261;

/// What the printer operations use of the selected font's metrics, in device pixels.
struct PrnTextMetricSet {
    int32_t aveCharWidth = 0;
    int32_t charHeight = 0;
    int32_t externalLeading = 0;
};

struct PrinterState {
    /// The attached printer's device context; kNullHandle when nothing is attached.
    platform::Handle dc = platform::kNullHandle;
    /// The printer's job settings, owned from attach to the next attach or cancel. Null when
    /// nothing is attached, or when the print dialog returned none (portrait, no settings).
    std::unique_ptr<platform::DevMode> devMode;
    uint32_t flags = 0;
    /// The number of the font record selected on the printer.
    int32_t currentFont = 0;
    /// What the device context held before the first printer font; put back before deletion.
    platform::Handle initialFont = platform::kNullHandle;
    int32_t textColor = 0;
    int32_t backColor = kPrnTransparent;
    int32_t penStyle = 0;
    int32_t penWidth = 0;
    /// The selected font's metrics in device pixels, as last read (see PrnTextMetrics).
    PrnTextMetricSet textMetrics;
    /// Whether the font or the device changed since they were read.
    bool textMetricsStale = false;
    /// The current position in device pixels.
    int32_t currentX = 0;
    int32_t currentY = 0;
    /// The user window: the user coordinates of its low corner and the device pixels per
    /// user unit. factorY == 0 means no user window.
    float originX = 0;
    float originY = 0;
    float factorX = 0;
    float factorY = 0;
    int32_t printableWidth = 0;
    int32_t printableHeight = 0;
    int32_t physicalWidth = 0;
    int32_t physicalHeight = 0;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    /// The last attached printer's name; survives detaching, emptied by a failed attach.
    uint16_t nameLength = 0;
    char name[kPrnMaxNameLength + 1] = {};
};

extern PrinterState gPrinter;

/// Resets every field but the printer name, releasing the device mode.
void PrnResetState();

/// Starts the record afresh, name included; runs once at start-up.
void PrnStateInit();

/// Whether a printer is attached.
inline bool PrnAttached() { return gPrinter.dc != platform::kNullHandle; }

/// Calls the platform inside RtCallOs, which keeps the floating-point mode that printer
/// drivers are known to change; the printer judges success by the returned value.
template <class Call>
auto PrnCallOs(Call&& call) {
    return RtCallOs(std::forward<Call>(call)).value;
}
