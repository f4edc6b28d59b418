#include "app/app.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.hpp"
#include "testing/sim_printer.hpp"

namespace {

const std::string kBanner = "\xF9 VIRODARO \xF9";
const std::string kFirstPurpose =
    "VIRODARO will prepare paper for cutting into four sections making scrap paper";
const std::string kSecondPurpose =
    "App will prepare paper lines for cutting into four sections making scrap paper";
const std::string kDiagram =
    " \r\n"
    " top left\r\n"
    "               Y                 Note:       center circle equals 50 pixals\r\n"
    "    x-         |                         2nd center circle equals 100 pixals\r\n"
    "    |          |                         3rd center circle equals 150 pixals\r\n"
    "    |          |                         3rd center circle equals 200 pixals\r\n"
    "  | X----------+----------X |\r\n"
    "    |          |\r\n"
    "    |          |\r\n"
    "    x+         |\r\n"
    "         y-    |    y+\r\n"
    "        <----- Y ----->\r\n"
    " \r\n";
const std::string kClosing =
    " \r\n            [ESC],[ENTER] and [Left Mouse Click] will Exit Program\r\n \r\n";

class AppMainTest : public SimPrinterTest {
  protected:
    static void Answer(const std::string& text) {
        for (char key : text)
            sim::PushKeyPress(key, 0);
        sim::PushKeyPress('\r', 28);
    }
    static std::string Trimmed(int row) {
        std::string text = sim::Row(row);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
};

TEST_F(AppMainTest, RunWithoutPrintersOrConsoleInputGoesThroughToItsEnd) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected, .consoleInput = false});
    EXPECT_EQ(AppMain(0, 0, "", 10), 0);
    // The printer list is one empty line; no printer, no page, no report, no question.
    EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kOutput),
              kBanner + "\r\n" + kFirstPurpose + "\r\n \r\n\r\n" + kDiagram + kBanner + "\r\n" +
                  kSecondPurpose + "\r\n \r\n \r\n" + kClosing);
}

TEST_F(AppMainTest, PromptsTakeTheOffsetsAndTheSecondScreenFollows) {
    Answer("12");
    Answer("-8");
    Answer("n");
    sim::PushKeyPress(27, 1);
    EXPECT_EQ(AppMain(0, 0, "", 10), 0);
    EXPECT_EQ(Trimmed(0), kBanner);
    EXPECT_EQ(Trimmed(1), kSecondPurpose);
    EXPECT_EQ(Trimmed(4),
              "    Width = 4800     Height = 6400  TopMargin=  100  BottonMargin=  100");
    EXPECT_EQ(Trimmed(5), " 1/2Width = 2400  1/2Height = 3200");
    EXPECT_EQ(Trimmed(6), "  Printer = Laser   X = 12   Y = -8");
    EXPECT_EQ(Trimmed(8), " Save setting (Y/N)n");
    EXPECT_EQ(Trimmed(10), "            [ESC],[ENTER] and [Left Mouse Click] will Exit Program");
    EXPECT_EQ(sim::QueuedInput(), 1);  // all but the release of Esc was read
}

}  // namespace
