#include "printer/font_table.hpp"

#include <gtest/gtest.h>

#include <string>

#include "printer/drawing_state.hpp"
#include "printer/printer_state.hpp"
#include "testing/sim_printer.hpp"

namespace {

using PrinterFontTableTest = SimPrinterTest;

TEST_F(PrinterFontTableTest, StartUpMakesTheTwoBuiltInFontsInOrder) {
    const FontRecord* first = gFonts.first;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->number, 1);
    EXPECT_STREQ(first->description.faceName, "MS Sans Serif");
    EXPECT_EQ(first->pointSize, 8.0f);
    const FontRecord* second = first->next;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->number, 2);
    EXPECT_STREQ(second->description.faceName, "Courier New");
    EXPECT_EQ(second->pointSize, 0.0f);
    EXPECT_EQ(second->description.weight, 400);
    EXPECT_EQ(second->description.charSet, 1);
    EXPECT_EQ(second->referenceCount, 1);
    EXPECT_EQ(second->next, nullptr);
    EXPECT_EQ(PrnFindFont(2), second);
    EXPECT_EQ(PrnFindFont(3), nullptr);
}

TEST_F(PrinterFontTableTest, DocumentsStartWithFontTwoAtEightPointsTruncated) {
    // 600 x 8 / 72 = 66.67 pixels: the built-in font gets 66.
    AttachDefault();
    EXPECT_EQ(gPrinter.currentFont, 2);
    const FontRecord* font = PrnFindFont(2);
    ASSERT_NE(font->printerFont, 0u);
    EXPECT_EQ(font->referenceCount, 2);
    // The metrics of that font are read when first needed, not when the document begins.
    EXPECT_TRUE(Calls({"GetTextMetricsA"}).empty());
    EXPECT_EQ(PrnTextMetrics().charHeight, 66 + 66 / 4);
    EXPECT_EQ(PrnTextMetrics().aveCharWidth, 33);
    EXPECT_EQ(PrnTextMetrics().externalLeading, 6);
    EXPECT_EQ(Calls({"GetTextMetricsA"}).size(), 1u);
    Release();
    sim::ClearPrintCalls();
    sim::PrinterNamed("Office").dpiY = 300;
    PrnAttach(kPrnAttachDefault, Text(), Text());
    EXPECT_EQ(Calls({"CreateFontIndirectA"}),
              (std::vector<std::string>{"CreateFontIndirectA(Courier New,-33)"}));
}

TEST_F(PrinterFontTableTest, ReleasingThePrinterDeletesItsFontObjectsAndPutsBackTheFirstFont) {
    AttachDefault();
    const std::string created = std::to_string(PrnFindFont(2)->printerFont);
    Release();
    EXPECT_EQ(PrnFindFont(2)->printerFont, 0u);
    EXPECT_EQ(Calls({"SelectObject", "DeleteDC", "DeleteObject"}),
              (std::vector<std::string>{"SelectObject(" + std::to_string(sim::kStockFont) + ")",
                                        "DeleteDC()", "DeleteObject(" + created + ")"}));
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterFontTableTest, AFontThatCannotBeMadeLeavesTheDocumentWithoutPages) {
    sim::FailPrintCall("CreateFontIndirectA");
    AttachDefault();
    EXPECT_EQ(RtErrorNumber(), 0);  // the document start ignores the font's failure
    EXPECT_EQ(PrnFindFont(2)->printerFont, 0u);
    PrnTextColor(0);
    EXPECT_EQ(RtErrorNumber(), 57);
}

TEST_F(PrinterFontTableTest, AFontThatCannotBeSelectedIsDeletedAgain) {
    sim::FailPrintCall("SelectObject");
    AttachDefault();
    EXPECT_EQ(PrnFindFont(2)->printerFont, 0u);
    EXPECT_EQ(gPrinter.initialFont, 0u);
    PrnCancel();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

TEST_F(PrinterFontTableTest, ACancelledPrinterLeavesNoFontObjectForTheNextOne) {
    AttachDefault();
    PrnCancel();
    EXPECT_EQ(PrnFindFont(2)->printerFont, 0u);
    sim::PrinterNamed("Laser").dpiY = 300;
    PrnAttach(kPrnAttachByName, "Laser", Text());
    EXPECT_EQ(gPrinter.initialFont, sim::kStockFont);
    Release();
    EXPECT_EQ(sim::LivePrintObjects(), 0);
}

}  // namespace
