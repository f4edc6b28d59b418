#include "platform/posix/print/destination_posix.hpp"

#include <paper.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <type_traits>

#include <unistd.h>

#include "platform/posix/common/warm_up_posix.hpp"
#include "platform/posix/print/font_config_posix.hpp"
#include "platform/posix/print/paper_map_posix.hpp"
#include "platform/posix/print/ppd_paper_posix.hpp"
#include "platform/posix/print/recent_answer_posix.hpp"
#include "platform/posix/print/server_question_posix.hpp"
#include "platform/posix/print/server_wait_posix.hpp"
#include "platform/posix/print/user_default_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;
// How long the server's answer about a queue is used again.
constexpr auto kKeepAnswer = std::chrono::seconds(2);

// The most a print server's answers may hold: a queue's attributes are a few kilobytes (a
// PPD with thousands of papers gives a few hundred), a printer list some hundred bytes a
// queue.
constexpr size_t kMostAttributeBytes = 4 * 1024 * 1024;
constexpr size_t kMostListBytes = 16 * 1024 * 1024;

// A printer list asks for the whole list once per printer on it: one answer of the server
// serves the questions of one listing, and a list older than this is asked for again. Both
// outlive the thread that lists ahead, which exit waits for.
std::mutex listLock;
RecentAnswer<PrinterList> recentList(std::chrono::milliseconds(500));

// The list is asked for on a connection and a thread of its own while the queue is read and
// the page drawn: it depends on nothing they ask, and the report names its first printer.
WarmUp& Listing() {
    static WarmUp listing([] { ListDestinations(); });
    return listing;
}

void ListAhead() { Listing().Start(); }

constexpr int32_t kHundredthsPerInch = 2540;
constexpr int32_t kPointsPerInch = 72;
// A4 in hundredths of millimetres, as the print server rounds it from 595 x 842 points.
const Paper kA4Paper{.media = "iso_a4_210x297mm",
                     .width = 20990,
                     .length = 29704,
                     .area = AreaFromMargins(kPointsPerInch, 595, 842, 0, 0, 0, 0)};

// The dmFields of every device mode this backend makes.
constexpr uint32_t kDevModeFields = kDmOrientation | kDmPaperSize | kDmCopies | kDmDefaultSource |
                                    kDmPrintQuality | kDmColor | kDmDuplex | kDmCollate;

std::string Keyword(ipp_attribute_t* attribute, int index = 0) {
    const char* value = attribute != nullptr ? ippGetString(attribute, index, nullptr) : nullptr;
    return value != nullptr ? value : "";
}

bool HasValue(ipp_attribute_t* attribute, const char* prefix) {
    for (int i = 0; attribute != nullptr && i < ippGetCount(attribute); ++i) {
        if (Keyword(attribute, i).rfind(prefix, 0) == 0) return true;
    }
    return false;
}

// A libpaper paper as the server would describe it, without margins.
Paper FromPaperLibrary(const struct paper* info) {
    Paper paper;
    // libpaper names papers in lower case ("a4"); the Windows name gives the PWG name.
    std::string name = papername(info);
    for (uint16_t number = 1; number < kUserPaper; ++number) {
        const std::string_view media = MediaNameOf(number);
        if (!media.empty() && strcasecmp(PaperDisplayName(media).c_str(), name.c_str()) == 0) {
            name = std::string(media);
            break;
        }
    }
    paper.media = name;
    paper.width = static_cast<int32_t>(paperpswidth(info) * kHundredthsPerInch / kPointsPerInch);
    paper.length = static_cast<int32_t>(paperpsheight(info) * kHundredthsPerInch / kPointsPerInch);
    paper.area =
        AreaFromMargins(kPointsPerInch, paperpswidth(info), paperpsheight(info), 0, 0, 0, 0);
    return paper;
}

Paper FromCupsSize(const cups_size_t& size) {
    return {std::string(StripBorderless(size.media)),
            size.width,
            size.length,
            size.left,
            size.right,
            size.top,
            size.bottom,
            AreaFromMargins(kHundredthsPerInch, size.width, size.length, size.left, size.right,
                            size.top, size.bottom)};
}

