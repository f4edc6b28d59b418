#include "printer/fonts.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printer/drawing_state.hpp"
#include "printer/font_table.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;
using PrinterFontsTest = SimPrinterTest;

int32_t NewArial(int32_t style = 0, float points = 8) {
    return PrnFontNew("Arial", points, style, 0, 0, 0);
}

TEST_F(PrinterFontsTest, NewFontsAreNumberedAfterTheBuiltInOnesAndReleasedRecordsAreReused) {
    const int32_t first = NewArial();
    const int32_t second = NewArial();
    const int32_t third = NewArial();
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
    EXPECT_EQ(third, 5);
    PrnFontRelease(second);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnFontNew("Courier New", 12, 0, 0, 0, 0), 4);
    EXPECT_STREQ(PrnFindFont(4)->description.faceName, "Courier New");
    // The last record of the list is never reused.
    PrnFontRelease(third);
    EXPECT_EQ(NewArial(), 6);
}

TEST_F(PrinterFontsTest, TheDescriptionFollowsTheArguments) {
    const FontRecord* font =
        PrnFindFont(PrnFontNew("0123456789012345678901234567890123456789", 0, 3, 7, 0x1234, 450));
    EXPECT_EQ(std::string(font->description.faceName), "0123456789012345678901234567890");
    EXPECT_EQ(font->pointSize, 8.0f);
    EXPECT_EQ(font->description.height, 0);
    EXPECT_EQ(font->description.weight, 700);
    EXPECT_EQ(font->description.italic, 1);
    EXPECT_EQ(font->description.underline, 0);
    EXPECT_EQ(font->description.charSet, 1);
    EXPECT_EQ(font->description.pitchAndFamily, 0x34);
    EXPECT_EQ(font->description.escapement, 450);
    EXPECT_EQ(font->description.orientation, 450);
    EXPECT_EQ(font->referenceCount, 1);

    const FontRecord* plain = PrnFindFont(NewArial(16, 10.5f));
    EXPECT_EQ(plain->description.weight, 400);
    EXPECT_EQ(plain->description.italic, 0);
    EXPECT_EQ(plain->pointSize, 10.5f);
    const FontRecord* lined = PrnFindFont(NewArial(kPrnUnderline | kPrnStrikeOut));
    EXPECT_EQ(lined->description.underline, 1);
    EXPECT_EQ(lined->description.strikeOut, 1);
    EXPECT_EQ(lined->description.weight, 400);
}

TEST_F(PrinterFontsTest, SelectingMakesTheObjectOnceAtTheRoundedHeight) {
    const int32_t font = NewArial();
    AttachDefault();
    PrnFontSelect(font);
    PrnFontSelect(2);
    PrnFontSelect(font);
    EXPECT_EQ(RtErrorNumber(), 0);
    // 600 x 8 / 72 = 66.67: rounded to 67, where the built-in font is truncated to 66.
    EXPECT_EQ(Calls({"CreateFontIndirectA"}), (Strings{"CreateFontIndirectA(Arial,-67)"}));
    EXPECT_EQ(gPrinter.currentFont, font);
    EXPECT_EQ(PrnTextMetrics().charHeight, 67 + 67 / 4);
    EXPECT_EQ(PrnTextMetrics().aveCharWidth, 33);
    EXPECT_EQ(PrnFindFont(font)->referenceCount, 2);
    EXPECT_EQ(PrnFindFont(2)->referenceCount, 1);  // built in, no longer current
    // The colours are applied again after the selection.
    EXPECT_EQ(Calls({"SelectObject", "SetTextColor"}).back(), "SetTextColor(0x000000)");
}

TEST_F(PrinterFontsTest, AFontUsedAgainOnAnotherPrinterGetsAnObjectForThatPrinter) {
    const int32_t font = NewArial();
    AttachDefault();
    PrnFontSelect(font);
    Release();
    EXPECT_EQ(PrnFindFont(font)->printerFont, 0u);
    EXPECT_EQ(PrnFindFont(font)->referenceCount, 1);
    sim::PrinterNamed("Laser").dpiY = 300;
    PrnAttach(kPrnAttachByName, "Laser", Text());
    sim::ClearPrintCalls();
    PrnFontSelect(font);
    EXPECT_EQ(Calls({"CreateFontIndirectA"}), (Strings{"CreateFontIndirectA(Arial,-33)"}));
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
    // Released by every printer, the font is its creator's alone again.
    PrnFontRelease(font);
    EXPECT_EQ(RtErrorNumber(), 0);
}

TEST_F(PrinterFontsTest, UnknownNumbersAreIgnoredButAFontNeedsAPage) {
    PrnFontSelect(99);
    EXPECT_EQ(RtErrorNumber(), 57);
    RtErrorFrame frame;
    AttachDefault();
    PrnFontSelect(99);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.currentFont, 2);
}

TEST_F(PrinterFontsTest, AFontObjectThatCannotBeMadeOrSelectedRaises5) {
    const int32_t font = NewArial();
    AttachDefault();
    PrnTextColor(0);
    sim::FailPrintCall("CreateFontIndirectA");
    PrnFontSelect(font);
    EXPECT_EQ(RtErrorNumber(), 5);
    EXPECT_EQ(gPrinter.currentFont, 2);

    RtErrorFrame frame;
    sim::FailPrintCall("SelectObject");
    PrnFontSelect(font);
    EXPECT_EQ(RtErrorNumber(), 5);
    EXPECT_EQ(gPrinter.currentFont, font);  // already changed, as the platform was asked
    EXPECT_EQ(PrnFindFont(font)->referenceCount, 1);
}

TEST_F(PrinterFontsTest, OnlyAFontHeldByItsCreatorAloneCanBeReleased) {
    const int32_t font = NewArial();
    AttachDefault();
    PrnFontSelect(font);
    const std::vector<int32_t> refused = {font, 99, 1, 2};
    for (int32_t number : refused) {
        RtErrorFrame frame;
        PrnFontRelease(number);
        EXPECT_EQ(RtErrorNumber(), 5) << number;
    }
    PrnFontSelect(2);
    PrnFontRelease(font);
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(PrnFindFont(font)->printerFont, 0u);
    EXPECT_EQ(PrnFindFont(font)->referenceCount, 0);
    RtErrorFrame frame;
    PrnFontRelease(font);  // a second time: nobody holds it
    EXPECT_EQ(RtErrorNumber(), 5);
}

}  // namespace
