#include "platform/posix/print/ppd_paper_posix.hpp"

#include <cups/ppd.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform::posix {
namespace {

constexpr double kPointsPerInch = 72;
constexpr double kHundredthsPerInch = 2540;

// Whether the server's hundredths of a millimetre were rounded from these points. A PPD's
// number may be anything, so it is compared as a double.
bool Near(double points, int32_t hundredths) {
    return std::abs(std::round(points * kHundredthsPerInch / kPointsPerInch) - hundredths) <= 1;
}

// libcups marks its PPD interface as deprecated, yet it is the one way to the PPD's own
// numbers that the CUPS of Debian 12 offers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

// The queue's PPD as the server holds it, or null when the queue has none. It is read
// through a file without a name, so that nothing is left behind whatever happens.
ppd_file_t* FetchPpd(http_t* http, const std::string& queue) {
    FILE* file = std::tmpfile();
    if (file == nullptr) return nullptr;
    const std::string resource = "/printers/" + queue + ".ppd";
    ppd_file_t* ppd = nullptr;
    if (cupsGetFd(http, resource.c_str(), fileno(file)) == HTTP_STATUS_OK &&
        lseek(fileno(file), 0, SEEK_SET) == 0) {
        // The PPD reader closes the descriptor it reads; the file keeps its own.
        const int copy = dup(fileno(file));
        if (copy >= 0) ppd = ppdOpenFd(copy);
    }
    std::fclose(file);
    return ppd;
}

void TakeAreas(ppd_file_t* ppd, const std::vector<Paper*>& papers) {
    for (Paper* paper : papers) {
        for (int i = 0; i < ppd->num_sizes; ++i) {
            const ppd_size_t& size = ppd->sizes[i];
            const PaperArea points{kPointsPerInch, size.width, size.length, size.left,
                                   size.bottom,    size.right, size.top};
            if (ServerReportsAs(points, *paper)) {
                paper->area = points;
                break;
            }
        }
    }
}

}  // namespace

void TakeAreasFromPpd(http_t* http, const std::string& queue, const std::vector<Paper*>& papers) {
    if (ppd_file_t* ppd = FetchPpd(http, queue)) {
        TakeAreas(ppd, papers);
        ppdClose(ppd);
    }
}

#pragma GCC diagnostic pop

bool ServerReportsAs(const PaperArea& points, const Paper& paper) {
    return Near(points.width, paper.width) && Near(points.length, paper.length) &&
           Near(points.left, paper.left) && Near(points.bottom, paper.bottom) &&
           Near(points.width - points.right, paper.right) &&
           Near(points.length - points.top, paper.top);
}

}  // namespace platform::posix
