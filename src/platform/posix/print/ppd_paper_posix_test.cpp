#include "platform/posix/print/ppd_paper_posix.hpp"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <string>

namespace platform::posix {
namespace {

// A PPD with these lines after a minimal header, open for reading as a file descriptor.
int PpdWith(const std::string& lines) {
    const std::string text =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
        "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"TEST.PPD\"\n"
        "*Manufacturer: \"Test\"\n*Product: \"(Test)\"\n*ModelName: \"Test\"\n"
        "*ShortNickName: \"Test\"\n*NickName: \"Test\"\n*PSVersion: \"(3010.000) 0\"\n" +
        lines;
    return UnnamedFile(text);
}

// Three sizes, the default neither first nor last, as HP's Ink Tank 310 lists a 3x5-inch
// card before Letter.
const std::string kThreeSizes =
    "*OpenUI *PageSize: PickOne\n"
    "*DefaultPageSize: Letter\n"
    "*PageSize Card3x5/3x5in: \"<</PageSize[216 360]>>setpagedevice\"\n"
    "*PageSize Letter/Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
    "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n"
    "*ImageableArea Card3x5/3x5in: \"9 9 207 351\"\n"
    "*ImageableArea Letter/Letter: \"8.4 41 603.6 783.6\"\n"
    "*ImageableArea A4/A4: \"12 12 583 830\"\n"
    "*PaperDimension Card3x5/3x5in: \"216 360\"\n"
    "*PaperDimension Letter/Letter: \"612 792\"\n"
    "*PaperDimension A4/A4: \"595 842\"\n";

void ExpectArea(const PaperArea& area, const PaperArea& expected) {
    EXPECT_EQ(area.unitsPerInch, expected.unitsPerInch);
    EXPECT_FLOAT_EQ(area.width, expected.width);
    EXPECT_FLOAT_EQ(area.length, expected.length);
    EXPECT_FLOAT_EQ(area.left, expected.left);
    EXPECT_FLOAT_EQ(area.bottom, expected.bottom);
    EXPECT_FLOAT_EQ(area.right, expected.right);
    EXPECT_FLOAT_EQ(area.top, expected.top);
}

TEST(PpdPaperTest, APpdSizeIsFoundAgainAfterTheServersRounding) {
    // The sample PostScript driver's A4: "595 842", "12 12 583 830"; the server says
    // 20990 x 29704 with margins of 423 (12 points are 423.33 hundredths).
    const PaperArea a4{72, 595, 842, 12, 12, 583, 830};
    const Paper reported{"iso_a4_210x297mm", 20990, 29704, 423, 423, 423, 423, {}};
    EXPECT_TRUE(ServerReportsAs(a4, reported));
    Paper borderless = reported;
    borderless.left = borderless.right = borderless.top = borderless.bottom = 0;
    EXPECT_FALSE(ServerReportsAs(a4, borderless));
    Paper letter = reported;
    letter.width = 21590;
    letter.length = 27940;
    EXPECT_FALSE(ServerReportsAs(a4, letter));
    // Uneven margins keep their sides: 18.5 points at the bottom are 653 hundredths.
    const PaperArea vendor{72, 595, 842, 12, 18.5, 583, 830};
    Paper uneven = reported;
    uneven.bottom = 653;
    EXPECT_TRUE(ServerReportsAs(vendor, uneven));
    EXPECT_FALSE(ServerReportsAs(vendor, reported));
    // Numbers no paper has do not overflow the comparison.
    EXPECT_FALSE(ServerReportsAs({72, 1e30, -1e30, 0, 0, 1e30, -1e30}, reported));
}

TEST(PpdPaperTest, TheDefaultsAreThePpdsNotItsFirstEntries) {
    Paper letter{"na_letter_8.5x11in", 21590, 27940, 296, 296, 296, 1446, {}};
    const std::optional<PpdDefaults> defaults =
        ReadPpd(PpdWith(kThreeSizes +
                        "*OpenUI *Resolution: PickOne\n*DefaultResolution: 600x1200dpi\n"
                        "*Resolution 300dpi: \"<</HWResolution[300 300]>>setpagedevice\"\n"
                        "*Resolution 600x1200dpi: \"<</HWResolution[600 1200]>>setpagedevice\"\n"
                        "*CloseUI: *Resolution\n"),
                {&letter});
    ASSERT_TRUE(defaults.has_value());
    ASSERT_TRUE(defaults->paper.has_value());
    ExpectArea(*defaults->paper, {72, 612, 792, 8.4, 41, 603.6, 783.6});
    EXPECT_EQ(defaults->dpiX, 600);
    EXPECT_EQ(defaults->dpiY, 1200);
    // The server's paper takes the PPD's own numbers.
    ExpectArea(letter.area, *defaults->paper);
}

TEST(PpdPaperTest, DefaultsWrittenOutsideAnOptionCount) {
    // Many drivers give the resolution as a line of its own, without a Resolution option.
    const std::optional<PpdDefaults> defaults =
        ReadPpd(PpdWith(kThreeSizes + "*DefaultResolution: 360dpi\n"), {});
    ASSERT_TRUE(defaults.has_value());
    EXPECT_EQ(defaults->dpiX, 360);
    EXPECT_EQ(defaults->dpiY, 360);
}

TEST(PpdPaperTest, WhatAPpdDoesNotGiveStaysAbsent) {
    // No resolution, and a default size without a PaperDimension.
    const std::optional<PpdDefaults> defaults = ReadPpd(
        PpdWith(
            "*OpenUI *PageSize: PickOne\n*DefaultPageSize: Odd\n"
            "*PageSize Odd/Odd: \"<</PageSize[100 100]>>setpagedevice\"\n*CloseUI: *PageSize\n"),
        {});
    ASSERT_TRUE(defaults.has_value());
    EXPECT_FALSE(defaults->paper.has_value());
    EXPECT_EQ(defaults->dpiX, 0);
    EXPECT_EQ(defaults->dpiY, 0);
    EXPECT_FALSE(ReadPpd(-1, {}).has_value());
}

TEST(PpdPaperTest, ResolutionsAreReadAsPpdsWriteThem) {
    EXPECT_EQ(PpdResolution("600dpi"), (std::pair<int32_t, int32_t>{600, 600}));
    EXPECT_EQ(PpdResolution("1200x600dpi"), (std::pair<int32_t, int32_t>{1200, 600}));
    for (const char* text : {"", "dpi", "600", "600x", "600xdpi", "x600dpi", "600dpi ", "-300dpi",
                             "0dpi", "600x0dpi", "99999999999dpi", "600dpcm", "600x600x600dpi"}) {
        EXPECT_FALSE(PpdResolution(text).has_value()) << text;
    }
}

TEST(PpdPaperTest, TheDefaultPaperIsTheServersPaperWithThePpdsNumbers) {
    const PaperArea letter{72, 612, 792, 12, 12, 600, 780};
    const Paper card{"na_index-3x5_3x5in", 7620, 12700, 0, 0, 0, 0, {}};
    // A borderless Letter first, under the same name, as the server lists some PPDs' sizes.
    const Paper borderless{"na_letter_8.5x11in", 21590, 27905, 0, 0, 0, 0, {}};
    const Paper withMargins{"na_letter_8.5x11in", 21590, 27940, 423, 423, 423, 423, {}};
    const Paper other{"custom_letter", 21590, 27940, 423, 423, 423, 423, {}};

    Paper paper = PaperFromPpd(letter, {card, borderless, withMargins, other}, "");
    EXPECT_EQ(paper.media, "na_letter_8.5x11in");
    EXPECT_EQ(paper.length, 27940);
    EXPECT_EQ(paper.left, 423);
    ExpectArea(paper.area, letter);
    // The one the server names, where two have the same numbers.
    EXPECT_EQ(PaperFromPpd(letter, {card, other, withMargins}, "na_letter_8.5x11in").media,
              "na_letter_8.5x11in");
    EXPECT_EQ(PaperFromPpd(letter, {card, other, withMargins}, "").media, "custom_letter");

    // A size the server does not list keeps the PPD's numbers and no name, so a job names
    // no paper and the server prints it on the PPD's default.
    paper = PaperFromPpd(letter, {card, borderless}, "na_letter_8.5x11in");
    EXPECT_EQ(paper.media, "");
    EXPECT_EQ(paper.width, 21590);
    EXPECT_EQ(paper.length, 27940);
    EXPECT_EQ(paper.left, 423);
    EXPECT_EQ(paper.top, 423);
    ExpectArea(paper.area, letter);
}

}  // namespace
}  // namespace platform::posix
