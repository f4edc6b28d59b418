#include "platform/posix/print/print_job_posix.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/common/errno_map_posix.hpp"
#include "platform/posix/print/paper_map_posix.hpp"
#include "platform/posix/print/server_question_posix.hpp"
#include "platform/process.hpp"

namespace platform::posix {
namespace {

// The answer to a job is a few attributes: its number and state.
constexpr size_t kMostJobAnswerBytes = 64 * 1024;

// Adds an option when the queue takes the value: the server accepts unsupported values
// silently and then ignores them.
void AddIfSupported(const Destination& destination, const char* option, const std::string& value,
                    std::vector<std::pair<std::string, std::string>>* options) {
    if (!value.empty() && destination.Supports(option, value.c_str())) {
        options->emplace_back(option, value);
    }
}

const char* QualityOf(int16_t printQuality) {
    switch (printQuality) {
        case -1:
        case -2:
            return "3";  // draft
        case -3:
            return "4";  // normal
        case -4:
            return "5";  // high
        default:
            return "";  // a resolution: the queue's own
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> JobOptions(const Destination& destination,
                                                            const DevMode& mode) {
    std::vector<std::pair<std::string, std::string>> options;
    AddIfSupported(destination, "orientation-requested", "3", &options);
    AddIfSupported(destination, "print-scaling", "none", &options);
    AddIfSupported(destination, "media", destination.PaperFor(mode).media, &options);
    const std::vector<uint16_t> bins = NumberList(destination.Sources(), BinNumberOf, kUserBin);
    for (size_t i = 0; i < bins.size(); ++i) {
        if (bins[i] == static_cast<uint16_t>(mode.defaultSource)) {
            AddIfSupported(destination, "media-source", destination.Sources()[i], &options);
        }
    }
    if (mode.copies > 1) {
        AddIfSupported(destination, "copies", std::to_string(mode.copies), &options);
        AddIfSupported(destination, "multiple-document-handling",
                       mode.collate == 1 ? "separate-documents-collated-copies"
                                         : "separate-documents-uncollated-copies",
                       &options);
    }
    AddIfSupported(destination, "sides",
                   mode.duplex == 2   ? "two-sided-long-edge"
                   : mode.duplex == 3 ? "two-sided-short-edge"
                                      : "one-sided",
                   &options);
    AddIfSupported(destination, "print-quality", QualityOf(mode.printQuality), &options);
    AddIfSupported(destination, "print-color-mode", mode.color == 1 ? "monochrome" : "color",
                   &options);
    return options;
}

Submitted SubmitJob(const Destination& destination, const std::string& title, const DevMode& mode,
                    std::string_view pdf) {
    // The request goes to the queue's own resource, as its URI has it (encoded).
    const std::string uri = destination.Uri();
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_NONE, uri.c_str(), scheme, sizeof scheme, user, sizeof user,
                        host, sizeof host, &port, resource, sizeof resource) < HTTP_URI_STATUS_OK) {
        SetLastError(kErrorNotReady);
        return Submitted::kRefused;
    }
    cups_option_t* options = nullptr;
    int count = 0;
    for (const auto& [name, value] : JobOptions(destination, mode)) {
        count = cupsAddOption(name.c_str(), value.c_str(), count, &options);
    }
    // The job goes over in one request, Print-Job with the document behind its attributes,
    // where Create-Job and Send-Document would take two round trips to the server.
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                 CUPS_FORMAT_PDF);
    cupsEncodeOptions2(request, count, options, IPP_TAG_OPERATION);
    cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
    cupsFreeOptions(count, options);

    ServerConnection server;
    const IppAnswer answer = AskIpp(server, request, resource, {kMostJobAnswerBytes}, pdf);
    ippDelete(request);
    if (answer.reply == Reply::kAnswered &&
        ippGetStatusCode(answer.ipp.get()) <= IPP_STATUS_OK_CONFLICTING &&
        ippFindAttribute(answer.ipp.get(), "job-id", IPP_TAG_INTEGER) != nullptr) {
        return Submitted::kTaken;
    }
    SetLastError(kErrorNotReady);
    return answer.reply == Reply::kTrouble ? Submitted::kServerFailed : Submitted::kRefused;
}

bool WritePdfFile(const std::string& directory, const std::string& title, std::string_view pdf,
                  std::string* path) {
    const std::string base = directory + "/" + SafeFileName(title);
    constexpr int kMostTries = 1000;
    for (int attempt = 1; attempt <= kMostTries; ++attempt) {
        *path = attempt == 1 ? base + ".pdf" : base + " (" + std::to_string(attempt) + ").pdf";
        const int fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return FailWithErrno();
        }
        bool written = WriteAll(fd, pdf);
        int savedErrno = errno;
        // A file system may report a failed write only when the file is closed.
        if (close(fd) != 0 && written) {
            written = false;
            savedErrno = errno;
        }
        if (!written) {
            unlink(path->c_str());
            errno = savedErrno;
            return FailWithErrno();
        }
        return true;
    }
    SetLastError(kErrorFileExists);
    return false;
}

}  // namespace platform::posix
