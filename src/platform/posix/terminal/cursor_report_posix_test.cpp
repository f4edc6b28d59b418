#include "platform/posix/terminal/cursor_report_posix.hpp"

#include <gtest/gtest.h>

#include <string>

namespace platform::posix {
namespace {

TEST(CursorReport, TakesTheReportAndKeepsTheKeysAroundIt) {
    std::string bytes = "ab\x1b[A\x1b[12;40Rcd";
    Coord position{};
    ASSERT_TRUE(TakeCursorReport(bytes, &position));
    EXPECT_EQ(position.x, 39);
    EXPECT_EQ(position.y, 11);
    EXPECT_EQ(bytes, "ab\x1b[Acd");
}

TEST(CursorReport, WaitsForAnUnfinishedReport) {
    Coord position{};
    for (std::string bytes : {"\x1b", "\x1b[", "\x1b[3", "\x1b[3;", "\x1b[3;7"}) {
        EXPECT_FALSE(TakeCursorReport(bytes, &position)) << bytes;
    }
}

TEST(CursorReport, IgnoresSequencesThatAreNotReports) {
    Coord position{};
    for (std::string bytes : {"\x1b[;5R", "\x1b[5R", "\x1b[0;0R", "\x1b[99999;1R", "\x1b[1;2~"}) {
        EXPECT_FALSE(TakeCursorReport(bytes, &position)) << bytes;
    }
    std::string mixed = "\x1b[5R\x1b[2;3R";
    ASSERT_TRUE(TakeCursorReport(mixed, &position));
    EXPECT_EQ(mixed, "\x1b[5R");
    EXPECT_EQ(position.x, 2);
}

}  // namespace
}  // namespace platform::posix
