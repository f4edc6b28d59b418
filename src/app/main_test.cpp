// Whole runs of the program against the simulated console, disk and printer, one per shape
// of run.

#include "app/app.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/sim.hpp"
#include "testing/sim_printer.hpp"

namespace {

const std::string kFirstBanner =
    "\xF9 VIRODARO \xF9\r\n"
    "VIRODARO will prepare paper for cutting into four sections making scrap paper\r\n \r\n";
const std::string kSecondBanner =
    "\xF9 VIRODARO \xF9\r\n"
    "App will prepare paper lines for cutting into four sections making scrap paper\r\n \r\n";
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
const std::string kPrinterList = "Laser\r\nOffice\r\nPlotter\r\n\r\n";
const std::string kClosing =
    " \r\n            [ESC],[ENTER] and [Left Mouse Click] will Exit Program\r\n \r\n";
const std::string kSaved = " \r\n ....Saved VIRODARO.CFG File.\r\n";
const std::string kSettingsPath = "C:\\WORK\\VIRODARO.CFG";

// The default printer "Office": 4800 x 6400 printable at 600 dpi, margins of 100.
std::string Report(const std::string& x, const std::string& y) {
    return "    Width = 4800     Height = 6400  TopMargin=  100  BottonMargin=  100\r\n"
           " 1/2Width = 2400  1/2Height = 3200\r\n"
           "  Printer = Laser   X = " +
           x + "   Y = " + y + "\r\n \r\n";
}

using CallList = std::vector<std::string>;

class AppRunTest : public SimPrinterTest {
  protected:
    void SetUp() override {
        SimPrinterTest::SetUp();
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Laser"));
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        sim::AddPrinter(sim::MakePrinter("Plotter"));
    }

    static void Answer(const std::string& text) {
        for (char key : text)
            sim::PushKeyPress(key, 0);
        sim::PushKeyPress('\r', 28);
    }
    static void Settings(const std::string& bytes) { sim::AddFile(kSettingsPath, bytes); }
    static std::string Screen() { return sim::RedirectedBytes(platform::StdHandle::kOutput); }
    static int Run() { return AppMain(0, 0, "", 10); }
    static size_t PagesPrinted() {
        size_t pages = 0;
        for (const sim::PrintedDocument& document : sim::Documents()) {
            if (document.ended) pages += document.pageOrientations.size();
        }
        return pages;
    }
};

TEST_F(AppRunTest, FirstRunAsksPrintsReportsAndSaves) {
    Answer("12");
    Answer("-8");
    Answer("y");
    sim::PushKeyPress('\r', 28);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Screen(), kFirstBanner + kPrinterList + kDiagram + kSecondBanner + " \r\n" +
                            Report("12", "-8") + kSaved + kClosing);
    EXPECT_EQ(sim::FileBytes(kSettingsPath), "12\r\n-8\r\n");
    ASSERT_EQ(sim::Documents().size(), 1u);
    EXPECT_EQ(sim::Documents()[0].title, "09:05:03 0");
    EXPECT_EQ(sim::Documents()[0].printer, "Office");
    EXPECT_EQ(PagesPrinted(), 1u);
    // X shifts the horizontal lines, the circles and the caption down; Y shifts the vertical
    // cut line right; the marks take them the other way round.
    EXPECT_EQ(Calls({"LineTo", "RoundRect", "TextOutA"}),
              (CallList{
                  "LineTo(262,1122;pen 1 2 0x808080)",
                  "LineTo(2537,1122;pen 1 2 0x808080)",
                  "LineTo(262,2232;pen 1 2 0x808080)",
                  "LineTo(2537,2232;pen 1 2 0x808080)",
                  "LineTo(4800,3212;pen 2 2 0x000000)",
                  "LineTo(2392,6400;pen 2 2 0x000000)",
                  "LineTo(4800,4712;pen 2 2 0x0000FF)",
                  "LineTo(4800,1712;pen 2 2 0x0000FF)",
                  "RoundRect(2367,3187,2417,3237,51,51;pen 2 2 0x808080;brush hollow)",
                  "RoundRect(2342,3162,2442,3262,101,101;pen 2 2 0x808080;brush hollow)",
                  "RoundRect(2317,3137,2467,3287,151,151;pen 2 2 0x808080;brush hollow)",
                  "RoundRect(2292,3112,2492,3312,201,201;pen 2 2 0x808080;brush hollow)",
                  "TextOutA(2517,3237,50,100,150,200 Circles;Arial -67 0x808080)",
              }));
    EXPECT_EQ(Calls({"MoveToEx"}).front(), "MoveToEx(0,0)");  // the page's start
    EXPECT_EQ(Calls({"MoveToEx"})[1], "MoveToEx(37,1122)");
}

