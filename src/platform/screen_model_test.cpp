#include "platform/screen_model.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

struct Step {
    ProcessedStep step;
    char byte;
    bool scrolled;
    bool operator==(const Step&) const = default;
};

class ScreenModelTest : public ::testing::Test {
  protected:
    void SetUp() override { screen_.Resize(8, 3); }

    void Write(const std::string& bytes) {
        WriteProcessed(screen_, bytes, 7, [&](ProcessedStep step, uint8_t byte, bool scrolled) {
            steps_.push_back({step, static_cast<char>(byte), scrolled});
        });
    }
    std::string Row(int y) const {
        std::string row;
        for (int x = 0; x < screen_.Width(); ++x)
            row += screen_.At(x, y).character;
        return row;
    }

    ScreenModel screen_;
    std::vector<Step> steps_;
};

TEST_F(ScreenModelTest, GlyphInTheLastColumnWrapsAtOnce) {
    Write("abcdefgh");
    EXPECT_EQ(Row(0), "abcdefgh");
    EXPECT_EQ(screen_.Cursor().x, 0);
    EXPECT_EQ(screen_.Cursor().y, 1);
    EXPECT_EQ(steps_.back(), (Step{ProcessedStep::kGlyphThenWrap, 'h', false}));
}

TEST_F(ScreenModelTest, WrapOnTheBottomRowScrolls) {
    screen_.SetCursor({0, 2});
    Write("top");
    screen_.SetCursor({0, 0});
    Write("first");
    screen_.SetCursor({6, 2});
    Write("xy");
    EXPECT_EQ(Row(0), "        ");  // "first" scrolled out
    EXPECT_EQ(Row(1), "top   xy");
    EXPECT_EQ(Row(2), "        ");
    EXPECT_EQ(steps_.back(), (Step{ProcessedStep::kGlyphThenWrap, 'y', true}));
}

TEST_F(ScreenModelTest, ControlBytesMoveTheCursorTheConsoleWay) {
    Write("ab\rX");
    EXPECT_EQ(Row(0), "Xb      ");
    Write("\n");  // a line feed also returns to column 0
    EXPECT_EQ(screen_.Cursor().x, 0);
    EXPECT_EQ(screen_.Cursor().y, 1);
    Write("\b");  // nothing to go back to at column 0
    EXPECT_EQ(screen_.Cursor().x, 0);
    Write("cd\b\a");
    EXPECT_EQ(screen_.Cursor().x, 1);
    EXPECT_EQ(Row(1), "cd      ");
}

TEST_F(ScreenModelTest, TabWritesBlanksToTheNextMultipleOfEight) {
    screen_.Resize(12, 3);
    Write("ab\tc");
    EXPECT_EQ(screen_.At(8, 0).character, 'c');
    Write("\t");  // from column 9 the next stop lies past the edge: blanks to the wrap
    EXPECT_EQ(screen_.Cursor().x, 0);
    EXPECT_EQ(screen_.Cursor().y, 1);
}

TEST_F(ScreenModelTest, ResizeKeepsWhatFitsAndTheCursorInside) {
    Write("abcdefgh12");
    screen_.Resize(4, 2);
    EXPECT_EQ(screen_.At(3, 0).character, 'd');
    EXPECT_EQ(screen_.At(1, 1).character, '2');
    screen_.SetCursor({30, 30});
    EXPECT_EQ(screen_.Cursor().x, 3);
    EXPECT_EQ(screen_.Cursor().y, 1);
}

TEST_F(ScreenModelTest, FillsStopAtTheEndOfTheBuffer) {
    EXPECT_EQ(screen_.FillCharacters('#', 100, {6, 2}), 2u);
    EXPECT_EQ(screen_.FillAttributes(0x1F, 3, {7, 0}), 3u);
    EXPECT_EQ(screen_.At(1, 1).attributes, 0x1F);
    EXPECT_EQ(screen_.FillCharacters('#', 1, {8, 0}), 0u);
}

}  // namespace
}  // namespace platform
