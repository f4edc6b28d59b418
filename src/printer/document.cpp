#include "printer/document.hpp"

#include <string>

#include "printer/device_colors.hpp"
#include "printer/font_table.hpp"
#include "printer/page_metrics.hpp"
#include "printer/printer_state.hpp"
#include "runtime/errors.hpp"

bool PrnBeginDocument(const Text& documentName) {
    // A name whose first byte is NUL counts as empty, as it does for the platform.
    const std::string title = documentName.Empty() || documentName[0] == 0
                                  ? std::string(kPrnDefaultDocumentName)
                                  : std::string(documentName.Data());
    if (PrnCallOs([&] { return platform::StartDocA(gPrinter.dc, title.c_str()); }) <= 0) {
        return false;
    }
    PrnDefaultFont();
    gPrinter.flags &= ~kPrnLandscape;
    const platform::DevMode* mode = gPrinter.devMode.get();
    if (mode != nullptr && (mode->fields & platform::kDmOrientation) &&
        mode->orientation == platform::kDmOrientLandscape) {
        gPrinter.flags |= kPrnLandscape;
    }
    PrnForgetTextMetrics();
    PrnRefreshPageMetrics();
    return true;
}

bool PrnEnsurePage() {
    if (!PrnAttached()) return false;
    if (gPrinter.flags & kPrnPageOpen) return true;
    const platform::Handle dc = gPrinter.dc;
    // Without a device mode (a dialog that returned none) there are no settings to apply.
    if (gPrinter.devMode != nullptr && PrnCallOs([&] {
                                           return platform::ResetDCA(dc, gPrinter.devMode.get());
                                       }) == platform::kNullHandle) {
        return false;
    }
    const FontRecord* font = PrnFindFont(gPrinter.currentFont);
    if (font == nullptr) return false;
    const platform::Handle fontObject = font->printerFont;
    if (PrnCallOs([&] { return platform::SelectObject(dc, fontObject); }) ==
        platform::kNullHandle) {
        return false;
    }
    PrnApplyColors();
    PrnForgetTextMetrics();
    PrnRefreshPageMetrics();
    gPrinter.flags |= kPrnPageOpen;
    if (PrnCallOs([&] { return platform::StartPage(dc); }) <= 0) return false;
    if (PrnCallOs([&] { return platform::SetTextAlign(dc, platform::kTaUpdateCp); }) ==
        platform::kGdiError) {
        return false;
    }
    gPrinter.currentX = 0;
    gPrinter.currentY = 0;
    PrnCallOs([&] { return platform::MoveToEx(dc, 0, 0, nullptr); });
    return true;
}

bool PrnRequirePage() {
    if (PrnEnsurePage()) return true;
    RtRaiseError(kRtErrDeviceIo);
    return false;
}

void PrnFormFeed() {
    if (!PrnAttached()) {
        RtRaiseError(kRtErrDeviceIo);
        return;
    }
    if (gPrinter.flags & kPrnPageOpen) {
        if (PrnCallOs([] { return platform::EndPage(gPrinter.dc); }) <= 0) {
            RtRaiseError(kRtErrDeviceIo);
            return;
        }
    }
    // The device context is not told: the next page start sets the position anyway.
    gPrinter.currentX = 0;
    gPrinter.currentY = 0;
    gPrinter.flags &= ~kPrnPageOpen;
}

void PrnEndDocument() {
    // Both calls are made whatever the first one says, so that the document is closed; a
    // refusal of either means the job did not reach the printer.
    bool handedOver = true;
    if (gPrinter.flags & kPrnPageOpen) {
        handedOver = PrnCallOs([] { return platform::EndPage(gPrinter.dc); }) > 0;
    }
    gPrinter.flags &= ~kPrnPageOpen;
    handedOver = PrnCallOs([] { return platform::EndDoc(gPrinter.dc); }) > 0 && handedOver;
    if (!handedOver) RtRaiseError(kRtErrDeviceIo);
}

void PrnAbortDocument() {
    PrnCallOs([] { return platform::AbortDoc(gPrinter.dc); });
}

Text PrnDocumentFile() {
    std::string name;
    if (!PrnCallOs([&] { return platform::GetLastDocumentFile(&name); })) return Text();
    RtErrorFrame quiet;  // a text that cannot be had is the empty text, without an error
    return Text(std::string_view(name));
}