TEST_F(AppRunTest, SavedOffsetsSkipThePromptsTheCirclesAndTheQuestion) {
    Settings("12\r\n-8\r\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Screen(), kFirstBanner + kSecondBanner + "   setting  X = 12     Y = -8\r\n \r\n" +
                            Report("12", "-8") + kClosing);
    EXPECT_EQ(PagesPrinted(), 1u);
    // Marks, cut and guide lines only; the caption's font is still made and its place set.
    EXPECT_EQ(Calls({"LineTo"}).size(), 8u);
    EXPECT_TRUE(Calls({"RoundRect", "TextOutA"}).empty());
    EXPECT_EQ(Calls({"CreateFontIndirectA"}).back(), "CreateFontIndirectA(Arial,-67)");
    EXPECT_EQ(Calls({"MoveToEx"}).back(), "MoveToEx(2517,3237)");
}

TEST_F(AppRunTest, HalfPixelOffsetsRoundToTheEvenPixel) {
    for (const auto& [offset, row] : {std::pair{"0.5", "3300"}, {"1.5", "3302"}}) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::Printer printer = sim::MakePrinter("Office");
        printer.printableHeight = 6600;  // the crossing at y = 3300

        sim::AddPrinter(printer, true);
        Answer(offset);
        Answer("0");
        Answer("n");
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(Calls({"LineTo"})[4], std::string("LineTo(4800,") + row + ";pen 2 2 0x000000)")
            << offset;
    }
}

TEST_F(AppRunTest, AResetPairInTheFileAsksToSaveAgain) {
    for (const char* zero : {"0", "00"}) {
        Settings(std::string(zero) + "\r\n" + zero + "\r\n");
        Answer("n");
        sim::ClearPrintCalls();
        EXPECT_EQ(Run(), 0);
        EXPECT_NE(Screen().find(Report(zero, zero)), std::string::npos) << zero;
        EXPECT_EQ(sim::QueuedInput(), 0) << zero;  // the question took the answer

        EXPECT_EQ(sim::FileBytes(kSettingsPath), std::string(zero) + "\r\n" + zero + "\r\n");
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Laser"));
        sim::AddPrinter(sim::MakePrinter("Office"), true);
    }
}

TEST_F(AppRunTest, AFileWithAnEmptySecondLineKeepsItsOffsets) {
    Settings("5\r\n\r\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Screen().find("   setting  X = 5     Y = 0\r\n"), std::string::npos);
    EXPECT_NE(Screen().find(Report("5", "0")), std::string::npos);
    EXPECT_EQ(Screen().find("Save setting"), std::string::npos);
}

TEST_F(AppRunTest, ASettingsFileThatCannotBeReadPrintsNothingAndSaysWhy) {
    const std::string tooShort =
        " ....No page printed: VIRODARO.CFG File has no second line (runtime error 62).\r\n";
    const std::string notOpened =
        " ....No page printed: VIRODARO.CFG File could not be opened (runtime error 70).\r\n";
    const struct {
        const char* what;
        void (*make)();
        std::string settingLine;
        std::string line;
    } cases[] = {
        {"one line", [] { Settings("7\r\n"); }, "   setting  X = 7     Y = 0\r\n", tooShort},
        // A lone LF is data: the whole file is the first line.
        {"LF line ends", [] { Settings("1\n2\n"); }, "   setting  X = 1\n2\n     Y = 0\r\n",
         tooShort},
        {"empty", [] { Settings(""); }, "   setting  X = 0     Y = 0\r\n", tooShort},
        {"a directory", [] { sim::AddDirectory(kSettingsPath); }, "   setting  X = 0     Y = 0\r\n",
         notOpened},
        {"held by another process",
         [] {
             Settings("1\r\n2\r\n");
             sim::HoldFile(kSettingsPath, 0xC0000000, 0);
         },
         "   setting  X = 0     Y = 0\r\n", notOpened},
    };
    for (const auto& c : cases) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        c.make();
        const std::optional<std::string> before = sim::FileBytes(kSettingsPath);
        Answer("y");  // what a save question would take
        EXPECT_EQ(Run(), 0) << c.what;
        // The line stands where the report would; there is no page and no question.
        EXPECT_EQ(Screen(),
                  kFirstBanner + kSecondBanner + c.settingLine + " \r\n" + c.line + kClosing)
            << c.what;
        EXPECT_EQ(PagesPrinted(), 0u) << c.what;
        EXPECT_EQ(sim::FileBytes(kSettingsPath), before) << c.what;
    }
}

