// Drives the printer subsystem on the real platform, one step per argument, for the print
// server tests; each step prints one line to standard output:
//   list            "printer: NAME" for every printer, in enumeration order
//   attach          attaches the default printer with the job title "virodaro probe"
//   attach:NAME     attaches that printer by name
//   measure         "measure W H L T R B PW PH DPIX DPIY ORIENTATION" of the attached printer
//   portrait        sets portrait orientation
//   page            starts a page (a text colour is a page setting)
//   feed            ends the page
//   release         releases the printer (attaching an empty name), which prints the job
//   cancel          discards the job
//   calibration     draws the program's page (offsets 0)
//   shapes          draws the page of the other drawing operations
//   picture:PATH    draws the picture file into the box (100, 3300)-(299, 3399)
//   edges:PATH      draws every operation across every edge of the printable area, with
//                   the picture file among them
//   window-edges:PATH  the same page drawn through a user window that shifts every point
//   caption         "caption X Y WIDTH HEIGHT ASCENT": where the calibration page's caption
//                   starts, its extent and the font's ascent, in device pixels
// Each step's line ends with the runtime error number it left ("error=N").
// It starts and ends the process the way the program does.

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/print.hpp"
#include "platform/print_drawing.hpp"
#include "platform/process.hpp"
#include "printer/attach.hpp"
#include "printer/document.hpp"
#include "printer/drawing_state.hpp"
#include "printer/enumeration.hpp"
#include "printer/page_metrics.hpp"
#include "printer/settings.hpp"
#include "runtime/errors.hpp"
#include "runtime/number.hpp"
#include "runtime/startup.hpp"
#include "test_page.hpp"

namespace {

void Measure() {
    const PrnPair size = PrnClientSize();
    const PrnMarginSet margins = PrnMargins();
    const PrnPair paper = PrnPaperSize();
    const PrnDpi dpi = PrnResolution();
    std::printf("measure %.0f %.0f %.0f %.0f %.0f %.0f %.0f %.0f %d %d %d", size.x, size.y,
                margins.left, margins.top, margins.right, margins.bottom, paper.x, paper.y, dpi.x,
                dpi.y, PrnGetAttribute(kPrnAttrOrientation));
}

// The caption's place and size on the calibration page, measured by the platform as the
// page draws it.
void Caption() {
    const PrnPair size = PrnClientSize();
    const char* caption = "50,100,150,200 Circles";
    platform::TextMetric metric;
    platform::Size extent;
    platform::GetTextMetricsA(PrnHandle(), &metric);
    platform::GetTextExtentPoint32A(PrnHandle(), caption, 22, &extent);
    std::printf("caption %.0f %.0f %d %d %d", static_cast<double>(NumRound(size.x / 2, 0)) + 125,
                static_cast<double>(NumRound(size.y / 2, 0)) + 25, extent.cx, extent.cy,
                metric.ascent);
}

void Run(std::string_view step) {
    RtErrorFrame errors;
    if (step == "list") {
        const int32_t count = PrnPrinterCount();
        for (int32_t i = 1; i <= count; ++i) {
            std::printf("printer: %s\n", PrnPrinterInfo(i, 4).Bytes().data());
        }
        std::printf("listed %d", count);
    } else if (step == "attach") {
        PrnAttach(kPrnAttachDefault, Text(), "virodaro probe");
        std::printf("attached: %s", std::string(PrnPrinterName().Bytes()).c_str());
    } else if (step.substr(0, 7) == "attach:") {
        PrnAttach(kPrnAttachByName, Text(step.substr(7)), "virodaro probe");
        std::printf("attached: %s", std::string(PrnPrinterName().Bytes()).c_str());
    } else if (step == "measure") {
        Measure();
    } else if (step == "portrait") {
        PrnSetAttribute(kPrnAttrOrientation, 1);
        std::printf("portrait");
    } else if (step == "page") {
        PrnTextColor(0);
        std::printf("page");
    } else if (step == "feed") {
        PrnFormFeed();
        std::printf("feed");
    } else if (step == "release") {
        PrnAttach(kPrnAttachByName, Text(), Text());
        std::printf("released");
    } else if (step == "calibration") {
        DrawCalibrationPage();
        std::printf("calibration");
    } else if (step == "shapes") {
        DrawShapesPage();
        std::printf("shapes");
    } else if (step.substr(0, 8) == "picture:") {
        DrawPicture(std::string(step.substr(8)));
        std::printf("picture");
    } else if (step.substr(0, 6) == "edges:") {
        DrawEdgesPage(std::string(step.substr(6)), 0);
        std::printf("edges");
    } else if (step.substr(0, 13) == "window-edges:") {
        DrawEdgesPage(std::string(step.substr(13)), 100);
        std::printf("window-edges");
    } else if (step == "caption") {
        Caption();
    } else if (step == "cancel") {
        PrnCancel();
        std::printf("cancelled");
    } else {
        std::printf("unknown step %s", std::string(step).c_str());
    }
    std::printf(" error=%d\n", RtErrorNumber());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetProcessArguments(argc, argv);
    if (!RtPrepareProcess()) return 255;
    RtFrameSetup();
    for (int i = 1; i < argc; ++i)
        Run(argv[i]);
    RtShutdown(0);
}