// The paper a job prints on when it names none. The server's "media-default" names it, yet
// for some PPDs it names none (HP's Ink Tank 310), where the first paper of the server's list
// is a 3x5-inch card, and a name is looked up among the papers of about that size, giving
// the one with the smallest margins, a borderless variant where the PPD has one. Where the
// queue has a PPD, its *DefaultPageSize is what the server's filters print a job on that
// names no paper and what the server names its default after, so its numbers are the
// default. Without a PPD the server's named paper is, else Letter or A4 as libcups gives a
// destination's default, else the first paper.
Paper QueueDefaultPaper(const QueueAttributes& queue, const std::vector<Paper>& papers,
                        const std::optional<PpdDefaults>& ppd) {
    const std::string named = Keyword(queue.Default("media"));
    if (ppd && ppd->paper) return PaperFromPpd(*ppd->paper, papers, named);
    constexpr const char* kLetter = "na_letter_8.5x11in";
    constexpr const char* kA4 = "iso_a4_210x297mm";
    const std::string first = named.empty() ? kLetter : named;
    std::vector<std::string> names = {first};
    if (first != kLetter) names.push_back(kA4);
    if (first != kA4) names.push_back(kLetter);
    cups_size_t size;
    for (const std::string& name : names) {
        if (queue.PaperByName(name.c_str(), &size)) return FromCupsSize(size);
    }
    if (!queue.Papers().empty()) return FromCupsSize(queue.Papers().front());
    return kA4Paper;
}

// What the server says about the queue `name`, or about its default queue when `name` is
// empty; null when it says nothing usable.
std::unique_ptr<QueueAttributes> AskQueue(ServerConnection& server, const std::string& name) {
    ipp_t* request =
        ippNewRequest(name.empty() ? IPP_OP_CUPS_GET_DEFAULT : IPP_OP_GET_PRINTER_ATTRIBUTES);
    if (!name.empty()) {
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/printers/%s", name.c_str());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    }
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    const std::vector<const char*>& requested = QueueAttributes::Requested();
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(requested.size()), nullptr, requested.data());
    IppAnswer answer = AskIpp(server, request, "/", {kMostAttributeBytes});
    ippDelete(request);
    // No such queue, or no default: the server's no is an answer too.
    if (answer.reply != Reply::kAnswered ||
        ippGetStatusCode(answer.ipp.get()) > IPP_STATUS_OK_CONFLICTING) {
        return nullptr;
    }
    auto queue = std::make_unique<QueueAttributes>(std::move(answer.ipp));
    if (queue->Name().empty()) return nullptr;
    return queue;
}

}  // namespace

std::shared_ptr<const Destination> Destination::Open(const std::string& name) {
    return Load(name, nullptr);
}

std::shared_ptr<const Destination> Destination::OpenDefault() {
    ListAhead();
    const std::string chosen = UserDefaultQueue();
    std::unique_ptr<QueueAttributes> queue;
    {
        // The server's default comes with everything the program reads about it.
        ServerConnection server;
        queue = AskQueue(server, chosen);
    }
    // Without a default queue, or with a server that failed on the way, the page goes to a
    // file; a queue whose description makes no sense is refused.
    if (queue == nullptr) return Open(kPdfFileDestination);
    const std::string name = chosen.empty() ? queue->Name() : chosen;
    std::shared_ptr<const Destination> destination = Load(name, std::move(queue));
    if (TroubleWithServer() != PrintServerTrouble::kNone) return Open(kPdfFileDestination);
    return destination;
}

std::shared_ptr<const Destination> Destination::Load(const std::string& name,
                                                     std::unique_ptr<QueueAttributes> fetched) {
    // Each question to the server costs a round trip of milliseconds; a queue's paper,
    // resolution and capabilities do not change between the calls of one attach.
    static std::mutex lock;
    static std::map<std::string, RecentAnswer<std::shared_ptr<const Destination>>> recent;
    std::lock_guard guard(lock);
    auto& answer = recent.try_emplace(name, kKeepAnswer).first->second;
    return answer.Get(Clock::now, [&] { return Describe(name, std::move(fetched)); });
}

std::shared_ptr<const Destination> Destination::Describe(const std::string& name,
                                                         std::unique_ptr<QueueAttributes> fetched) {
    // Printing is about to begin: the fonts are made ready while the server answers, and the
    // printer list that the report names the first printer from is asked for beside it.
    WarmUpFonts();
    ListAhead();

    std::shared_ptr<Destination> destination(new Destination);
    destination->name_ = name;
    if (name == kPdfFileDestination) {
        destination->ReadPaperLibrary();
    } else {
        // The PPD does not depend on the queue's attributes: where those are still to be
        // asked for, it comes over a connection and a thread of its own meanwhile, so that
        // the two round trips overlap.
        int ppd = -1;
        WarmUp ppdAhead([&ppd, &name] {
            ServerConnection own;
            ppd = FetchQueuePpd(own, name);
        });
        if (fetched == nullptr) {
            ppdAhead.Start();
            ServerConnection server;
            fetched = AskQueue(server, name);
        }
        {
            const ProgramWaits waits;
            ppdAhead.Finish();
        }
        if (fetched == nullptr || TroubleWithServer() != PrintServerTrouble::kNone) {
            if (ppd >= 0) close(ppd);
            return nullptr;
        }
        destination->attributes_ = std::move(fetched);
        destination->ReadQueue(ppd);
    }
    // A printer whose description makes no sense is not drawn on.
    if (!destination->KeepSensiblePapers()) return nullptr;
    return destination;
}

