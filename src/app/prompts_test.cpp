#include "app/prompts.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.hpp"
#include "testing/sim_runtime.hpp"

namespace {

class PromptsTest : public SimRuntimeTest {
  protected:
    static void Answer(const std::string& text) {
        for (char key : text)
            sim::PushKeyPress(key, 0);
        sim::PushKeyPress('\r', 28);
    }
    static AppOffsets Normalised(const char* x, const char* y, bool fromSettingsFile) {
        AppOffsets offsets{Text(x), Text(y), 0, 0, fromSettingsFile};
        AppNormaliseOffsets(offsets);
        return offsets;
    }
};

TEST_F(PromptsTest, AsksForBothOffsetsAtTheConsole) {
    Answer("12");
    Answer(" 0");
    AppOffsets offsets{};
    AppAskOffsets(offsets);
    EXPECT_EQ(offsets.xText, Text("12"));
    EXPECT_EQ(offsets.yText, Text(" 0"));  // typed blanks are kept
    EXPECT_EQ(sim::Row(0).substr(0, 48), " Please Enter value to align paper on X axis: 12");
    EXPECT_EQ(sim::Row(1).substr(0, 48), " Please Enter value to align paper on Y axis:  0");
}

TEST_F(PromptsTest, ResetPairsAskForTheCirclesAgain) {
    for (const auto& [x, y] : {std::pair{"", ""}, {"0", "0"}, {"00", "00"}}) {
        const AppOffsets offsets = Normalised(x, y, true);
        EXPECT_FALSE(offsets.fromSettingsFile) << '"' << x << "\" \"" << y << '"';
    }
    const AppOffsets zeros = Normalised("00", "00", true);
    EXPECT_EQ(zeros.xText, Text("00"));  // the texts stay as they are
    EXPECT_EQ(Normalised("", "", true).yText, Text("0"));
}

TEST_F(PromptsTest, OtherPairsAreKeptAndOnlyEmptyTextsBecomeZero) {
    const AppOffsets fiveAndNothing = Normalised("5", "", true);
    EXPECT_TRUE(fiveAndNothing.fromSettingsFile);
    EXPECT_EQ(fiveAndNothing.xText, Text("5"));
    EXPECT_EQ(fiveAndNothing.yText, Text("0"));
    EXPECT_TRUE(Normalised(" 0", "0", true).fromSettingsFile);
    EXPECT_TRUE(Normalised("0", "00", true).fromSettingsFile);
    EXPECT_EQ(Normalised("abc", "x", false).xText, Text("abc"));
}

TEST_F(PromptsTest, OnlyALoneYSavesWhateverItsCase) {
    for (const auto& [answer, saves] : {std::pair{"y", true},
                                        {"Y", true},
                                        {"yes", false},
                                        {" y", false},
                                        {"", false},
                                        {"n", false}}) {
        Answer(answer);
        EXPECT_EQ(AppAskToSave(), saves) << '"' << answer << '"';
    }
}

}  // namespace
