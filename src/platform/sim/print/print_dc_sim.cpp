// The simulated printer device contexts: documents and pages recorded per printer, device
// capabilities from the scripted printer, font objects with metrics derived from their
// height, and a log of every call with its arguments.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/print.hpp"
#include "platform/process.hpp"
#include "platform/sim/print/print_sim_state.hpp"
#include "platform/sim/sim.hpp"
#include "platform/sim/sim_internal.hpp"

namespace {

sim::detail::SimPrint print;

using sim::detail::CallFails;
using sim::detail::Context;
using sim::detail::FindDeviceContext;
using sim::detail::Hex;
using sim::detail::LogCall;
using sim::detail::SimDeviceContext;

// One of the state calls: logs it, stores the value and returns the previous one, or
// `failed` for a dead device context.
template <class Value>
Value SetState(const char* call, platform::Handle dc, Value SimDeviceContext::*field, Value value,
               const std::string& arguments, Value failed) {
    SimDeviceContext* context = Context(call, dc, arguments);
    if (context == nullptr) return failed;
    return std::exchange(context->*field, value);
}

sim::PrintedDocument* DocumentOf(sim::detail::SimDeviceContext* context) {
    if (context == nullptr || context->document < 0) return nullptr;
    return &print.documents[context->document];
}

}  // namespace

namespace sim {
namespace detail {

SimPrint& Print() { return print; }

void ResetPrint() { print = SimPrint{}; }

void LogCall(const std::string& call, const std::string& arguments) {
    print.calls.push_back(call + "(" + arguments + ")");
}

bool CallFails(const std::string& call) {
    auto failure = print.failures.find(call);
    if (failure == print.failures.end() || failure->second.times == 0) return false;
    --failure->second.times;
    platform::SetLastError(platform::kErrorGenFailure);
    return true;
}

Printer* FindPrinter(const std::string& name) {
    for (Printer& printer : print.printers) {
        if (printer.info.printerName == name) return &printer;
    }
    return nullptr;
}

SimDeviceContext* FindDeviceContext(platform::Handle dc) {
    auto context = print.deviceContexts.find(dc);
    if (context != print.deviceContexts.end()) return &context->second;
    platform::SetLastError(platform::kErrorInvalidHandle);
    return nullptr;
}

SimDeviceContext* Context(const char* call, platform::Handle dc, const std::string& arguments) {
    LogCall(call, arguments);
    if (CallFails(call)) return nullptr;
    return FindDeviceContext(dc);
}

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", value);
    return text;
}

}  // namespace detail

const std::vector<std::string>& PrintCalls() { return print.calls; }

std::vector<std::string> PrintCallsNamed(std::initializer_list<std::string> names) {
    std::vector<std::string> selected;
    for (const std::string& call : print.calls) {
        const std::string name = call.substr(0, call.find('('));
        for (const std::string& wanted : names) {
            if (name == wanted) selected.push_back(call);
        }
    }
    return selected;
}

void ClearPrintCalls() { print.calls.clear(); }

const std::vector<PrintedDocument>& Documents() { return print.documents; }

int LivePrintObjects() {
    return static_cast<int>(print.deviceContexts.size() + print.fonts.size() +
                            print.drawingObjects.size() + print.loadedPictures.size()) +
           print.screenContexts;
}

}  // namespace sim