TEST_F(AppRunTest, AnEarlierFailedWriteToTheScreenIsTheReasonGiven) {
    Settings("1\r\n2\r\n");
    sim::ShortenNextWrite(3);  // the first banner line
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Screen().find(" \r\n ....No page printed: the screen could not be written (runtime "
                            "error 61).\r\n" +
                            kClosing),
              std::string::npos);
    EXPECT_EQ(PagesPrinted(), 0u);
}

TEST_F(AppRunTest, OffsetsBeyondThePageDrawAtTheEndsOfTheRange) {
    for (const char* huge : {"1e5000", "-1e38", "3e9"}) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        Answer(huge);
        Answer(huge);
        Answer("n");
        EXPECT_EQ(Run(), 0) << huge;
        const bool negative = huge[0] == '-';
        const std::string end = negative ? "-2147483648" : "2147483647";
        // The line after the caption: 89 pixels down from the low end, none from the high.
        const std::string nextLine = negative ? "-2147483559" : end;
        EXPECT_NE(Screen().find(std::string("   X = ") + huge + "   Y = " + huge + "\r\n"),
                  std::string::npos)
            << huge;
        EXPECT_EQ(Calls({"TextOutA"}), CallList{"TextOutA(" + end + "," + end +
                                                ",50,100,150,200 Circles;Arial -67 0x808080)"})
            << huge;
        EXPECT_EQ(Calls({"MoveToEx"}).back(), "MoveToEx(0," + nextLine + ")") << huge;
        EXPECT_EQ(PagesPrinted(), 1u) << huge;
    }
}

TEST_F(AppRunTest, AnswersAreKeptAsTyped) {
    Answer("abc");
    Answer(" 0");
    Answer("Y");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Screen().find(Report("abc", " 0")), std::string::npos);
    EXPECT_EQ(sim::FileBytes(kSettingsPath), "abc\r\n 0\r\n");
}

TEST_F(AppRunTest, EmptyAnswersAreSavedAsZero) {
    Answer("");
    Answer("");
    Answer("y");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Screen().find(Report("0", "0")), std::string::npos);
    EXPECT_EQ(sim::FileBytes(kSettingsPath), "0\r\n0\r\n");
}

TEST_F(AppRunTest, OnlyYSaves) {
    for (const char* answer : {"yes", " y", "", "n"}) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        Answer("1");
        Answer("2");
        Answer(answer);
        EXPECT_EQ(Run(), 0);
        EXPECT_FALSE(sim::FileBytes(kSettingsPath)) << '"' << answer << '"';
    }
}

TEST_F(AppRunTest, WithoutPrintersTheLineFollowsTheBlankLine) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    Answer("1");
    Answer("2");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Screen(), kFirstBanner + "\r\n" + kDiagram + kSecondBanner + " \r\n" +
                            " ....No page printed: no printer could be attached (runtime error "
                            "68).\r\n" +
                            kClosing);
    EXPECT_TRUE(sim::Documents().empty());
}

