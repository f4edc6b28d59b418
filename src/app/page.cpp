#include "app/page.hpp"

#include "app/screen.hpp"
#include "app/server_trouble.hpp"
#include "files/system.hpp"
#include "printer/attach.hpp"
#include "printer/document.hpp"
#include "printer/drawing_state.hpp"
#include "printer/drawing_tools.hpp"
#include "printer/enumeration.hpp"
#include "printer/fonts.hpp"
#include "printer/page_metrics.hpp"
#include "printer/settings.hpp"
#include "printer/shapes.hpp"
#include "printer/text.hpp"
#include "runtime/errors.hpp"
#include "runtime/number.hpp"

namespace {

constexpr int32_t kPrinterNameField = 4;
constexpr int32_t kPortrait = 1;
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kGrey = 0x808080;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kPenWidth = 2;
constexpr int32_t kDashed = 1;
constexpr int32_t kDotted = 2;
// The red guide lines stand this far above and below the horizontal cut line.
constexpr int kGuideDistance = 1500;

// Where the drawing goes. X shifts device y and Y shifts device x for the lines, circles and
// caption, as the axis diagram shows; the marks take them the other way round. Sums of a
// single-precision offset and whole numbers are exact in the double coordinates.
struct Layout {
    double xOffset;
    double yOffset;
    double halfWidth;
    double halfHeight;
    double width;
    double height;
};

void Line(double x1, double y1, double x2, double y2, int32_t color) {
    PrnMoveTo(x1, y1, false);
    PrnLineTo(x2, y2, false, color);
}

void DottedPen() {
    PrnPenWidth(kPenWidth);
    PrnPenStyle(kDotted);
}

// Four short grey marks at fixed places, whatever the page's size.
void DrawMarks(const Layout& at) {
    for (const double markY : {1130.0, 2240.0}) {
        Line(at.xOffset + 25, at.yOffset + markY, at.xOffset + 250, at.yOffset + markY, kGrey);
        Line(at.xOffset + 2300, at.yOffset + markY, at.xOffset + 2525, at.yOffset + markY, kGrey);
    }
}

void DrawCutAndGuideLines(const Layout& at) {
    const double crossY = at.xOffset + at.halfHeight;
    const double crossX = at.yOffset + at.halfWidth;
    Line(0, crossY, at.width, crossY, kBlack);
    Line(crossX, 0, crossX, at.height, kBlack);
    for (const int direction : {+1, -1}) {
        DottedPen();
        const double guideY = crossY + direction * kGuideDistance;
        Line(0, guideY, at.width, guideY, kRed);
    }
}

// Circles of 50, 100, 150 and 200 pixels around the crossing of the cut lines.
void DrawCircles(const Layout& at) {
    const double centreX = at.yOffset + at.halfWidth;
    const double centreY = at.xOffset + at.halfHeight;
    for (const int radius : {25, 50, 75, 100}) {
        PrnBox(centreX - radius, centreY - radius, centreX + radius, centreY + radius, kPrnEllipse,
               kGrey, kPrnHollow, kPrnFillSolid);
    }
}

// Text from a number that the report shows: single precision, seven digits.
Text Number(float value) { return NumToText(value, 7); }

}  // namespace

bool AppPrintPage(const AppOffsets& offsets, AppPage& page, AppFault& fault) {
    const Text documentName = SysTime() + NumToText(0, 15);
    PrnAttach(kPrnAttachDefault, Text(), documentName);
    // The run's own error number: a failure of any earlier step ends the page here too, and
    // was noted when it happened.
    if (RtErrorNumber() != 0 || PrnPrinterName().Empty()) {
        AppNoteFault(fault, AppFaultSource::kNoPrinter, RtErrorNumber());
        PrnCancel();
        return false;
    }
    const PrnPair size = PrnClientSize();
    page.pageWidth = static_cast<float>(size.x);
    page.pageHeight = static_cast<float>(size.y);
    const PrnMarginSet margins = PrnMargins();
    page.topMargin = static_cast<float>(margins.top);
    page.bottomMargin = static_cast<float>(margins.bottom);
    // The measurements above stay those of the printer's own orientation.
    PrnSetAttribute(kPrnAttrOrientation, kPortrait);

    PrnTextColor(kBlack);  // the first drawing call opens the page
    PrnBackColor(kWhite);
    PrnPenWidth(kPenWidth);
    PrnPenStyle(kDotted);
    PrnPenWidth(kPenWidth);
    PrnPenStyle(kDashed);
    const Layout at{offsets.xOffset, offsets.yOffset, 0, 0, page.pageWidth, page.pageHeight};
    DrawMarks(at);

    DottedPen();
    page.halfWidth = static_cast<float>(NumRound(page.pageWidth / 2, 0));
    page.halfHeight = static_cast<float>(NumRound(page.pageHeight / 2, 0));
    const Layout centred{at.xOffset,      at.yOffset, page.halfWidth,
                         page.halfHeight, at.width,   at.height};
    DrawCutAndGuideLines(centred);
    DottedPen();
    if (!offsets.fromSettingsFile) DrawCircles(centred);

    PrnFontSelect(PrnFontNew("Arial", 8.0f, 0, 0, 0, 0));
    PrnTextColor(kGrey);
    PrnBackColor(kWhite);
    // The caption starts 125 pixels right of and 25 below the crossing of the cut lines.
    PrnMoveTo(at.yOffset + centred.halfWidth + 125, at.xOffset + centred.halfHeight + 25, false);
    if (!offsets.fromSettingsFile) {
        PrnPrintText("50,100,150,200 Circles");
        PrnNewLine();
    }

    page.firstPrinterName = PrnPrinterInfo(1, kPrinterNameField);
    // Attaching nothing ends the page and the document: the job goes to the printer. Errors
    // of the drawing above are ignored; one of the release means the page never arrived.
    const int32_t releaseError = AppStepError([] { PrnAttach(kPrnAttachByName, Text(), Text()); });
    if (releaseError != 0) {
        AppNoteFault(fault, AppFaultSource::kJobNotHandedOver, releaseError);
        return false;
    }
    page.serverTrouble = PrnServerTrouble(page.troubledServer);
    if (page.serverTrouble != PrintServerTrouble::kNone) page.documentFile = PrnDocumentFile();
    return true;
}

void AppReport(const AppPage& page, const AppOffsets& offsets) {
    AppWriteLine(
        "    Width =" + Number(page.pageWidth) + "     Height =" + Number(page.pageHeight) +
        "  TopMargin= " + Number(page.topMargin) + "  BottonMargin= " + Number(page.bottomMargin));
    AppWriteLine(" 1/2Width =" + Number(page.halfWidth) +
                 "  1/2Height =" + Number(page.halfHeight));
    AppWriteLine("  Printer = " + AppShownAsData(page.firstPrinterName) +
                 "   X = " + offsets.xText + "   Y = " + offsets.yText);
    // A page that went to a file because the print server failed is where the user would
    // not look for it.
    if (!page.documentFile.Empty()) {
        AppWriteLine(AppPageInFileLine(page.serverTrouble, page.troubledServer, page.documentFile));
    }
}
