#include "app/page.hpp"

#include "app/screen.hpp"
#include "files/system.hpp"
#include "printer/attach.hpp"
#include "printer/drawing_state.hpp"
#include "printer/enumeration.hpp"
#include "printer/page_metrics.hpp"
#include "printer/settings.hpp"
#include "runtime/errors.hpp"
#include "runtime/number.hpp"

namespace {

constexpr int32_t kPrinterNameField = 4;
constexpr int32_t kPortrait = 1;
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;

// A page value as the report shows it: single precision, seven digits.
Text Number(float value) { return NumToText(value, 7); }

}  // namespace

bool AppPrintPage(const AppOffsets& offsets, AppPage& page) {
    (void)offsets;
    const Text documentName = SysTime() + NumToText(0, 15);
    PrnAttach(kPrnAttachDefault, Text(), documentName);
    // The run's own error number: a failure of any earlier step ends the page here too.
    if (RtErrorNumber() != 0 || PrnPrinterName().Empty()) {
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

    PrnTextColor(kBlack);
    PrnBackColor(kWhite);
    page.halfWidth = static_cast<float>(NumRound(page.pageWidth / 2, 0));
    page.halfHeight = static_cast<float>(NumRound(page.pageHeight / 2, 0));

    page.firstPrinterName = PrnPrinterInfo(1, kPrinterNameField);
    // Attaching nothing ends the page and the document: the job goes to the printer.
    PrnAttach(kPrnAttachByName, Text(), Text());
    return true;
}

void AppReport(const AppPage& page, const AppOffsets& offsets) {
    AppWriteLine(
        "    Width =" + Number(page.pageWidth) + "     Height =" + Number(page.pageHeight) +
        "  TopMargin= " + Number(page.topMargin) + "  BottonMargin= " + Number(page.bottomMargin));
    AppWriteLine(" 1/2Width =" + Number(page.halfWidth) +
                 "  1/2Height =" + Number(page.halfHeight));
    AppWriteLine("  Printer = " + page.firstPrinterName + "   X = " + offsets.xText +
                 "   Y = " + offsets.yText);
}
