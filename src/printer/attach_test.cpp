#include "printer/attach.hpp"

#include <gtest/gtest.h>

#include <string>

#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "printer/enumeration.hpp"
#include "printer/printer_state.hpp"
#include "runtime/startup.hpp"
#include "testing/sim_printer.hpp"

namespace {

using PrinterAttachTest = SimPrinterTest;
using Strings = std::vector<std::string>;

TEST_F(PrinterAttachTest, EnumerationCountsAndNamesEveryPrinterByIndex) {
    EXPECT_EQ(PrnPrinterCount(), 3);
    EXPECT_EQ(PrnPrinterInfo(1, 4), Text("Laser"));
    EXPECT_EQ(PrnPrinterInfo(3, 4), Text("Plotter"));
    EXPECT_TRUE(PrnPrinterInfo(4, 4).Empty());
    EXPECT_TRUE(PrnPrinterInfo(0, 4).Empty());
    EXPECT_TRUE(PrnPrinterInfo(-1, 4).Empty());
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, EnumerationAddsConnectionsAndNetworkOnTheNtFamily) {
    RtOsVersion.platformId = 1;
    PrnPrinterCount();
    RtOsVersion.platformId = 2;
    PrnPrinterCount();
    EXPECT_EQ(Calls({"EnumPrintersA"}), (Strings{"EnumPrintersA(2)", "EnumPrintersA(70)"}));
}

TEST_F(PrinterAttachTest, InfoMapsRecordPositionsToFieldsAndNothingElse) {
    sim::PrinterNamed("Laser").info.comment = "second floor";
    EXPECT_EQ(PrnPrinterInfo(1, 12), Text("LPT1:"));
    EXPECT_EQ(PrnPrinterInfo(1, 16), Text("Sim Driver"));
    EXPECT_EQ(PrnPrinterInfo(1, 20), Text("second floor"));
    for (int32_t position : {1, 2, 28, 48, 52, 1000, -4}) {
        EXPECT_TRUE(PrnPrinterInfo(1, position).Empty()) << position;
    }
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, InfoCutsLongTextsAndQuietlyGivesUpWhenMemoryIsShort) {
    sim::PrinterNamed("Laser").info.location = std::string(1500, 'L');
    EXPECT_EQ(PrnPrinterInfo(1, 24).Length(), 999u);
    sim::FailTextAllocationsAfter(0);
    EXPECT_TRUE(PrnPrinterInfo(1, 4).Empty());
    sim::FailTextAllocationsAfter(-1);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, FailedEnumerationCountsNothing) {
    sim::FailPrintCall("EnumPrintersA", 2);
    EXPECT_EQ(PrnPrinterCount(), 0);
    EXPECT_TRUE(PrnPrinterInfo(1, 4).Empty());
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, DefaultModeAttachesTheDefaultPrinterWithoutADialog) {
    PrnAttach(kPrnAttachDefault, Text(), "title");
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_NE(PrnHandle(), 0u);
    EXPECT_EQ(PrnPrinterName(), Text("Office"));
    EXPECT_EQ(Calls({"PrintDlgA", "SetForegroundWindow", "StartDocA"}),
              (Strings{"PrintDlgA(default)", "StartDocA(title)"}));
    // Any value with bit 0 set is the default mode.
    PrnAttach(7, Text("Laser"), Text());
    EXPECT_EQ(PrnPrinterName(), Text("Office"));
}

TEST_F(PrinterAttachTest, ByNameAttachesThatPrinterWithItsOwnDeviceMode) {
    PrnAttach(kPrnAttachByName, "Plotter", Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnPrinterName(), Text("Plotter"));
    ASSERT_NE(gPrinter.devMode, nullptr);
    EXPECT_EQ(gPrinter.devMode->paperSize, 1);
    EXPECT_EQ(Calls({"OpenPrinterA", "DocumentPropertiesA", "ClosePrinter", "CreateDCA"}),
              (Strings{"OpenPrinterA(Plotter)", "DocumentPropertiesA(0)", "DocumentPropertiesA(2)",
                       "ClosePrinter()", "CreateDCA(Plotter)"}));
    // A value whose two low bits are clear is the by-name mode.
    PrnAttach(4, "Laser", Text());
    EXPECT_EQ(PrnPrinterName(), Text("Laser"));
}

TEST_F(PrinterAttachTest, ChooseModeAttachesWhatTheUserConfirms) {
    sim::ScriptPrintDialog(sim::DialogAnswer::kOk, "Plotter");
    PrnAttach(kPrnAttachChoose, Text(), Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnPrinterName(), Text("Plotter"));
    EXPECT_EQ(gPrinter.flags & kPrnDialogConfirmed, kPrnDialogConfirmed);
    EXPECT_EQ(Calls({"PrintDlgA", "SetForegroundWindow"}),
              (Strings{"PrintDlgA(dialog)", "SetForegroundWindow()"}));
}

TEST_F(PrinterAttachTest, CancelledDialogAttachesNothingQuietlyAndKeepsTheEarlierName) {
    PrnAttach(kPrnAttachByName, "Laser", Text());
    sim::ScriptPrintDialog(sim::DialogAnswer::kCancel);
    PrnAttach(kPrnAttachChoose, Text(), Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnHandle(), 0u);
    EXPECT_EQ(PrnPrinterName(), Text("Laser"));
}

TEST_F(PrinterAttachTest, DefaultRequestWithoutADefaultPrinterRaises68AndEmptiesTheName) {
    PrnAttach(kPrnAttachByName, "Laser", Text());
    sim::FailPrintCall("PrintDlgA", 1, platform::kPdErrNoDefaultPrinter);
    PrnAttach(kPrnAttachDefault, Text(), "x");
    EXPECT_EQ(RtErrorNumber(), 68);
    EXPECT_EQ(PrnHandle(), 0u);
    EXPECT_TRUE(PrnPrinterName().Empty());
}

TEST_F(PrinterAttachTest, DialogFailuresWithoutAnExtendedErrorAreQuiet) {
    sim::FailPrintCall("PrintDlgA", 1, 0);
    PrnAttach(kPrnAttachDefault, Text(), Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnHandle(), 0u);
}

TEST_F(PrinterAttachTest, EveryFailingStepRaises68AndLeavesNothingBehind) {
    for (const char* step : {"OpenPrinterA", "DocumentPropertiesA", "CreateDCA", "StartDocA"}) {
        RtErrorFrame frame;
        PrnAttach(kPrnAttachByName, "Laser", Text());
        sim::FailPrintCall(step);
        PrnAttach(kPrnAttachByName, "Plotter", Text());
        EXPECT_EQ(RtErrorNumber(), 68) << step;
        EXPECT_EQ(PrnHandle(), 0u) << step;
        EXPECT_TRUE(PrnPrinterName().Empty()) << step;
        EXPECT_EQ(sim::LivePrintObjects(), 0) << step;
    }
}

TEST_F(PrinterAttachTest, UnreadableDialogBlocksRaise68AndReleaseTheDialogsDeviceContext) {
    for (const char* step : {"ReadDevNamesDevice", "ReadDevModeBlock"}) {
        RtErrorFrame frame;
        sim::FailPrintCall(step);
        PrnAttach(kPrnAttachDefault, Text(), Text());
        EXPECT_EQ(RtErrorNumber(), 68) << step;
        EXPECT_EQ(PrnHandle(), 0u) << step;
        EXPECT_TRUE(PrnPrinterName().Empty()) << step;
        EXPECT_EQ(sim::LivePrintObjects(), 0) << step;
    }
}

TEST_F(PrinterAttachTest, UnknownPrinterNameRaises68) {
    PrnAttach(kPrnAttachByName, "Nowhere", Text());
    EXPECT_EQ(RtErrorNumber(), 68);
}

TEST_F(PrinterAttachTest, NamesUpTo261BytesAreAccepted) {
    const std::string longest(261, 'n');
    sim::AddPrinter(sim::MakePrinter(longest));
    PrnAttach(kPrnAttachByName, Text(std::string_view(longest)), Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnPrinterName().Length(), 261u);

    const std::string tooLong(262, 'n');
    sim::AddPrinter(sim::MakePrinter(tooLong));
    PrnAttach(kPrnAttachByName, Text(std::string_view(tooLong)), Text());
    EXPECT_EQ(RtErrorNumber(), 68);
    EXPECT_EQ(PrnHandle(), 0u);
}

TEST_F(PrinterAttachTest, DialogWithoutDeviceModeAttachesInPortraitWithoutSettings) {
    sim::SetDialogReturnsDevMode(false);
    sim::PrinterNamed("Office").devMode.orientation = platform::kDmOrientLandscape;
    PrnAttach(kPrnAttachDefault, Text(), Text());
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.devMode, nullptr);
    EXPECT_EQ(gPrinter.flags & kPrnLandscape, 0u);
    PrnTextColor(0);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_TRUE(Calls({"ResetDCA"}).empty());
}