void Destination::ReadQueue(int ppdFd) {
    const QueueAttributes& queue = *attributes_;
    for (const cups_size_t& size : queue.Papers())
        papers_.push_back(FromCupsSize(size));
    // The server's sizes are rounded to hundredths of millimetres; the queue's PPD, where
    // it has one, gives the printer's own.
    std::vector<Paper*> papers;
    for (Paper& paper : papers_)
        papers.push_back(&paper);
    const std::optional<PpdDefaults> ppd = ReadPpd(ppdFd, papers);
    defaultPaper_ = QueueDefaultPaper(queue, papers_, ppd);

    // The server names the PPD's *DefaultResolution as its default; where it names none,
    // the PPD's is the one its filters print at.
    if (ppd && ppd->dpiX > 0) {
        dpiX_ = ppd->dpiX;
        dpiY_ = ppd->dpiY;
    }
    if (ipp_attribute_t* resolution = queue.Default("printer-resolution")) {
        ipp_res_t units = IPP_RES_PER_INCH;
        int y = 0;
        const int x = ippGetResolution(resolution, 0, &y, &units);
        // The server may send a code for the units that is neither: it is read as the number
        // it is, since it lies outside what libcups' enumeration can hold.
        std::underlying_type_t<ipp_res_t> code;
        std::memcpy(&code, &units, sizeof code);
        const bool known = code == IPP_RES_PER_INCH || code == IPP_RES_PER_CM;
        // A value past all reason leaves 0, which gets the queue refused.
        dpiX_ = known ? DotsPerInch(x, code == IPP_RES_PER_CM) : 0;
        dpiY_ = known ? DotsPerInch(y, code == IPP_RES_PER_CM) : 0;
    }

    ipp_attribute_t* sources = queue.Supported("media-source");
    for (int i = 0; sources != nullptr && i < ippGetCount(sources); ++i) {
        sources_.push_back(Keyword(sources, i));
    }
    defaultSource_ = Keyword(queue.Default("media-source"));
    if (ipp_attribute_t* copies = queue.Supported("copies")) {
        int upper = 1;
        ippGetRange(copies, 0, &upper);
        maxCopies_ = std::max(1, upper);
    }
    canDuplex_ = HasValue(queue.Supported("sides"), "two-sided");
    defaultSides_ = Keyword(queue.Default("sides"));
    ipp_attribute_t* orientations = queue.Supported("orientation-requested");
    canTurn_ =
        orientations == nullptr || ippContainsInteger(orientations, IPP_ORIENT_LANDSCAPE) != 0;
    ipp_attribute_t* orientation = queue.Default("orientation-requested");
    defaultLandscape_ = orientation != nullptr && ippGetValueTag(orientation) == IPP_TAG_ENUM &&
                        ippGetInteger(orientation, 0) == IPP_ORIENT_LANDSCAPE;
    canChooseColor_ = HasValue(queue.Supported("print-color-mode"), "color");
    defaultMonochrome_ = Keyword(queue.Default("print-color-mode")) == "monochrome";
}

bool Destination::KeepSensiblePapers() {
    std::erase_if(papers_, [&](const Paper& paper) {
        return !DescriptionMakesSense(paper.area, dpiX_, dpiY_);
    });
    return DescriptionMakesSense(defaultPaper_.area, dpiX_, dpiY_);
}

void Destination::ReadPaperLibrary() {
    paperinit();
    for (const struct paper* info = paperfirst(); info != nullptr; info = papernext(info)) {
        papers_.push_back(FromPaperLibrary(info));
    }
    defaultPaper_ = kA4Paper;
    if (char* name = systempapername()) {
        if (const struct paper* info = paperinfo(name)) defaultPaper_ = FromPaperLibrary(info);
        std::free(name);
    }
    paperdone();
    maxCopies_ = 1;
}

const Paper& Destination::PaperFor(const DevMode& mode) const {
    const auto number = static_cast<uint16_t>(mode.paperSize);
    const Paper* found = &defaultPaper_;
    const std::string_view media = MediaNameOf(number);
    if (number > kUserPaper && size_t{number} - kUserPaper - 1 < papers_.size()) {
        found = &papers_[number - kUserPaper - 1];
    } else if (!media.empty()) {
        for (const Paper& paper : papers_) {
            if (paper.media == media) {
                found = &paper;
                break;
            }
        }
    }
    // The server may list a paper twice under one name, with and without margins: by that
    // name the default paper is meant, with the default's numbers.
    return found->media == defaultPaper_.media ? defaultPaper_ : *found;
}

