#include "platform/posix/print/ppd_paper_posix.hpp"

#include <gtest/gtest.h>

namespace platform::posix {
namespace {

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
}

}  // namespace
}  // namespace platform::posix
