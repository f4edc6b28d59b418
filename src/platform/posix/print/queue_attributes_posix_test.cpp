#include "platform/posix/print/queue_attributes_posix.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/fake_print_server.hpp"

namespace platform::posix {
namespace {

using Answer = FakePrintServer::Answer;

// Adds a paper to a media-col-database: its size (a range where `length` is negative: a roll
// of that width, or with `width` negative too the custom range), margins and names.
struct PaperEntry {
    int width;
    int length;
    int left = 0, right = 0, top = 0, bottom = 0;
    const char* source = nullptr;
    const char* type = nullptr;
    const char* key = nullptr;
    const char* sizeName = nullptr;
    bool noSize = false;
};

ipp_t* Collection(const PaperEntry& paper) {
    ipp_t* entry = ippNew();
    if (!paper.noSize) {
        ipp_t* size = ippNew();
        if (paper.width < 0) {
            ippAddRange(size, IPP_TAG_ZERO, "x-dimension", 7620, 33020);
            ippAddRange(size, IPP_TAG_ZERO, "y-dimension", 12700, 48260);
        } else {
            ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension", paper.width);
            if (paper.length < 0) {
                ippAddRange(size, IPP_TAG_ZERO, "y-dimension", 10000, -paper.length);
            } else {
                ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "y-dimension", paper.length);
            }
        }
        ippAddCollection(entry, IPP_TAG_ZERO, "media-size", size);
        ippDelete(size);
    }
    ippAddInteger(entry, IPP_TAG_ZERO, IPP_TAG_INTEGER, "media-bottom-margin", paper.bottom);
    ippAddInteger(entry, IPP_TAG_ZERO, IPP_TAG_INTEGER, "media-left-margin", paper.left);
    ippAddInteger(entry, IPP_TAG_ZERO, IPP_TAG_INTEGER, "media-right-margin", paper.right);
    ippAddInteger(entry, IPP_TAG_ZERO, IPP_TAG_INTEGER, "media-top-margin", paper.top);
    const auto add = [entry](const char* name, const char* value) {
        if (value != nullptr)
            ippAddString(entry, IPP_TAG_ZERO, IPP_TAG_KEYWORD, name, nullptr, value);
    };
    add("media-source", paper.source);
    add("media-type", paper.type);
    add("media-key", paper.key);
    add("media-size-name", paper.sizeName);
    return entry;
}

// A queue's answer: its papers (none: no media-col-database), the names it lists, defaults.
ipp_t* QueueAnswer(const std::vector<PaperEntry>& papers, const std::vector<const char*>& names) {
    ipp_t* answer = FakePrintServer::IppAnswer();
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "office");
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_URI, "printer-uri-supported", nullptr,
                 "ipp://localhost/printers/office");
    if (!papers.empty()) {
        ipp_attribute_t* database = ippAddCollections(answer, IPP_TAG_PRINTER, "media-col-database",
                                                      static_cast<int>(papers.size()), nullptr);
        for (size_t i = 0; i < papers.size(); ++i) {
            ipp_t* entry = Collection(papers[i]);
            ippSetCollection(answer, &database, static_cast<int>(i), entry);
            ippDelete(entry);
        }
    }
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-supported",
                  static_cast<int>(names.size()), nullptr, names.data());
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr,
                 "iso_a4_210x297mm");
    ippAddRange(answer, IPP_TAG_PRINTER, "copies-supported", 1, 99);
    const char* sides[] = {"one-sided", "two-sided-long-edge"};
    ippAddStrings(answer, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "sides-supported", 2, nullptr, sides);
    const int orientations[] = {3, 4};
    ippAddIntegers(answer, IPP_TAG_PRINTER, IPP_TAG_ENUM, "orientation-requested-supported", 2,
                   orientations);
    ippAddBoolean(answer, IPP_TAG_PRINTER, "color-supported", 1);
    ippAddResolution(answer, IPP_TAG_PRINTER, "printer-resolution-default", IPP_RES_PER_INCH, 600,
                     300);
    return answer;
}

std::string Describe(const cups_size_t& size) {
    return std::string(size.media) + " " + std::to_string(size.width) + "x" +
           std::to_string(size.length) + " " + std::to_string(size.left) + "," +
           std::to_string(size.right) + "," + std::to_string(size.top) + "," +
           std::to_string(size.bottom);
}

