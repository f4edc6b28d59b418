#include "platform/posix/print/print_dc_posix.hpp"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/posix/print/font_config_posix.hpp"
#include "platform/posix/print/page_groups_posix.hpp"
#include "platform/posix/print/print_job_posix.hpp"
#include "platform/posix/print/server_connection_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

std::map<Handle, std::unique_ptr<PrintDeviceContext>> deviceContexts;

constexpr double kPointsPerInch = 72;

bool Landscape(const DevMode& mode) {
    return (mode.fields & kDmOrientation) && mode.orientation == kDmOrientLandscape;
}

void ApplyMode(PrintDeviceContext* context, const DevMode& mode) {
    context->mode = mode;
    const Destination& destination = *context->destination;
    context->geometry = GeometryOf(destination.PaperFor(mode).area, destination.DpiX(),
                                   destination.DpiY(), Landscape(mode));
}

cairo_status_t AppendToPdf(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The page size in whole PDF points, as printers describe their papers (A4 is 595 x 842).
// A print server places a page on its paper from the bottom edge up, so a page a fraction of
// a point shorter than the paper would move every device pixel off the printer's grid.
double PointsAcross(const PageGeometry& geometry) {
    return std::round(geometry.physicalWidth * kPointsPerInch / geometry.dpiX);
}
double PointsDown(const PageGeometry& geometry) {
    return std::round(geometry.physicalHeight * kPointsPerInch / geometry.dpiY);
}

void DiscardDocument(PrintDeviceContext* context) {
    if (context->cairo != nullptr) cairo_destroy(context->cairo);
    if (context->surface != nullptr) cairo_surface_destroy(context->surface);
    context->cairo = nullptr;
    context->surface = nullptr;
    context->pdf.clear();
    context->inDocument = false;
    context->pageOpen = false;
    context->pages = 0;
}

// The name of the file the last delivered document went to; empty when it went to a queue.
std::string lastDocumentFile;

// Writes the finished PDF as a new file in the current directory; false with the last error
// set on failure.
bool WriteToFile(PrintDeviceContext* context) {
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == nullptr) {
        SetLastError(kErrorPathNotFound);
        return false;
    }
    std::string path;
    if (!WritePdfFile(directory, context->title, context->pdf, &path)) return false;
    lastDocumentFile = path.substr(std::string_view(directory).size() + 1);
    return true;
}

// Sends the finished PDF to the destination; false with the last error set on failure.
bool Deliver(PrintDeviceContext* context) {
    // A document qpdf cannot read is still a page a printer can print, as a picture.
    RemovePageGroups(&context->pdf);
    if (context->destination->IsPdfFile()) return WriteToFile(context);
    switch (SubmitJob(*context->destination, context->title, context->mode, context->pdf)) {
        case Submitted::kTaken:
            lastDocumentFile.clear();
            return true;
        case Submitted::kRefused:
            return false;
        case Submitted::kServerFailed:
            // A server that did not answer in time, or whose answers made no sense, does not
            // lose the page: it goes to a file, as when the server fails before the job. One
            // that wants a password has turned the job down.
            return TroubleWithServer() != PrintServerTrouble::kPassword && WriteToFile(context);
    }
    return false;
}

int32_t Failed(uint32_t code) {
    SetLastError(code);
    return 0;
}

}  // namespace

PrintDeviceContext* FindPrintDeviceContext(Handle dc) {
    auto context = deviceContexts.find(dc);
    if (context != deviceContexts.end()) return context->second.get();
    SetLastError(kErrorInvalidHandle);
    return nullptr;
}

bool IsSelectedAnywhere(Handle object) {
    for (const auto& [dc, context] : deviceContexts) {
        if (context->font == object || context->pen == object || context->brush == object) {
            return true;
        }
    }
    return false;
}

PrintDeviceContext* FindPageContext(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context != nullptr && !context->pageOpen) {
        SetLastError(kErrorInvalidParameter);
        return nullptr;
    }
    return context;
}

}  // namespace platform::posix

namespace platform {

using posix::FindPrintDeviceContext;
using posix::PrintDeviceContext;

Handle CreateDCA(const char* deviceName, const DevMode* mode) {
    auto context = std::make_unique<PrintDeviceContext>();
    context->destination = posix::Destination::Open(deviceName);
    if (context->destination == nullptr) {
        SetLastError(kErrorInvalidPrinterName);
        return kNullHandle;
    }
    // A printer that could not have its fonts (the memory ran out while they were set up)
    // could not print a page's text: it is no printer to draw on.
    if (!posix::FontsReady()) {
        SetLastError(kErrorNotEnoughMemory);
        return kNullHandle;
    }
    posix::ApplyMode(context.get(),
                     mode != nullptr ? *mode : context->destination->DefaultDevMode());
    const Handle dc = posix::NewPrintHandle();
    posix::deviceContexts[dc] = std::move(context);
    return dc;
}

bool DeleteDC(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return false;
    posix::DiscardDocument(context);
    posix::deviceContexts.erase(dc);
    return true;
}

Handle ResetDCA(Handle dc, const DevMode* mode) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return kNullHandle;
    if (context->pageOpen || mode == nullptr) {
        SetLastError(kErrorInvalidParameter);
        return kNullHandle;
    }
    posix::ApplyMode(context, *mode);
    return dc;
}

