#pragma once
// Printer device contexts on POSIX. A device context draws with cairo into a vector PDF held
// in memory, one PDF page per page at the device's resolution (one unit is one device pixel,
// (0, 0) the top left of the printable area, every page clipped to that area); the document
// goes to its destination when it ends and is thrown away when it is aborted, so an abort
// sends nothing.

#include <cairo-pdf.h>
#include <cairo.h>

#include <memory>
#include <string>

#include "platform/posix/print/destination_posix.hpp"
#include "platform/posix/print/page_edges_posix.hpp"
#include "platform/posix/print/print_posix.hpp"
#include "platform/print.hpp"
#include "platform/print_drawing.hpp"

namespace platform::posix {

struct PrintDeviceContext {
    std::shared_ptr<const Destination> destination;

    /// The settings the next page starts with (CreateDC, then every ResetDC).
    DevMode mode;
    PageGeometry geometry{};

    // The document in progress.
    bool inDocument = false;
    bool pageOpen = false;
    int pages = 0;
    std::string title;
    std::string pdf;
    cairo_surface_t* surface = nullptr;
    /// Draws on the open page in device pixels.
    cairo_t* cairo = nullptr;

    // The drawing state that GDI keeps per device context.
    uint32_t textColor = 0;
    uint32_t bkColor = 0xFFFFFF;
    int32_t bkMode = kOpaque;
    int32_t rop2 = 13;
    uint32_t textAlign = 0;
    Point position{0, 0};
    Handle font = kStockFont;
    Handle pen = kStockPenHandle;
    Handle brush = kStockBrushHandle;
    int32_t polyFillMode = kAlternate;
};

/// The device context of a handle, or null (with kErrorInvalidHandle).
PrintDeviceContext* FindPrintDeviceContext(Handle dc);

/// Whether any device context has the object selected.
bool IsSelectedAnywhere(Handle object);

/// The device context of a handle with a page open to draw on, or null (with
/// kErrorInvalidHandle or kErrorInvalidParameter).
PrintDeviceContext* FindPageContext(Handle dc);

}  // namespace platform::posix