// Reads one answer both ways, libcups' (through a server that gives it) and the program's,
// and checks that they agree on everything the program reads.
void ExpectAgreement(const std::vector<PaperEntry>& papers, const std::vector<const char*>& names,
                     size_t expectedPapers) {
    const std::string bytes = FakePrintServer::Ipp(QueueAnswer(papers, names));
    FakePrintServer server([&](const auto&) {
        return Answer{{{FakePrintServer::Http(200, bytes), {}}}};
    });
    http_t* http = httpConnect2(server.Path().c_str(), 0, nullptr, AF_UNSPEC, HTTP_ENCRYPTION_NEVER,
                                1, 5000, nullptr);
    ASSERT_NE(http, nullptr);
    cups_dest_t* dest = nullptr;
    cupsAddDest("office", nullptr, 0, &dest);
    dest->num_options = cupsAddOption("printer-uri-supported", "ipp://localhost/printers/office",
                                      dest->num_options, &dest->options);
    cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
    ASSERT_NE(info, nullptr);
    const QueueAttributes ours(ParseIpp(bytes));

    std::vector<std::string> theirs;
    const int count = cupsGetDestMediaCount(http, dest, info, CUPS_MEDIA_FLAGS_DEFAULT);
    for (int i = 0; i < count; ++i) {
        cups_size_t size;
        if (cupsGetDestMediaByIndex(http, dest, info, i, CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
            theirs.push_back(Describe(size));
        }
    }
    std::vector<std::string> mine;
    for (const cups_size_t& size : ours.Papers())
        mine.push_back(Describe(size));
    EXPECT_EQ(mine, theirs);
    EXPECT_EQ(theirs.size(), expectedPapers);

    for (const char* name : {"iso_a4_210x297mm", "a4", "na_letter_8.5x11in", "Letter",
                             "iso_a5_148x210mm", "na_index-4x6_4x6in", "om_small-photo_100x150mm",
                             "na_ledger_11x17in", "roll_max_36x3000in", "nonsense"}) {
        cups_size_t expected{}, got{};
        const bool found = cupsGetDestMediaByName(http, dest, info, name, CUPS_MEDIA_FLAGS_DEFAULT,
                                                  &expected) != 0;
        EXPECT_EQ(ours.PaperByName(name, &got), found) << name;
        if (found) {
            EXPECT_EQ(Describe(got), Describe(expected)) << name;
        }
    }
    const std::pair<const char*, const char*> options[] = {
        {"copies", "1"},
        {"copies", "99"},
        {"copies", "100"},
        {"sides", "one-sided"},
        {"sides", "two-sided-short-edge"},
        {"orientation-requested", "3"},
        {"orientation-requested", "5"},
        {"color", "true"},
        {"media", "iso_a4_210x297mm"},
        {"media", "custom_200x300mm"},
        {"media", "custom_2x3in"},
        {"print-scaling", "none"},
    };
    for (const auto& [option, value] : options) {
        EXPECT_EQ(ours.Supports(option, value),
                  cupsCheckDestSupported(http, dest, info, option, value) != 0)
            << option << "=" << value;
    }
    int y = 0;
    EXPECT_EQ(ippGetResolution(ours.Default("printer-resolution"), 0, &y, nullptr), 600);
    EXPECT_EQ(ippGetResolution(cupsFindDestDefault(http, dest, info, "printer-resolution"), 0, &y,
                               nullptr),
              600);
    EXPECT_EQ(ours.Name(), "office");
    EXPECT_EQ(ours.Uri(), "ipp://localhost/printers/office");
    cupsFreeDestInfo(info);
    cupsFreeDests(1, dest);
    httpClose(http);
}

TEST(QueueAttributesTest, PapersFromTheDatabaseAreReadAsLibcupsReadsThem) {
    // Several papers of one size with other margins, sources and types; borderless ones;
    // papers named by the server and not named at all; a roll; the custom range; out of order.
    ExpectAgreement(
        {
            {.width = 21590,
             .length = 27940,
             .left = 635,
             .right = 635,
             .top = 1270,
             .bottom = 1270},
            {.width = 21000,
             .length = 29700,
             .left = 300,
             .right = 300,
             .top = 500,
             .bottom = 500,
             .source = "tray-1"},
            {.width = 21000, .length = 29700},
            {.width = 21000,
             .length = 29700,
             .left = 200,
             .right = 400,
             .top = 300,
             .bottom = 300,
             .type = "stationery"},
            {.width = 21000,
             .length = 29700,
             .left = 100,
             .right = 100,
             .top = 100,
             .bottom = 100,
             .source = "manual",
             .type = "photographic"},
            {.width = 10160, .length = 15240, .left = 0, .right = 0, .top = 0, .bottom = 0},
            {.width = 10160, .length = 15240, .left = 330, .right = 330, .top = 330, .bottom = 330},
            {.width = 12345, .length = 23456, .left = 423, .right = 423, .top = 423, .bottom = 423},
            {.width = 29700,
             .length = 42000,
             .left = 500,
             .right = 500,
             .top = 500,
             .bottom = 500,
             .key = "a3-by-its-key"},
            {.width = 27940,
             .length = 43180,
             .left = 500,
             .right = 500,
             .top = 500,
             .bottom = 500,
             .sizeName = "na_ledger_11x17in"},
            {.width = 91440,
             .length = -7620000,
             .left = 500,
             .right = 500,
             .top = 500,
             .bottom = 500},
            {.width = -1, .length = -1, .left = 300, .right = 300, .top = 400, .bottom = 600},
            {.width = 0, .length = 0, .noSize = true},
        },
        {"na_letter_8.5x11in", "iso_a4_210x297mm", "custom_min_3x5in", "custom_max_13x19in"}, 12);
}

TEST(QueueAttributesTest, PapersOnlyNamedAreReadAsLibcupsReadsThem) {
    ExpectAgreement({},
                    {"iso_a4_210x297mm", "Letter", "na_index-4x6_4x6in", "not-a-paper",
                     "custom_min_3x5in", "custom_max_13x19in", "iso_a5_148x210mm"},
                    3);
    ExpectAgreement({}, {}, 0);
}

}  // namespace
}  // namespace platform::posix