DevMode Destination::DefaultDevMode() const {
    DevMode mode;
    mode.fields = kDevModeFields;
    mode.orientation = defaultLandscape_ ? kDmOrientLandscape : kDmOrientPortrait;
    uint16_t paper = PaperNumberOf(defaultPaper_.media);
    for (size_t i = 0; paper == 0 && i < papers_.size(); ++i) {
        if (papers_[i].media == defaultPaper_.media) {
            paper = static_cast<uint16_t>(kUserPaper + 1 + i);
        }
    }
    mode.paperSize = static_cast<int16_t>(paper != 0 ? paper : kUserPaper);
    // Tenths of a millimetre, as far as the device mode's 16 bits reach.
    mode.paperWidth = static_cast<int16_t>(std::clamp(defaultPaper_.width / 10, 0, INT16_MAX));
    mode.paperLength = static_cast<int16_t>(std::clamp(defaultPaper_.length / 10, 0, INT16_MAX));
    mode.copies = 1;
    const std::vector<uint16_t> bins = NumberList(sources_, BinNumberOf, kUserBin);
    for (size_t i = 0; i < sources_.size(); ++i) {
        if (sources_[i] == defaultSource_) mode.defaultSource = static_cast<int16_t>(bins[i]);
    }
    mode.printQuality = static_cast<int16_t>(dpiX_);
    // A queue that offers no colour mode prints in black; the PDF file keeps colours.
    const bool colour = IsPdfFile() || (canChooseColor_ && !defaultMonochrome_);
    mode.color = colour ? 2 : 1;
    mode.duplex = defaultSides_ == "two-sided-long-edge"    ? 2
                  : defaultSides_ == "two-sided-short-edge" ? 3
                                                            : 1;
    mode.collate = 1;
    return mode;
}

bool Destination::Supports(const char* option, const char* value) const {
    return attributes_ != nullptr && attributes_->Supports(option, value);
}

namespace {

// The server's queues with the few attributes the spooler lists. Asking for these alone keeps
// the answer small: the whole record of every queue takes the client library milliseconds
// to read.
std::vector<PrinterInfo2> ServerQueues() {
    static const char* const kListed[] = {"printer-name", "device-uri", "printer-make-and-model",
                                          "printer-info", "printer-location"};
    std::vector<PrinterInfo2> queues;
    ServerConnection server;
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof kListed / sizeof kListed[0], nullptr, kListed);
    const IppAnswer answer = AskIpp(server, request, "/", {kMostListBytes});
    ippDelete(request);
    // A list the server says it could not make is no list, whatever it holds.
    if (answer.reply != Reply::kAnswered ||
        ippGetStatusCode(answer.ipp.get()) > IPP_STATUS_OK_CONFLICTING) {
        return queues;
    }
    ipp_t* response = answer.ipp.get();
    PrinterInfo2 queue;
    // The answer lists the queues one after another, each a group of printer attributes.
    const auto finish = [&] {
        if (!queue.printerName.empty()) {
            queue.printProcessor = "cups";
            queue.datatype = "application/pdf";
            queues.push_back(std::move(queue));
        }
        queue = PrinterInfo2{};
    };
    for (ipp_attribute_t* attribute = ippFirstAttribute(response); attribute != nullptr;
         attribute = ippNextAttribute(response)) {
        const char* name = ippGetName(attribute);
        if (name == nullptr || ippGetGroupTag(attribute) != IPP_TAG_PRINTER) {
            finish();
            continue;
        }
        const std::string value = Keyword(attribute);
        const std::string_view field = name;
        if (field == "printer-name") queue.printerName = value;
        if (field == "device-uri") queue.portName = value;
        if (field == "printer-make-and-model") queue.driverName = value;
        if (field == "printer-info") queue.comment = value;
        if (field == "printer-location") queue.location = value;
    }
    finish();
    // In the order the client library lists destinations: by name, whatever its case.
    std::sort(queues.begin(), queues.end(), [](const PrinterInfo2& a, const PrinterInfo2& b) {
        return strcasecmp(a.printerName.c_str(), b.printerName.c_str()) < 0;
    });
    return queues;
}

}  // namespace

PrinterList ListDestinations() {
    if (!OnWarmUpThread()) {
        // A list asked for ahead is waited for where the user sees the wait.
        const ProgramWaits waits;
        Listing().Await();
    }
    std::lock_guard guard(listLock);
    return recentList.Get(Clock::now, [] {
        auto printers = std::make_shared<std::vector<PrinterInfo2>>(ServerQueues());
        PrinterInfo2 file;
        file.printerName = kPdfFileDestination;
        file.portName = "FILE:";
        file.driverName = "PDF file";
        file.comment = "Writes each job as a PDF file in the current directory";
        file.datatype = "application/pdf";
        printers->push_back(std::move(file));
        return PrinterList(std::move(printers));
    });
}

}  // namespace platform::posix
