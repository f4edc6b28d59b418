#include "printer/settings.hpp"

#include <gtest/gtest.h>

#include "printer/coordinates.hpp"
#include "printer/drawing_state.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

class PrinterSettingsTest : public SimPrinterTest {
  protected:
    void SetUp() override {
        SimPrinterTest::SetUp();
        AttachDefault();
    }
    // Whether setting `value` is taken (no error) and stored as `stored`.
    static void ExpectAccepted(int32_t code, int32_t value, int32_t stored) {
        RtErrorFrame frame;
        PrnSetAttribute(code, value);
        EXPECT_EQ(RtErrorNumber(), 0) << code << "=" << value;
        EXPECT_EQ(PrnGetAttribute(code), stored) << code << "=" << value;
    }
    static void ExpectRejected(int32_t code, int32_t value) {
        const int32_t before = PrnGetAttribute(code);
        RtErrorFrame frame;
        PrnSetAttribute(code, value);
        EXPECT_EQ(RtErrorNumber(), 5) << code << "=" << value;
        EXPECT_EQ(PrnGetAttribute(code), before) << code << "=" << value;
    }
};

TEST_F(PrinterSettingsTest, ReadingGivesTheDeviceModeFieldsItCarries) {
    EXPECT_EQ(PrnGetAttribute(kPrnAttrCopies), 1);
    EXPECT_EQ(PrnGetAttribute(kPrnAttrColor), 2);
    EXPECT_EQ(PrnGetAttribute(kPrnAttrOrientation), 1);
    EXPECT_EQ(PrnGetAttribute(kPrnAttrTray), 7);
    EXPECT_EQ(PrnGetAttribute(kPrnAttrQuality), 0);  // a resolution, 600 dpi
    EXPECT_EQ(PrnGetAttribute(999), 0);
    gPrinter.devMode->fields &= ~platform::kDmCopies;
    EXPECT_EQ(PrnGetAttribute(kPrnAttrCopies), 0);
    gPrinter.devMode->paperSize = -2;
    EXPECT_EQ(PrnGetAttribute(kPrnAttrPaper), 65534);  // read as unsigned
    gPrinter.devMode->orientation = 3;
    EXPECT_EQ(PrnGetAttribute(kPrnAttrOrientation), 0);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterSettingsTest, EachSettingTakesWhatThePrinterCanDo) {
    ExpectAccepted(kPrnAttrCollate, 0, 0);
    ExpectRejected(kPrnAttrCollate, 2);
    ExpectAccepted(kPrnAttrColor, 1, 1);
    ExpectAccepted(kPrnAttrCopies, 0, 0);
    ExpectAccepted(kPrnAttrCopies, 99, 99);
    ExpectRejected(kPrnAttrCopies, 100);
    ExpectRejected(kPrnAttrCopies, -1);
    ExpectRejected(kPrnAttrDuplex, 2);  // the printer prints one side only
    sim::PrinterNamed("Office").duplex = 1;
    ExpectAccepted(kPrnAttrDuplex, 3, 3);
    ExpectRejected(kPrnAttrDuplex, 4);
    ExpectAccepted(kPrnAttrPaper, 9, 9);
    ExpectRejected(kPrnAttrPaper, 8);
    ExpectAccepted(kPrnAttrTray, 1, 1);
    ExpectRejected(kPrnAttrTray, 2);
    ExpectAccepted(kPrnAttrQuality, 3, 3);
    EXPECT_EQ(gPrinter.devMode->printQuality, -3);
    ExpectAccepted(kPrnAttrQuality, -4, 4);
    ExpectAccepted(kPrnAttrQuality, 0, 4);  // 0 changes nothing
    ExpectRejected(kPrnAttrQuality, 5);
    ExpectRejected(kPrnAttrQuality, -5);
    ExpectAccepted(999, 1, 0);
}

TEST_F(PrinterSettingsTest, PaperAndTrayChangesKeepTheirFieldBits) {
    gPrinter.devMode->fields &= ~(platform::kDmPaperSize | platform::kDmDefaultSource);
    gPrinter.devMode->paperLength = 2970;
    PrnSetAttribute(kPrnAttrPaper, 9);
    PrnSetAttribute(kPrnAttrTray, 0x10001);  // only the low 16 bits count
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.devMode->paperSize, 9);
    EXPECT_EQ(gPrinter.devMode->paperLength, 0);
    EXPECT_EQ(gPrinter.devMode->defaultSource, 1);
    EXPECT_EQ(gPrinter.devMode->fields & (platform::kDmPaperSize | platform::kDmDefaultSource), 0u);
}

