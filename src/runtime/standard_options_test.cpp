// --help and --version: which command tails ask for them, and that answering them leaves
// the console, the disk and the printers alone.

#include "runtime/standard_options.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/sim/sim.hpp"

namespace {

TEST(StandardOptions, OnlyEitherOptionAloneAsksForIt) {
    EXPECT_EQ(RtReadStandardOption("--help"), RtStandardOption::kHelp);
    EXPECT_EQ(RtReadStandardOption("--version"), RtStandardOption::kVersion);
    for (const char* tail : {"", "--help --version", "--version --help", "--help x", "x --help",
                             "\"--help \"", "\"--help\"", "--help\t", "-h", "--HELP", "--Version",
                             "--help=", "--vers", "-help", "/?", "/SHOW"}) {
        EXPECT_EQ(RtReadStandardOption(tail), RtStandardOption::kNone) << tail;
    }
}

class StandardOptionTest : public ::testing::Test {
  protected:
    void SetUp() override { sim::Reset(); }

    // On POSIX the options are the platform's convention.
    static void Posix() {
        sim::SetCommandLineConvention(platform::OptionConvention::kGnuStandardOptions);
    }

    static void ExpectNothingTouched() {
        EXPECT_EQ(sim::Row(0), std::string(80, ' '));
        EXPECT_EQ(sim::CursorShapeChanges(), 0);
        EXPECT_EQ(sim::RedirectedBytes(platform::StdHandle::kOutput), "");
        EXPECT_TRUE(sim::FileCalls().empty());
        EXPECT_TRUE(sim::Documents().empty());
    }
};

TEST_F(StandardOptionTest, HelpIsPlainLinesOnStandardOutputAndTouchesNothingElse) {
    Posix();
    EXPECT_EQ(RtAnswerStandardOption("--help"), 0u);
    const std::string usage = sim::StandardOutputBytes();
    EXPECT_EQ(usage.rfind("Usage: virodaro\n", 0), 0u) << usage;
    for (const char* topic : {"VIRODARO.CFG", "Alt+Q", "--version", "255", "man virodaro"}) {
        EXPECT_NE(usage.find(topic), std::string::npos) << topic;
    }
    // Lines that an 80-column terminal shows without wrapping, ended the platform's way.
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(usage.find('\r'), std::string::npos);
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LT(line.size(), 80u) << line;
    ExpectNothingTouched();
}

TEST_F(StandardOptionTest, VersionIsTheProjectsVersion) {
    Posix();
    EXPECT_EQ(RtAnswerStandardOption("--version"), 0u);
    EXPECT_EQ(sim::StandardOutputBytes(), "virodaro " VIRODARO_PROJECT_VERSION "\n");
    ExpectNothingTouched();
}

TEST_F(StandardOptionTest, AnyOtherTailGoesOnToTheRun) {
    Posix();
    for (const char* tail : {"", "--help x", "-h", "\"--help \"", "\"\" --version"}) {
        EXPECT_EQ(RtAnswerStandardOption(tail), std::nullopt) << tail;
    }
    EXPECT_EQ(sim::StandardOutputBytes(), "");
}

TEST_F(StandardOptionTest, WindowsLeavesEveryTailToTheProgram) {
    for (const char* tail : {"--help", "--version"}) {
        EXPECT_EQ(RtAnswerStandardOption(tail), std::nullopt) << tail;
    }
    EXPECT_EQ(sim::StandardOutputBytes(), "");
}

TEST_F(StandardOptionTest, StandardOutputThatTakesNoTextEndsWith255) {
    Posix();
    sim::FailStandardOutput(platform::kErrorDiskFull);
    EXPECT_EQ(RtAnswerStandardOption("--version"), 255u);
    ExpectNothingTouched();
}

}  // namespace