namespace platform {

Handle CreateDCA(const char* deviceName, const DevMode* mode) {
    LogCall("CreateDCA", deviceName);
    if (CallFails("CreateDCA") || sim::detail::FindPrinter(deviceName) == nullptr) {
        return kNullHandle;
    }
    const Handle dc = print.nextHandle++;
    sim::detail::SimDeviceContext& context = print.deviceContexts[dc];
    context.printer = deviceName;
    if (mode != nullptr && (mode->fields & kDmOrientation)) context.orientation = mode->orientation;
    return dc;
}

bool DeleteDC(Handle dc) {
    LogCall("DeleteDC");
    if (CallFails("DeleteDC")) return false;
    return print.deviceContexts.erase(dc) == 1;
}

Handle ResetDCA(Handle dc, const DevMode* mode) {
    auto* context = Context(
        "ResetDCA", dc, "orientation=" + std::to_string(mode != nullptr ? mode->orientation : 0));
    if (context == nullptr || context->pageOpen) return kNullHandle;
    if (mode != nullptr && (mode->fields & kDmOrientation))
        context->orientation = mode->orientation;
    return dc;
}

int32_t StartDocA(Handle dc, const char* documentName) {
    auto* context = Context("StartDocA", dc, documentName);
    if (context == nullptr || context->document >= 0) return 0;
    print.documents.push_back({context->printer, documentName, {}, false, false});
    context->document = static_cast<int>(print.documents.size() - 1);
    return context->document + 1;
}

int32_t EndDoc(Handle dc) {
    auto* context = Context("EndDoc", dc);
    sim::PrintedDocument* document = DocumentOf(context);
    if (document == nullptr || context->pageOpen) return 0;
    context->document = -1;
    const sim::Printer& printer = *sim::detail::FindPrinter(context->printer);
    // A document without pages is no job: nothing reaches the printer.
    const bool job = !document->pageOrientations.empty();
    if (printer.endDocError != 0 && job) {
        platform::SetLastError(printer.endDocError);
        return 0;
    }
    document->ended = true;
    if (job)
        sim::detail::Print().lastDocumentFile = printer.writesFiles ? document->title + ".pdf" : "";
    return 1;
}

bool GetLastDocumentFile(std::string* name) {
    *name = sim::detail::Print().lastDocumentFile;
    return !name->empty();
}

int32_t AbortDoc(Handle dc) {
    auto* context = Context("AbortDoc", dc);
    sim::PrintedDocument* document = DocumentOf(context);
    if (document == nullptr) return 0;
    document->aborted = true;
    context->document = -1;
    context->pageOpen = false;
    return 1;
}

int32_t StartPage(Handle dc) {
    auto* context = Context("StartPage", dc);
    sim::PrintedDocument* document = DocumentOf(context);
    if (document == nullptr || context->pageOpen) return 0;
    document->pageOrientations.push_back(context->orientation);
    context->pageOpen = true;
    return 1;
}

int32_t EndPage(Handle dc) {
    auto* context = Context("EndPage", dc);
    if (context == nullptr || !context->pageOpen) return 0;
    context->pageOpen = false;
    return 1;
}

int32_t GetDeviceCaps(Handle dc, DeviceCap index) {
    auto* context = FindDeviceContext(dc);
    if (context == nullptr) return 0;
    const sim::Printer& printer = *sim::detail::FindPrinter(context->printer);
    const bool turned = context->orientation == kDmOrientLandscape;
    auto across = [&](int32_t portraitX, int32_t portraitY) {
        return turned ? portraitY : portraitX;
    };
    switch (index) {
        case kHorzRes:
            return across(printer.printableWidth, printer.printableHeight);
        case kVertRes:
            return across(printer.printableHeight, printer.printableWidth);
        case kPhysicalWidth:
            return across(printer.physicalWidth, printer.physicalHeight);
        case kPhysicalHeight:
            return across(printer.physicalHeight, printer.physicalWidth);
        case kPhysicalOffsetX:
            return across(printer.offsetX, printer.offsetY);
        case kPhysicalOffsetY:
            return across(printer.offsetY, printer.offsetX);
        case kLogPixelsX:
            return across(printer.dpiX, printer.dpiY);
        case kLogPixelsY:
            return across(printer.dpiY, printer.dpiX);
        case kHorzSize:
            return across(printer.printableWidth * 254 / printer.dpiX / 10,
                          printer.printableHeight * 254 / printer.dpiY / 10);
        case kVertSize:
            return across(printer.printableHeight * 254 / printer.dpiY / 10,
                          printer.printableWidth * 254 / printer.dpiX / 10);
    }
    return 0;
}

// Metrics follow the font's height h (the character height when negative): ascent h,
// descent h/4, internal leading h/4, external leading h/10, average width h/2. The stock
// font is 8 pixels high.
bool GetTextMetricsA(Handle dc, TextMetric* metric) {
    auto* context = Context("GetTextMetricsA", dc);
    if (context == nullptr) return false;
    int32_t height = 8;
    auto font = print.fonts.find(context->font);
    if (font != print.fonts.end())
        height = sim::detail::Saturated(std::abs(int64_t{font->second.height}));
    *metric = TextMetric{};
    metric->ascent = height;
    metric->descent = height / 4;
    metric->height = sim::detail::Saturated(int64_t{height} + height / 4);
    metric->internalLeading = height / 4;
    metric->externalLeading = height / 10;
    metric->aveCharWidth = height / 2;
    metric->maxCharWidth = height;
    return true;
}

uint32_t SetTextColor(Handle dc, uint32_t color) {
    return SetState("SetTextColor", dc, &SimDeviceContext::textColor, color, Hex(color),
                    kClrInvalid);
}

uint32_t SetBkColor(Handle dc, uint32_t color) {
    return SetState("SetBkColor", dc, &SimDeviceContext::bkColor, color, Hex(color), kClrInvalid);
}

int32_t SetBkMode(Handle dc, int32_t mode) {
    return SetState("SetBkMode", dc, &SimDeviceContext::bkMode, mode, std::to_string(mode), 0);
}

int32_t SetROP2(Handle dc, int32_t mode) {
    return SetState("SetROP2", dc, &SimDeviceContext::rop2, mode, std::to_string(mode), 0);
}

uint32_t SetTextAlign(Handle dc, uint32_t align) {
    return SetState("SetTextAlign", dc, &SimDeviceContext::textAlign, align, std::to_string(align),
                    kGdiError);
}

bool MoveToEx(Handle dc, int32_t x, int32_t y, Point* previous) {
    auto* context = Context("MoveToEx", dc, std::to_string(x) + "," + std::to_string(y));
    if (context == nullptr) return false;
    if (previous != nullptr) *previous = context->position;
    context->position = {x, y};
    return true;
}

}  // namespace platform
