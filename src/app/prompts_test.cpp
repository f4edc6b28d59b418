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