TEST_F(AppRunTest, ADefaultPrinterThatAttachesNothingQuietlyGivesNoNumber) {
    sim::FailPrintCall("PrintDlgA", 1, 0);
    Answer("1");
    Answer("2");
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(Screen().ends_with(kSecondBanner + " \r\n" +
                                   " ....No page printed: no printer could be attached.\r\n" +
                                   kClosing));
    EXPECT_TRUE(sim::Documents().empty());
}

TEST_F(AppRunTest, APageThePrinterDidNotTakeIsNotReported) {
    const std::string notTaken =
        " ....No page printed: the printer did not take the page (runtime error 57).\r\n";
    const struct {
        const char* what;
        void (*make)();
    } cases[] = {
        {"a destination that cannot write its file",
         [] { sim::PrinterNamed("Office").endDocError = platform::kErrorAccessDenied; }},
        {"a page the printer refuses to end", [] { sim::FailPrintCall("EndPage"); }},
    };
    for (const auto& c : cases) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::AddPrinter(sim::MakePrinter("Laser"));
        sim::AddPrinter(sim::MakePrinter("Office"), true);
        c.make();
        Answer("12");
        Answer("-8");
        Answer("y");
        EXPECT_EQ(Run(), 0) << c.what;
        EXPECT_EQ(Screen(), kFirstBanner + "Laser\r\nOffice\r\n\r\n" + kDiagram + kSecondBanner +
                                " \r\n" + notTaken + kClosing)
            << c.what;
        // The page was drawn and the document ended, but nothing reached the printer and no
        // question was asked.
        EXPECT_EQ(Calls({"LineTo"}).size(), 8u) << c.what;
        EXPECT_EQ(Calls({"EndDoc"}).size(), 1u) << c.what;
        EXPECT_EQ(PagesPrinted(), 0u) << c.what;
        EXPECT_FALSE(sim::FileBytes(kSettingsPath)) << c.what;
        EXPECT_EQ(sim::LivePrintObjects(), 0) << c.what;
    }
}

TEST_F(AppRunTest, AGivenUpPrintServerIsNamedWithWhyAndSoIsTheFileThePageWentTo) {
    struct Case {
        platform::PrintServerTrouble trouble;
        std::string above;  // above the printer list
        std::string why;    // in the report, before the file
    };
    const Case cases[] = {
        {platform::PrintServerTrouble::kSilent, "does not answer.", "did not answer"},
        {platform::PrintServerTrouble::kUnusable, "gave no usable answer.",
         "gave no usable answer"},
        {platform::PrintServerTrouble::kPassword, "asks for a password.", "asks for a password"},
    };
    for (const Case& c : cases) {
        const std::string named = " ....The print server printhost:631 " + c.above + "\r\n";
        const std::string wentToFile = " ....The print server printhost:631 " + c.why +
                                       ": the page went to the file \"09:05:03 0.pdf\".\r\n";
        for (const bool withSettings : {false, true}) {
            StartRuntime({.stdOutput = sim::Stream::kRedirected});
            sim::Printer file = sim::MakePrinter("PDF file");
            file.writesFiles = true;
            sim::AddPrinter(file, true);
            sim::SetPrintServerTrouble("printhost:631", c.trouble);
            if (withSettings) {
                Settings("12\r\n-8\r\n");
            } else {
                Answer("12");
                Answer("-8");
                Answer("n");
            }
            EXPECT_EQ(Run(), 0);
            const std::string report =
                "    Width = 4800     Height = 6400  TopMargin=  100  BottonMargin=  100\r\n"
                " 1/2Width = 2400  1/2Height = 3200\r\n"
                "  Printer = PDF file   X = 12   Y = -8\r\n" +
                wentToFile + " \r\n";
            if (withSettings) {
                EXPECT_EQ(Screen(), kFirstBanner + kSecondBanner +
                                        "   setting  X = 12     Y = -8\r\n \r\n" + report +
                                        kClosing)
                    << c.why;
            } else {
                EXPECT_EQ(Screen(), kFirstBanner + named + "PDF file\r\n\r\n" + kDiagram +
                                        kSecondBanner + " \r\n" + report + kClosing)
                    << c.why;
            }
            EXPECT_EQ(PagesPrinted(), 1u);
        }
    }
    // A page that reached a printer needs no word, and neither does one that went to a file
    // while the server answered.
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    sim::Printer file = sim::MakePrinter("PDF file");
    file.writesFiles = true;
    sim::AddPrinter(file, true);
    Settings("12\r\n-8\r\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Screen().find("print server"), std::string::npos);
}

TEST_F(AppRunTest, AServerThatWantsAPasswordForTheJobIsNamedBelowTheMissingPage) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    sim::AddPrinter(sim::MakePrinter("Office"), true);
    sim::PrinterNamed("Office").endDocError = platform::kErrorNotReady;
    sim::SetPrintServerTrouble("printhost:631", platform::PrintServerTrouble::kPassword);
    Settings("12\r\n-8\r\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Screen(), kFirstBanner + kSecondBanner + "   setting  X = 12     Y = -8\r\n \r\n" +
                            " ....No page printed: the printer did not take the page (runtime "
                            "error 57).\r\n"
                            " ....The print server printhost:631 asks for a password.\r\n" +
                            kClosing);
}

