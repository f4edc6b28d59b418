#include "platform/posix/print/ppd_paper_posix.hpp"

#include <cups/ppd.h>
#include <unistd.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "platform/posix/print/ppd_excerpt_posix.hpp"
#include "platform/posix/print/server_question_posix.hpp"

namespace platform::posix {
namespace {

constexpr double kPointsPerInch = 72;
constexpr double kHundredthsPerInch = 2540;
// Beyond any printer's resolution; a larger number in a PPD is a damaged PPD.
constexpr int32_t kMostDotsPerInch = 100000;

int32_t Hundredths(double points) {
    // A damaged PPD's numbers must not overflow the conversion.
    const double hundredths = points * kHundredthsPerInch / kPointsPerInch;
    if (!(hundredths > INT32_MIN)) return INT32_MIN;  // NaN lands here too
    return hundredths < INT32_MAX ? static_cast<int32_t>(std::lround(hundredths)) : INT32_MAX;
}

bool Near(double points, int32_t hundredths) {
    return std::abs(int64_t{Hundredths(points)} - hundredths) <= 1;
}

// A whole number of dots at the front of `text`, which it leaves after the number.
std::optional<int32_t> Dots(std::string_view* text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error != std::errc() || value <= 0 || value > kMostDotsPerInch) return std::nullopt;
    text->remove_prefix(static_cast<size_t>(end - text->data()));
    return value;
}

// libcups marks its PPD interface as deprecated, yet it is the one way to the PPD's own
// numbers that the CUPS of Debian 12 offers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

PaperArea AreaOf(const ppd_size_t& size) {
    return {kPointsPerInch, size.width, size.length, size.left, size.bottom, size.right, size.top};
}

void TakeAreas(ppd_file_t* ppd, const std::vector<Paper*>& papers) {
    for (Paper* paper : papers) {
        for (int i = 0; i < ppd->num_sizes; ++i) {
            const PaperArea points = AreaOf(ppd->sizes[i]);
            if (ServerReportsAs(points, *paper)) {
                paper->area = points;
                break;
            }
        }
    }
}

// The choice a "*DefaultKEYWORD" line makes: the option's, where the PPD has the option,
// else the line as it stands on its own.
std::string DefaultChoice(ppd_file_t* ppd, const char* keyword) {
    if (const ppd_option_t* option = ppdFindOption(ppd, keyword)) return option->defchoice;
    const std::string name = std::string("Default") + keyword;
    const ppd_attr_t* attribute = ppdFindAttr(ppd, name.c_str(), nullptr);
    return attribute != nullptr && attribute->value != nullptr ? attribute->value : "";
}

PpdDefaults DefaultsOf(ppd_file_t* ppd) {
    PpdDefaults defaults;
    const std::string size = DefaultChoice(ppd, "PageSize");
    // A size without a *PaperDimension has no numbers to measure.
    if (const ppd_size_t* found = size.empty() ? nullptr : ppdPageSize(ppd, size.c_str());
        found != nullptr && found->width > 0 && found->length > 0) {
        defaults.paper = AreaOf(*found);
    }
    if (const auto dpi = PpdResolution(DefaultChoice(ppd, "Resolution"))) {
        defaults.dpiX = dpi->first;
        defaults.dpiY = dpi->second;
    }
    return defaults;
}

}  // namespace

int UnnamedFile(std::string_view bytes) {
    FILE* file = std::tmpfile();
    if (file == nullptr) return -1;
    int fd = -1;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
        std::fflush(file) == 0 && lseek(fileno(file), 0, SEEK_SET) == 0) {
        fd = dup(fileno(file));
    }
    std::fclose(file);
    return fd;
}

int FetchQueuePpd(ServerConnection& server, const std::string& queue) {
    char resource[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_RESOURCE, resource, sizeof resource, "ipp", nullptr,
                     "localhost", 0, "/printers/%s.ppd", queue.c_str());
    // The resource without the scheme and host, as the server names its files.
    std::string path = resource;
    path.erase(0, path.find("/printers/"));
    std::string whole;
    if (GetFile(server, path, {kMostPpdBytes}, &whole) != Reply::kAnswered) return -1;
    const std::optional<std::string> ppd = PpdExcerpt(whole);
    return ppd ? UnnamedFile(*ppd) : -1;
}

std::optional<PpdDefaults> ReadPpd(int fd, const std::vector<Paper*>& papers) {
    if (fd < 0) return std::nullopt;
    // The PPD reader closes the descriptor once it has read it.
    ppd_file_t* ppd = ppdOpenFd(fd);
    if (ppd == nullptr) return std::nullopt;
    TakeAreas(ppd, papers);
    const PpdDefaults defaults = DefaultsOf(ppd);
    ppdClose(ppd);
    return defaults;
}

#pragma GCC diagnostic pop

std::optional<std::pair<int32_t, int32_t>> PpdResolution(std::string_view text) {
    const std::optional<int32_t> x = Dots(&text);
    if (!x) return std::nullopt;
    std::optional<int32_t> y = x;
    if (!text.empty() && text.front() == 'x') {
        text.remove_prefix(1);
        y = Dots(&text);
    }
    if (!y || text != "dpi") return std::nullopt;
    return std::pair{*x, *y};
}

Paper PaperFromPpd(const PaperArea& points, const std::vector<Paper>& papers,
                   std::string_view named) {
    const Paper* found = nullptr;
    for (const Paper& paper : papers) {
        if (ServerReportsAs(points, paper) &&
            (found == nullptr || (paper.media == named && found->media != named))) {
            found = &paper;
        }
    }
    Paper paper;
    if (found != nullptr) {
        paper = *found;
    } else {
        paper.width = Hundredths(points.width);
        paper.length = Hundredths(points.length);
        paper.left = Hundredths(points.left);
        paper.bottom = Hundredths(points.bottom);
        paper.right = Hundredths(points.width - points.right);
        paper.top = Hundredths(points.length - points.top);
    }
    paper.area = points;
    return paper;
}

bool ServerReportsAs(const PaperArea& points, const Paper& paper) {
    return Near(points.width, paper.width) && Near(points.length, paper.length) &&
           Near(points.left, paper.left) && Near(points.bottom, paper.bottom) &&
           Near(points.width - points.right, paper.right) &&
           Near(points.length - points.top, paper.top);
}

}  // namespace platform::posix
