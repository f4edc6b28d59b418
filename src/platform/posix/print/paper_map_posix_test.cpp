#include "platform/posix/print/paper_map_posix.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/posix/print/print_job_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

TEST(PaperMapTest, MediaNamesAndWindowsPaperNumbersMapBothWays) {
    EXPECT_EQ(PaperNumberOf("iso_a4_210x297mm"), 9);
    EXPECT_EQ(PaperNumberOf("iso_a4_210x297mm_borderless"), 9);
    EXPECT_EQ(PaperNumberOf("na_letter_8.5x11in"), 1);
    EXPECT_EQ(PaperNumberOf("custom_16x20in_16x20in"), 0);
    EXPECT_EQ(MediaNameOf(9), "iso_a4_210x297mm");
    EXPECT_EQ(MediaNameOf(2), "");
    EXPECT_EQ(PaperDisplayName("iso_a4_210x297mm_borderless"), "A4");
    EXPECT_EQ(PaperDisplayName("custom_16x20in_16x20in"), "16x20in");
    EXPECT_EQ(StripBorderless("_borderless"), "_borderless");
}

TEST(PaperMapTest, UnknownPapersAndSourcesAreNumberedByPosition) {
    const std::vector<std::string> media{"custom_1x1in_1x1in", "iso_a4_210x297mm",
                                         "custom_2x2in_2x2in"};
    EXPECT_EQ(NumberList(media, PaperNumberOf, kUserPaper), (std::vector<uint16_t>{257, 9, 259}));
    const std::vector<std::string> sources{"auto", "tray-1", "manual"};
    EXPECT_EQ(NumberList(sources, BinNumberOf, kUserBin), (std::vector<uint16_t>{7, 258, 4}));
}

TEST(PaperMapTest, TitlesBecomeSafeFileNames) {
    EXPECT_EQ(SafeFileName("14:03:27 0"), "14_03_27 0");
    EXPECT_EQ(SafeFileName("../etc/passwd"), "_._etc_passwd");
    EXPECT_EQ(SafeFileName(".hidden.pdf"), "_hidden.pdf");
    EXPECT_EQ(SafeFileName(""), "job");
    EXPECT_EQ(SafeFileName("\xf9 \x01"), "_ _");
}

class PdfFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/virodaro-pdf-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }
    std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    std::string directory_;
};

TEST_F(PdfFileTest, FilesAreNamedAfterTheTitleAndNeverOverwritten) {
    std::string first, second;
    ASSERT_TRUE(WritePdfFile(directory_, "12:00:00 0", "one", &first));
    ASSERT_TRUE(WritePdfFile(directory_, "12:00:00 0", "two", &second));
    EXPECT_EQ(first, directory_ + "/12_00_00 0.pdf");
    EXPECT_EQ(second, directory_ + "/12_00_00 0 (2).pdf");
    EXPECT_EQ(Read(first), "one");
    EXPECT_EQ(Read(second), "two");
}

TEST_F(PdfFileTest, AMissingDirectoryFailsWithALastError) {
    std::string path;
    EXPECT_FALSE(WritePdfFile(directory_ + "/missing", "t", "x", &path));
    EXPECT_NE(GetLastError(), kErrorSuccess);
}

}  // namespace
}  // namespace platform::posix
