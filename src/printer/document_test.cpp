#include "printer/document.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;
using PrinterDocumentTest = SimPrinterTest;

const sim::PrintedDocument& OnlyDocument() {
    EXPECT_EQ(sim::Documents().size(), 1u);
    return sim::Documents().front();
}

TEST_F(PrinterDocumentTest, DocumentWithNothingDrawnHasNoPage) {
    AttachDefault();
    Release();
    EXPECT_TRUE(OnlyDocument().ended);
    EXPECT_TRUE(OnlyDocument().pageOrientations.empty());
    EXPECT_TRUE(Calls({"StartPage", "EndPage"}).empty());
}

TEST_F(PrinterDocumentTest, TheDocumentIsNamedAfterTheTitleOrPrintJob) {
    for (const char* title : {"14:03:27 0", " ", ""}) {
        PrnAttach(kPrnAttachDefault, Text(), title);
        Release();
    }
    PrnAttach(kPrnAttachDefault, Text(), Text(std::string_view("\0x", 2)));
    Release();
    EXPECT_EQ(Calls({"StartDocA"}), (Strings{"StartDocA(14:03:27 0)", "StartDocA( )",
                                             "StartDocA(Print job)", "StartDocA(Print job)"}));
}

TEST_F(PrinterDocumentTest, TheFirstPageSettingStartsThePageWithTheStoredState) {
    AttachDefault();
    PrnTextColor(0x808080);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.flags & kPrnPageOpen, kPrnPageOpen);
    EXPECT_EQ(
        Calls({"ResetDCA", "SelectObject", "SetTextColor", "SetBkColor", "SetBkMode", "StartPage",
               "SetTextAlign", "MoveToEx"}),
        (Strings{"ResetDCA(orientation=1)",
                 "SelectObject(" + std::to_string(PrnFindFont(2)->printerFont) + ")",
                 "SetTextColor(0x000000)", "SetBkColor(0xFFFFFF)", "SetBkMode(1)", "StartPage()",
                 "SetTextAlign(1)", "MoveToEx(0,0)", "SetTextColor(0x808080)"}));
    PrnBackColor(0xFFFFFF);  // the page is open: no second page
    Release();
    EXPECT_EQ(OnlyDocument().pageOrientations.size(), 1u);
}

TEST_F(PrinterDocumentTest, FormFeedsNeverMakeBlankPages) {
    AttachDefault();
    PrnFormFeed();  // before anything is drawn
    PrnTextColor(0);
    PrnFormFeed();
    PrnFormFeed();  // twice in a row
    PrnTextColor(0);
    Release();
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(OnlyDocument().pageOrientations.size(), 2u);
    EXPECT_EQ(Calls({"EndPage"}).size(), 2u);
}

TEST_F(PrinterDocumentTest, TheNextPageStartsAtTheOrigin) {
    AttachDefault();
    PrnTextColor(0);
    gPrinter.currentX = 120;
    gPrinter.currentY = 300;
    PrnFormFeed();
    EXPECT_EQ(gPrinter.currentX, 0);
    EXPECT_EQ(gPrinter.currentY, 0);
    sim::ClearPrintCalls();
    PrnTextColor(0);
    EXPECT_EQ(Calls({"MoveToEx"}), (Strings{"MoveToEx(0,0)"}));
}

TEST_F(PrinterDocumentTest, FormFeedWithNothingAttachedOrARefusedEndRaises57) {
    PrnFormFeed();
    EXPECT_EQ(RtErrorNumber(), 57);

    RtErrorFrame frame;
    AttachDefault();
    PrnTextColor(0);
    sim::FailPrintCall("EndPage");
    PrnFormFeed();
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_EQ(gPrinter.flags & kPrnPageOpen, kPrnPageOpen);
}

TEST_F(PrinterDocumentTest, AnyRefusedStepOfAPageStartRaises57) {
    for (const char* step : {"ResetDCA", "SelectObject", "StartPage", "SetTextAlign"}) {
        RtErrorFrame frame;
        AttachDefault();
        sim::FailPrintCall(step);
        PrnTextColor(0x808080);
        EXPECT_EQ(RtErrorNumber(), 57) << step;
        EXPECT_NE(gPrinter.textColor, 0x808080) << step;
        Release();
    }
}

TEST_F(PrinterDocumentTest, PageSettingsWithNothingAttachedRaise57) {
    for (auto setting : {+[] { PrnTextColor(0); }, +[] { PrnBackColor(0); }, +[] { PrnSetMix(13); },
                         +[] { PrnScale(0, 0, 1, 1); }}) {
        RtErrorFrame frame;
        setting();
        EXPECT_EQ(RtErrorNumber(), 57);
    }
}

TEST_F(PrinterDocumentTest, AJobThatDoesNotReachThePrinterRaises57AtTheRelease) {
    for (const char* refused : {"EndPage", "EndDoc"}) {
        RtErrorFrame frame;
        AttachDefault();
        PrnTextColor(0);
        sim::FailPrintCall(refused);
        Release();
        EXPECT_EQ(RtErrorNumber(), 57) << refused;
        // The document is still ended and everything released.
        EXPECT_EQ(Calls({"EndPage", "EndDoc", "DeleteDC"}),
                  (Strings{"EndPage()", "EndDoc()", "DeleteDC()"}))
            << refused;
        EXPECT_EQ(PrnHandle(), 0u) << refused;
        EXPECT_EQ(sim::LivePrintObjects(), 0) << refused;
    }
}

TEST_F(PrinterDocumentTest, ADestinationThatCannotTakeTheJobRaises57) {
    sim::PrinterNamed("Office").endDocError = platform::kErrorAccessDenied;
    AttachDefault();
    PrnTextColor(0);
    Release();
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_FALSE(OnlyDocument().ended);
}

TEST_F(PrinterDocumentTest, ADocumentWithoutPagesAndACancelRaiseNothing) {
    sim::PrinterNamed("Office").endDocError = platform::kErrorAccessDenied;
    AttachDefault();
    Release();  // nothing to hand over
    AttachDefault();
    PrnTextColor(0);
    sim::FailPrintCall("AbortDoc");
    PrnCancel();
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnHandle(), 0u);
}

TEST_F(PrinterDocumentTest, ALandscapeDeviceModeIsNotedWhenTheDocumentBegins) {
    sim::PrinterNamed("Office").devMode.orientation = platform::kDmOrientLandscape;
    AttachDefault();
    EXPECT_EQ(gPrinter.flags & kPrnLandscape, kPrnLandscape);
    EXPECT_EQ(gPrinter.printableWidth, 6400);
    EXPECT_EQ(gPrinter.printableHeight, 4800);

    sim::PrinterNamed("Office").devMode.fields &= ~platform::kDmOrientation;
    AttachDefault();
    EXPECT_EQ(gPrinter.flags & kPrnLandscape, 0u);
}

}  // namespace