TEST_F(AppRunTest, QueueNamesFromTheServerNeitherRingNorStartLinesOfTheirOwn) {
    // A server's name for a queue is data: the bytes a console acts on show as "?", the
    // other controls as the console shows them.
    const std::string forged = "lp\r\n  Printer = forged\x07\t\b\x01";
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    sim::AddPrinter(sim::MakePrinter(forged), true);
    Answer("12");
    Answer("-8");
    Answer("n");
    EXPECT_EQ(Run(), 0);
    const std::string shown = "lp??  Printer = forged???\x01";
    EXPECT_EQ(Screen(),
              kFirstBanner + shown + "\r\n\r\n" + kDiagram + kSecondBanner + " \r\n" +
                  "    Width = 4800     Height = 6400  TopMargin=  100  BottonMargin=  100\r\n"
                  " 1/2Width = 2400  1/2Height = 3200\r\n"
                  "  Printer = " +
                  shown + "   X = 12   Y = -8\r\n \r\n" + kClosing);
    // The name the job goes to is the server's own.
    ASSERT_EQ(sim::Documents().size(), 1u);
    EXPECT_EQ(sim::Documents()[0].printer, forged);
}

TEST_F(AppRunTest, AnErrorWhileDrawingStillReportsThePage) {
    sim::FailPrintCall("TextOutA");
    Answer("0");
    Answer("0");
    Answer("n");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(Screen().find(Report("0", "0")), std::string::npos);
    EXPECT_EQ(PagesPrinted(), 1u);
}

TEST_F(AppRunTest, ALandscapeDefaultIsMeasuredAsItIsAndPrintedInPortrait) {
    sim::PrinterNamed("Office").devMode.orientation = 2;
    Answer("0");
    Answer("0");
    Answer("n");
    EXPECT_EQ(Run(), 0);
    EXPECT_NE(
        Screen().find("    Width = 6400     Height = 4800  TopMargin=  150  BottonMargin=  150\r\n"
                      " 1/2Width = 3200  1/2Height = 2400\r\n"),
        std::string::npos);
    ASSERT_EQ(sim::Documents().size(), 1u);
    EXPECT_EQ(sim::Documents()[0].pageOrientations, std::vector<int16_t>{1});
}

TEST_F(AppRunTest, HalvesRoundToTheEvenNeighbour) {
    for (const auto& [width, half] : {std::pair{4961, "2480"}, {4963, "2482"}}) {
        StartRuntime({.stdOutput = sim::Stream::kRedirected});
        sim::Printer printer = sim::MakePrinter("Office");
        printer.printableWidth = width;
        sim::AddPrinter(printer, true);
        Answer("");
        Answer("");
        Answer("");
        EXPECT_EQ(Run(), 0);
        EXPECT_NE(Screen().find(std::string(" 1/2Width = ") + half + "  "), std::string::npos)
            << width;
    }
}

}  // namespace
