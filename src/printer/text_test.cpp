#include "printer/text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printer/coordinates.hpp"
#include "printer/document.hpp"
#include "printer/drawing_state.hpp"
#include "printer/fonts.hpp"
#include "printer/printer_state.hpp"
#include "printer/shapes.hpp"
#include "testing/sim_printer.hpp"

namespace {

using Strings = std::vector<std::string>;
using PrinterTextTest = SimPrinterTest;

// The document font at 600 dpi is 66 pixels: the simulated metrics then give characters 33
// wide, a height of 82 and an external leading of 6.
constexpr int32_t kWidth = 33;
constexpr int32_t kLine = 82 + 6;

TEST_F(PrinterTextTest, EmptyTextDoesNothingEvenWithNothingAttached) {
    PrnPrintText(Text());
    PrnPrintText("");
    EXPECT_EQ(RtErrorNumber(), 0);
    AttachDefault();
    PrnPrintText(Text());
    EXPECT_TRUE(sim::PrintCalls().empty());
}

TEST_F(PrinterTextTest, TextMovesThePositionAndANewLineGoesToTheNextLineStart) {
    AttachDefault();
    PrnMoveTo(100, 200, false);
    PrnPrintText("abc");
    EXPECT_EQ(gPrinter.currentX, 100 + 3 * kWidth);
    EXPECT_EQ(gPrinter.currentY, 200);
    PrnNewLine();
    EXPECT_EQ(gPrinter.currentX, 0);
    EXPECT_EQ(gPrinter.currentY, 200 + kLine);
    PrnPrintText(Text(std::string_view("a\0b", 3)));
    EXPECT_EQ(Calls({"TextOutA", "MoveToEx"}),
              (Strings{"MoveToEx(0,0)", "MoveToEx(100,200)",
                       "TextOutA(100,200,abc;Courier New -66 0x000000)",
                       "MoveToEx(0," + std::to_string(200 + kLine) + ")",
                       "TextOutA(0," + std::to_string(200 + kLine) + "," + std::string("a\0b", 3) +
                           ";Courier New -66 0x000000)"}));
    EXPECT_EQ(gPrinter.currentX, 3 * kWidth);
}

TEST_F(PrinterTextTest, TextAndNewLinesAtTheEndOfTheRangeStayThere) {
    AttachDefault();
    PrnMoveTo(3e9, 3e9, false);
    PrnPrintText("abc");
    PrnNewLine();
    EXPECT_EQ(gPrinter.currentY, INT32_MAX);
    PrnMoveTo(-1e38, -1e38, false);
    PrnPrintText("abc");
    EXPECT_EQ(Calls({"TextOutA", "MoveToEx"}),
              (Strings{"MoveToEx(0,0)", "MoveToEx(2147483647,2147483647)",
                       "TextOutA(2147483647,2147483647,abc;Courier New -66 0x000000)",
                       "MoveToEx(0,2147483647)", "MoveToEx(-2147483648,-2147483648)",
                       "TextOutA(-2147483648,-2147483648,abc;Courier New -66 0x000000)"}));
    EXPECT_EQ(gPrinter.currentX, INT32_MIN + 3 * kWidth);
}

TEST_F(PrinterTextTest, TheNextPageStartsTextAtItsTopLeft) {
    AttachDefault();
    PrnPrintText("abc");
    PrnFormFeed();
    PrnPrintText("d");
    EXPECT_EQ(Calls({"TextOutA"}).back(), "TextOutA(0,0,d;Courier New -66 0x000000)");
}

TEST_F(PrinterTextTest, NumbersAreWrittenWithTheDigitsOfTheirPrecision) {
    AttachDefault();
    PrnPrintNumber(1.1f);
    PrnPrintNumber(1.0 / 3);
    PrnPrintNumber(-2500.0f);
    EXPECT_EQ(Calls({"TextOutA"}),
              (Strings{"TextOutA(0,0, 1.1;Courier New -66 0x000000)",
                       "TextOutA(132,0, .333333333333333;Courier New -66 0x000000)",
                       "TextOutA(693,0,-2500;Courier New -66 0x000000)"}));
}

TEST_F(PrinterTextTest, WithoutAPrinterTextRaises57AndSizesAreZero) {
    const std::vector<void (*)()> operations = {[] { PrnPrintText("x"); },
                                                [] { PrnPrintNumber(1.0); },
                                                [] { PrnNewLine(); },
                                                [] { EXPECT_EQ(PrnCharSize().y, 0); },
                                                [] { EXPECT_EQ(PrnTextSize("abc").x, 0); },
                                                [] { EXPECT_EQ(PrnLinesPerPage(), 0); }};
    for (auto operation : operations) {
        RtErrorFrame frame;
        operation();
        EXPECT_EQ(RtErrorNumber(), 57);
    }
}

TEST_F(PrinterTextTest, TextThatCannotBeDrawnRaises57AndLeavesThePosition) {
    AttachDefault();
    PrnMoveTo(10, 10, false);
    sim::FailPrintCall("TextOutA");
    PrnPrintText("abc");
    EXPECT_EQ(RtErrorNumber(), 57);
    EXPECT_EQ(gPrinter.currentX, 10);
}

TEST_F(PrinterTextTest, SizesAreInUserUnitsAndStartNoPage) {
    AttachDefault();
    EXPECT_EQ(PrnCharSize().x, kWidth);
    EXPECT_EQ(PrnCharSize().y, 82);
    EXPECT_EQ(PrnTextSize("abcd").x, 4 * kWidth);
    EXPECT_EQ(PrnLinesPerPage(), 6400 / kLine);
    EXPECT_TRUE(Calls({"StartPage"}).empty());
    PrnScale(0, 0, 100, 100);  // 48 pixels a unit across, 64 down
    EXPECT_DOUBLE_EQ(PrnTextSize("abcd").x, 4.0 * kWidth / 48);
    EXPECT_DOUBLE_EQ(PrnCharSize().y, 82.0 / 64);
    EXPECT_EQ(PrnLinesPerPage(), 6400 / kLine);
}

TEST_F(PrinterTextTest, LinesFollowTheFontSelectedLastWhoseMetricsAreReadOnlyWhenNeeded) {
    AttachDefault();
    const int32_t arial = PrnFontNew("Arial", 8, 0, 0, 0, 0);
    const int32_t large = PrnFontNew("Arial", 16, 0, 0, 0, 0);
    PrnFontSelect(arial);
    PrnFontSelect(large);
    PrnFontSelect(arial);
    PrnMoveTo(0, 1000, false);
    // Reading a font's metrics loads the font: a page that writes no line never does.
    EXPECT_TRUE(Calls({"GetTextMetricsA"}).empty());
    PrnNewLine();
    PrnNewLine();
    EXPECT_EQ(Calls({"GetTextMetricsA"}).size(), 1u);
    EXPECT_EQ(gPrinter.currentY, 1000 + 2 * (83 + 6));
    PrnFontSelect(large);
    PrnNewLine();
    EXPECT_EQ(Calls({"GetTextMetricsA"}).size(), 2u);
    // 133 pixels high: metrics 133 + 33 and a leading of 13.
    EXPECT_EQ(gPrinter.currentY, 1000 + 2 * (83 + 6) + 166 + 13);
    // A font whose metrics the device will not give keeps the lines of the one before.
    PrnFontSelect(arial);
    sim::FailPrintCall("GetTextMetricsA");
    PrnNewLine();
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(gPrinter.currentY, 1000 + 2 * (83 + 6) + 2 * (166 + 13));
}

TEST_F(PrinterTextTest, ACaptionInEightPointArialAsThePageHasIt) {
    AttachDefault();
    PrnTextColor(0);
    PrnBackColor(0xFFFFFF);
    const int32_t font = PrnFontNew("Arial", 8, 0, 0, 0, 0);
    PrnFontSelect(font);
    PrnTextColor(0x808080);
    PrnBackColor(0xFFFFFF);
    PrnMoveTo(2525, 3325, false);
    PrnPrintText("50,100,150,200 Circles");
    PrnNewLine();
    EXPECT_EQ(RtErrorNumber(), 0);
    EXPECT_EQ(Calls({"TextOutA"}),
              (Strings{"TextOutA(2525,3325,50,100,150,200 Circles;Arial -67 0x808080)"}));
    EXPECT_EQ(Calls({"SetBkMode"}).back(), "SetBkMode(2)");
    // 67 pixels high: metrics 67 + 16 and a leading of 6.
    EXPECT_EQ(gPrinter.currentX, 0);
    EXPECT_EQ(gPrinter.currentY, 3325 + 83 + 6);
}

}  // namespace
