#include "app/offsets.hpp"

#include <gtest/gtest.h>

#include <utility>

#include "testing/sim_runtime.hpp"

namespace {

class OffsetsTest : public SimRuntimeTest {
  protected:
    static AppOffsets Normalised(const char* x, const char* y, bool fromSettingsFile) {
        AppOffsets offsets{Text(x), Text(y), 0, 0, fromSettingsFile};
        AppNormaliseOffsets(offsets);
        return offsets;
    }
    static AppOffsets Parsed(const char* x, const char* y) {
        AppOffsets offsets{Text(x), Text(y), 0, 0, false};
        AppParseOffsets(offsets);
        return offsets;
    }
};

TEST_F(OffsetsTest, ResetPairsAskForTheCirclesAgain) {
    for (const auto& [x, y] : {std::pair{"", ""}, {"0", "0"}, {"00", "00"}}) {
        const AppOffsets offsets = Normalised(x, y, true);
        EXPECT_FALSE(offsets.fromSettingsFile) << '"' << x << "\" \"" << y << '"';
    }
    const AppOffsets zeros = Normalised("00", "00", true);
    EXPECT_EQ(zeros.xText, Text("00"));  // the texts stay as they are
    EXPECT_EQ(Normalised("", "", true).yText, Text("0"));
}

TEST_F(OffsetsTest, OtherPairsAreKeptAndOnlyEmptyTextsBecomeZero) {
    const AppOffsets fiveAndNothing = Normalised("5", "", true);
    EXPECT_TRUE(fiveAndNothing.fromSettingsFile);
    EXPECT_EQ(fiveAndNothing.xText, Text("5"));
    EXPECT_EQ(fiveAndNothing.yText, Text("0"));
    EXPECT_TRUE(Normalised(" 0", "0", true).fromSettingsFile);
    EXPECT_TRUE(Normalised("0", "00", true).fromSettingsFile);
    EXPECT_EQ(Normalised("abc", "x", false).xText, Text("abc"));
}

TEST_F(OffsetsTest, TextsBecomeSinglePrecisionNumbers) {
    const AppOffsets typed = Parsed("12", "-8");
    EXPECT_EQ(typed.xOffset, 12.0f);
    EXPECT_EQ(typed.yOffset, -8.0f);
    EXPECT_EQ(Parsed("abc", " 0.5").xOffset, 0.0f);  // no number: 0
    EXPECT_EQ(Parsed("abc", " 0.5").yOffset, 0.5f);
    EXPECT_EQ(Parsed("0.1", "1e3").xOffset, 0.1f);  // rounded once, to the nearest float
    EXPECT_EQ(Parsed("0.1", "1e3").yOffset, 1000.0f);
}

}  // namespace
