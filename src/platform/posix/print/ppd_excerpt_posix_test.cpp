#include "platform/posix/print/ppd_excerpt_posix.hpp"

#include <cups/ppd.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "platform/posix/print/ppd_paper_posix.hpp"

namespace platform::posix {
namespace {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Size = std::tuple<std::string, float, float, float, float, float, float>;

// The paper sizes libcups reads from a PPD, with all their numbers.
std::set<Size> SizesOf(const std::string& text) {
    std::set<Size> sizes;
    ppd_file_t* ppd = ppdOpenFd(UnnamedFile(text));
    if (ppd == nullptr) return sizes;
    for (int i = 0; i < ppd->num_sizes; ++i) {
        const ppd_size_t& size = ppd->sizes[i];
        sizes.insert(
            {size.name, size.width, size.length, size.left, size.bottom, size.right, size.top});
    }
    ppdClose(ppd);
    return sizes;
}
#pragma GCC diagnostic pop

std::string DefaultsOf(const std::string& text) {
    const std::optional<PpdDefaults> defaults = ReadPpd(UnnamedFile(text), {});
    if (!defaults) return "no PPD";
    std::ostringstream shown;
    if (defaults->paper) {
        const PaperArea& area = *defaults->paper;
        shown << area.width << "x" << area.length << " " << area.left << "," << area.bottom << ","
              << area.right << "," << area.top;
    }
    shown << " " << defaults->dpiX << "x" << defaults->dpiY;
    return shown.str();
}

TEST(PpdExcerptTest, TheExcerptReadsAsTheWholePpdForEveryInstalledOne) {
    int compared = 0;
    for (const char* root : {"/usr/share/ppd", "/usr/share/cups/model"}) {
        std::error_code missing;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, missing)) {
            const std::string path = entry.path().string();
            if (!entry.is_regular_file() ||
                !(path.ends_with(".ppd") || path.ends_with(".ppd.gz"))) {
                continue;
            }
            std::stringstream whole;
            // libcups' files read compressed PPDs as they stand.
            cups_file_t* file = cupsFileOpen(path.c_str(), "r");
            ASSERT_NE(file, nullptr) << path;
            char buffer[8192];
            for (ssize_t got; (got = cupsFileRead(file, buffer, sizeof buffer)) > 0;)
                whole.write(buffer, got);
            cupsFileClose(file);
            const std::optional<std::string> excerpt = PpdExcerpt(whole.str());
            ASSERT_TRUE(excerpt) << entry.path();
            EXPECT_EQ(SizesOf(*excerpt), SizesOf(whole.str())) << entry.path();
            EXPECT_EQ(DefaultsOf(*excerpt), DefaultsOf(whole.str())) << entry.path();
            EXPECT_LT(excerpt->size(), whole.str().size()) << entry.path();
            ++compared;
        }
    }
    // The drivers the tests install bring a dozen as files; the driver sweep checks thousands
    // more, made by the drivers' programs, through the whole program.
    EXPECT_GE(compared, 10);
}

std::string Ppd(const std::string& body) {
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n" + body;
}

TEST(PpdExcerptTest, ValuesOverSeveralLinesAndOddLineEndsAreReadAsLibcupsReadsThem) {
    // A value that runs over lines holds text that looks like the entries kept; a comment's
    // quote opens nothing.
    const std::string ppd =
        Ppd("*% a comment with one \" in it\n"
            "*DefaultPageSize: Small\n"
            "*JCLBegin: \"<1B>%-12345X\n"
            "*PaperDimension Big/Big: \"9999 9999\"\n"
            "@PJL\"\n"
            "*End\n"
            "*PaperDimension Small/Small: \"200 300\"\n"
            "*ImageableArea Small/Small: \"10 20 190 280\"\n"
            "*DefaultResolution: 300dpi\n");
    for (const std::string& text : {ppd, [&] {
                                        std::string carriageReturns = ppd;
                                        for (char& c : carriageReturns)
                                            if (c == '\n') c = '\r';
                                        return carriageReturns;
                                    }()}) {
        const std::optional<std::string> excerpt = PpdExcerpt(text);
        ASSERT_TRUE(excerpt);
        EXPECT_EQ(excerpt->find("9999"), std::string::npos);
        EXPECT_EQ(SizesOf(*excerpt), SizesOf(text));
        EXPECT_EQ(DefaultsOf(*excerpt), "200x300 10,20,190,280 300x300");
    }
}

TEST(PpdExcerptTest, APpdBeyondTheBoundsIsNotRead) {
    const auto withSizes = [](size_t count) {
        std::string body;
        for (size_t i = 0; i < count; ++i) {
            const std::string name = "S" + std::to_string(i);
            body += "*PaperDimension " + name + ": \"100 200\"\n";
        }
        return Ppd(body);
    };
    EXPECT_TRUE(PpdExcerpt(withSizes(kMostPpdEntries)));
    EXPECT_FALSE(PpdExcerpt(withSizes(kMostPpdEntries + 1)));
    std::string options;
    for (size_t i = 0; i <= kMostPpdEntries; ++i)
        options += "*OpenUI *O" + std::to_string(i) + ": PickOne\n";
    EXPECT_FALSE(PpdExcerpt(Ppd(options)));
    EXPECT_FALSE(PpdExcerpt(Ppd(std::string(kMostPpdBytes, '\n'))));
}

}  // namespace
}  // namespace platform::posix