TEST_F(PrinterAttachTest, ReleasingWithAnEmptyNameEndsThePageAndTheDocument) {
    AttachDefault();
    PrnTextColor(0x808080);
    Release();
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnHandle(), 0u);
    EXPECT_EQ(PrnPrinterName(), Text("Office"));
    EXPECT_EQ(Calls({"EndPage", "EndDoc", "AbortDoc", "DeleteDC"}),
              (Strings{"EndPage()", "EndDoc()", "DeleteDC()"}));
    ASSERT_EQ(sim::Documents().size(), 1u);
    EXPECT_TRUE(sim::Documents()[0].ended);
    EXPECT_EQ(sim::Documents()[0].pageOrientations.size(), 1u);
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterAttachTest, DetachReports57WhenTheDeviceContextCannotBeReleased) {
    AttachDefault();
    sim::FailPrintCall("DeleteDC");
    EXPECT_EQ(PrnDetach(), 57);
    EXPECT_EQ(PrnHandle(), 0u);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, CancelDiscardsTheJobAndReleasesEverything) {
    AttachDefault();
    PrnTextColor(0);
    PrnCancel();
    EXPECT_EQ(PrnHandle(), 0u);
    EXPECT_EQ(Calls({"EndPage", "EndDoc", "AbortDoc", "DeleteDC"}),
              (Strings{"AbortDoc()", "DeleteDC()"}));
    ASSERT_EQ(sim::Documents().size(), 1u);
    EXPECT_TRUE(sim::Documents()[0].aborted);
    EXPECT_FALSE(sim::Documents()[0].ended);
    EXPECT_EQ(sim::LivePrintObjects(), 0);
    EXPECT_EQ(PrnPrinterName(), Text("Office"));

    PrnCancel();  // with nothing attached: nothing at all
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterAttachTest, EveryReleaseResetsTheStateButTheName) {
    AttachDefault();
    PrnTextColor(0x123456);
    PrnBackColor(0xFFFFFF);
    PrnPenStyle(3);
    PrnPenWidth(7);
    PrnScale(0, 0, 10, 10);
    Release();
    EXPECT_EQ(gPrinter.textColor, 0);
    EXPECT_EQ(gPrinter.backColor, kPrnTransparent);
    EXPECT_EQ(gPrinter.penStyle, 0);
    EXPECT_EQ(gPrinter.penWidth, 0);
    EXPECT_EQ(gPrinter.factorY, 0.0f);
    EXPECT_EQ(gPrinter.flags, 0u);
    EXPECT_EQ(gPrinter.printableWidth, 0);
    EXPECT_EQ(gPrinter.currentFont, 0);
    EXPECT_EQ(gPrinter.devMode, nullptr);
    EXPECT_EQ(PrnPrinterName(), Text("Office"));
}

}  // namespace
