#include "app/app.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

const std::string kBanner = "\xF9 VIRODARO \xF9";
const std::string kFirstPurpose =
    "VIRODARO will prepare paper for cutting into four sections making scrap paper";
const std::string kSecondPurpose =
    "App will prepare paper lines for cutting into four sections making scrap paper";

class AppMainTest : public SimRuntimeTest {};

TEST_F(AppMainTest, RedirectedRunWritesBothBannersAndABlankLine) {
    StartRuntime({.stdOutput = sim::Stream::kRedirected});
    EXPECT_EQ(AppMain(0, 0, "", 10), 0);
    EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kOutput),
              kBanner + "\r\n" + kFirstPurpose + "\r\n \r\n" + kBanner + "\r\n" + kSecondPurpose +
                  "\r\n \r\n \r\n");
}

TEST_F(AppMainTest, SecondBannerStandsAtTheTopOfAClearedScreen) {
    sim::PlaceCursor({0, 24});
    EXPECT_EQ(AppMain(0, 0, "", 10), 0);
    EXPECT_EQ(sim::Row(0).substr(0, 12), kBanner);
    EXPECT_EQ(sim::Row(1).substr(0, kSecondPurpose.size()), kSecondPurpose);
    EXPECT_EQ(sim::Row(2), " " + std::string(79, ' '));
    EXPECT_EQ(sim::Cursor().y, 4);
    EXPECT_EQ(sim::Cursor().x, 0);
}

}  // namespace
