#pragma once
// Printer destinations on POSIX: the print server's queues (CUPS) and the built-in "PDF file"
// destination, which writes each job as a PDF file in the current directory and is there
// even on a machine without a print server.

#include <cups/cups.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/print/paper_posix.hpp"
#include "platform/posix/print/queue_attributes_posix.hpp"
#include "platform/print.hpp"

namespace platform::posix {

inline constexpr const char* kPdfFileDestination = "PDF file";

/// One destination with what the server says about it. Queues keep the server's record of
/// the queue and its capabilities for as long as the object lives.
class Destination {
  public:
    /// The destination of that name, or null when there is none. What the server says about
    /// a queue is asked once and kept for a moment: the calls of one attach (the default,
    /// the device context, its capabilities, the job) then share one answer.
    static std::shared_ptr<const Destination> Open(const std::string& name);
    /// The user's default queue, else the server's, else "PDF file"; "PDF file" too when
    /// the server failed a question on the way.
    static std::shared_ptr<const Destination> OpenDefault();

    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    const std::string& Name() const { return name_; }
    bool IsPdfFile() const { return attributes_ == nullptr; }
    /// The queue's URI for jobs (empty for the file).
    std::string Uri() const { return attributes_ != nullptr ? attributes_->Uri() : ""; }

    /// The papers in the server's order, and the one used when a job names none.
    const std::vector<Paper>& Papers() const { return papers_; }
    const Paper& DefaultPaper() const { return defaultPaper_; }
    /// The paper a device mode asks for: by its Windows number, by its position in the
    /// user range, else the default.
    const Paper& PaperFor(const DevMode& mode) const;
    /// Dots per inch across and down.
    int32_t DpiX() const { return dpiX_; }
    int32_t DpiY() const { return dpiY_; }

    /// The paper sources (IPP media-source keywords).
    const std::vector<std::string>& Sources() const { return sources_; }
    int32_t MaxCopies() const { return maxCopies_; }
    bool CanDuplex() const { return canDuplex_; }
    bool CanTurn() const { return canTurn_; }

    /// The device mode a new job starts from: the destination's defaults.
    DevMode DefaultDevMode() const;

    /// Whether the queue takes this value for this job option (always false for the file).
    bool Supports(const char* option, const char* value) const;

  private:
    Destination() = default;
    /// Open, with the server's answer about the queue when the caller already has it.
    static std::shared_ptr<const Destination> Load(const std::string& name,
                                                   std::unique_ptr<QueueAttributes> fetched);
    /// What the server says about a queue and its PPD; null when it says nothing.
    static std::shared_ptr<const Destination> Describe(const std::string& name,
                                                       std::unique_ptr<QueueAttributes> fetched);
    /// The queue's papers, defaults and capabilities, from the server's answer and from its
    /// PPD, open as `ppdFd` (-1 for none), which it closes.
    void ReadQueue(int ppdFd);
    void ReadPaperLibrary();
    /// Drops the papers that make no sense at the destination's resolution; false when its
    /// default paper or its resolution makes none.
    bool KeepSensiblePapers();

    std::string name_;
    std::unique_ptr<QueueAttributes> attributes_;
    std::vector<Paper> papers_;
    Paper defaultPaper_;
    int32_t dpiX_ = 300;
    int32_t dpiY_ = 300;
    std::vector<std::string> sources_;
    std::string defaultSource_;
    int32_t maxCopies_ = 1;
    bool canDuplex_ = false;
    bool canTurn_ = true;
    bool defaultLandscape_ = false;
    bool defaultMonochrome_ = false;
    std::string defaultSides_;
    bool canChooseColor_ = false;
};

/// Every destination: the server's queues in its order, then "PDF file". The server's list
/// serves the calls of the next half second, as it does the calls of one printer list.
PrinterList ListDestinations();

}  // namespace platform::posix