TEST_F(PrinterSettingsTest, MissingFieldBitsOrCapabilitiesRejectAChange) {
    gPrinter.devMode->fields = 0;
    ExpectRejected(kPrnAttrCollate, 1);
    ExpectRejected(kPrnAttrColor, 1);
    ExpectRejected(kPrnAttrCopies, 1);
    ExpectRejected(kPrnAttrQuality, 1);
    sim::PrinterNamed("Office").landscapeAngle = 0;
    ExpectRejected(kPrnAttrOrientation, 2);
}

TEST_F(PrinterSettingsTest, CopiesNeedAPrinterThatReportsAMaximum) {
    sim::PrinterNamed("Office").maxCopies = 0;
    ExpectRejected(kPrnAttrCopies, 0);
}

TEST_F(PrinterSettingsTest, TurningThePageSwapsTheMeasurementsAndEndsTheOpenPage) {
    PrnScale(0, 0, 100, 200);
    PrnSetAttribute(kPrnAttrOrientation, 2);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.flags & kPrnPageOpen, 0u);
    EXPECT_EQ(gPrinter.flags & kPrnLandscape, kPrnLandscape);
    EXPECT_EQ(gPrinter.printableWidth, 6400);
    EXPECT_EQ(gPrinter.physicalHeight, 5100);
    EXPECT_EQ(gPrinter.offsetX, 100);
    EXPECT_EQ(gPrinter.factorX, 32.0f);
    EXPECT_EQ(Calls({"EndPage"}).size(), 1u);

    PrnSetAttribute(kPrnAttrOrientation, 2);  // already landscape: nothing happens
    EXPECT_EQ(gPrinter.printableWidth, 6400);

    PrnTextColor(0);
    Release();
    EXPECT_EQ(sim::Documents().back().pageOrientations,
              (std::vector<int16_t>{platform::kDmOrientPortrait, platform::kDmOrientLandscape}));
}

TEST_F(PrinterSettingsTest, MirroredAxesChangePlacesWithThePage) {
    PrnScale(100, 0, 0, 100);
    PrnSetAttribute(kPrnAttrOrientation, 2);
    EXPECT_EQ(gPrinter.flags & (kPrnFlipX | kPrnFlipY), kPrnFlipY);
}

TEST_F(PrinterSettingsTest, ALandscapePrinterTurnedToPortraitPrintsItsFirstPageInPortrait) {
    Release();
    sim::PrinterNamed("Office").devMode.orientation = platform::kDmOrientLandscape;
    AttachDefault();
    EXPECT_EQ(gPrinter.printableWidth, 6400);
    PrnSetAttribute(kPrnAttrOrientation, 1);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_TRUE(Calls({"EndPage"}).empty());
    EXPECT_EQ(gPrinter.flags & kPrnLandscape, 0u);
    EXPECT_EQ(gPrinter.printableWidth, 4800);
    EXPECT_EQ(gPrinter.printableHeight, 6400);
    PrnTextColor(0);
    EXPECT_EQ(Calls({"ResetDCA"}), (std::vector<std::string>{"ResetDCA(orientation=1)"}));
    Release();
    EXPECT_EQ(sim::Documents().back().pageOrientations,
              (std::vector<int16_t>{platform::kDmOrientPortrait}));
}

TEST_F(PrinterSettingsTest, SettingsNeedAnAttachedPrinter) {
    Release();
    EXPECT_EQ(PrnGetAttribute(kPrnAttrCopies), 0);
    EXPECT_EQ(RtErrorNumber(), 57);
    RtErrorFrame frame;
    PrnSetAttribute(kPrnAttrOrientation, 1);
    EXPECT_EQ(RtErrorNumber(), 57);
    RtErrorFrame lists;
    EXPECT_TRUE(PrnBinList().Empty());
    EXPECT_EQ(RtErrorNumber(), 57);
}

TEST_F(PrinterSettingsTest, ListsJoinNumbersAndNamesCutAtQuotesAndCommas) {
    sim::Printer& printer = sim::PrinterNamed("Office");
    printer.bins = {1, 2};
    printer.binNames = {"Upper", "Lower"};
    EXPECT_EQ(PrnBinList(), Text("1,Upper,2,Lower"));
    printer.binNames = {"Up\"per", "Low,er", "Extra"};
    EXPECT_EQ(PrnBinList(), Text("1,Up,2,Low"));
    printer.papers = {256, 9, 65535};
    printer.paperNames = {std::string(64, 'p'), "A4"};
    EXPECT_EQ(PrnPaperList(), Text("256," + std::string(64, 'p') + ",9,A4"));
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterSettingsTest, ListsWithoutEntriesGiveNothingAndRaise57) {
    sim::PrinterNamed("Office").binNames.clear();
    EXPECT_TRUE(PrnBinList().Empty());
    EXPECT_EQ(RtErrorNumber(), 57);
    RtErrorFrame frame;
    sim::FailPrintCall("DeviceCapabilitiesA");
    EXPECT_TRUE(PrnPaperList().Empty());
    EXPECT_EQ(RtErrorNumber(), 57);
}

}  // namespace