int32_t StartDocA(Handle dc, const char* documentName) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (context->inDocument) return posix::Failed(kErrorBusy);
    context->title = documentName;
    context->surface = cairo_pdf_surface_create_for_stream(posix::AppendToPdf, &context->pdf,
                                                           posix::PointsAcross(context->geometry),
                                                           posix::PointsDown(context->geometry));
    if (cairo_surface_status(context->surface) != CAIRO_STATUS_SUCCESS) {
        posix::DiscardDocument(context);
        return posix::Failed(kErrorNotEnoughMemory);
    }
    // What cairo cannot keep as vectors it rasterises at the printer's resolution.
    cairo_surface_set_fallback_resolution(context->surface, context->geometry.dpiX,
                                          context->geometry.dpiY);
    context->cairo = cairo_create(context->surface);
    context->inDocument = true;
    return 1;
}

int32_t EndDoc(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (!context->inDocument || context->pageOpen) return posix::Failed(kErrorInvalidParameter);
    // A document without pages is no job: nothing reaches the destination.
    bool delivered = true;
    if (context->pages > 0) {
        cairo_destroy(context->cairo);
        context->cairo = nullptr;
        cairo_surface_finish(context->surface);
        if (cairo_surface_status(context->surface) != CAIRO_STATUS_SUCCESS) {
            SetLastError(kErrorGenFailure);
            delivered = false;
        } else {
            delivered = posix::Deliver(context);
        }
    }
    posix::DiscardDocument(context);
    return delivered ? 1 : 0;
}

bool GetLastDocumentFile(std::string* name) {
    *name = posix::lastDocumentFile;
    return !name->empty();
}

int32_t AbortDoc(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (!context->inDocument) return posix::Failed(kErrorInvalidParameter);
    posix::DiscardDocument(context);
    return 1;
}

int32_t StartPage(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (!context->inDocument || context->pageOpen) return posix::Failed(kErrorInvalidParameter);
    // Each page takes its own size, so a landscape page is a wide page, not a turned one.
    const posix::PageGeometry& geometry = context->geometry;
    cairo_pdf_surface_set_size(context->surface, posix::PointsAcross(geometry),
                               posix::PointsDown(geometry));
    cairo_identity_matrix(context->cairo);
    cairo_scale(context->cairo, posix::kPointsPerInch / geometry.dpiX,
                posix::kPointsPerInch / geometry.dpiY);
    cairo_translate(context->cairo, geometry.offsetX, geometry.offsetY);
    // A printer's device context draws on the printable area only: what a drawing operation
    // puts past its edges leaves no ink in the margins, whichever operation it was.
    cairo_reset_clip(context->cairo);
    cairo_new_path(context->cairo);
    cairo_rectangle(context->cairo, 0, 0, geometry.printableWidth, geometry.printableHeight);
    cairo_clip(context->cairo);
    context->pageOpen = true;
    ++context->pages;
    return 1;
}

int32_t EndPage(Handle dc) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    if (!context->pageOpen) return posix::Failed(kErrorInvalidParameter);
    cairo_show_page(context->cairo);
    context->pageOpen = false;
    return cairo_status(context->cairo) == CAIRO_STATUS_SUCCESS ? 1
                                                                : posix::Failed(kErrorGenFailure);
}

int32_t GetDeviceCaps(Handle dc, DeviceCap index) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return 0;
    const posix::PageGeometry& geometry = context->geometry;
    switch (index) {
        case kHorzSize:
            return geometry.printableWidth * 254 / (geometry.dpiX * 10);
        case kVertSize:
            return geometry.printableHeight * 254 / (geometry.dpiY * 10);
        case kHorzRes:
            return geometry.printableWidth;
        case kVertRes:
            return geometry.printableHeight;
        case kLogPixelsX:
            return geometry.dpiX;
        case kLogPixelsY:
            return geometry.dpiY;
        case kPhysicalWidth:
            return geometry.physicalWidth;
        case kPhysicalHeight:
            return geometry.physicalHeight;
        case kPhysicalOffsetX:
            return geometry.offsetX;
        case kPhysicalOffsetY:
            return geometry.offsetY;
    }
    return 0;
}

uint32_t SetTextColor(Handle dc, uint32_t color) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    return context != nullptr ? std::exchange(context->textColor, color) : kClrInvalid;
}

uint32_t SetBkColor(Handle dc, uint32_t color) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    return context != nullptr ? std::exchange(context->bkColor, color) : kClrInvalid;
}

int32_t SetBkMode(Handle dc, int32_t mode) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    return context != nullptr ? std::exchange(context->bkMode, mode) : 0;
}

int32_t SetROP2(Handle dc, int32_t mode) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    return context != nullptr ? std::exchange(context->rop2, mode) : 0;
}

uint32_t SetTextAlign(Handle dc, uint32_t align) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    return context != nullptr ? std::exchange(context->textAlign, align) : kGdiError;
}

bool MoveToEx(Handle dc, int32_t x, int32_t y, Point* previous) {
    PrintDeviceContext* context = FindPrintDeviceContext(dc);
    if (context == nullptr) return false;
    if (previous != nullptr) *previous = context->position;
    context->position = {x, y};
    return true;
}

}  // namespace platform
