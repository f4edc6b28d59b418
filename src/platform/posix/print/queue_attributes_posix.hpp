#pragma once
// What the print server says about a queue: the attributes the program reads, asked for by
// name in one question, and read as libcups' destination calls read the whole set that
// cupsCopyDestInfo asks for (papers with their margins, defaults, supported values). The
// answer is then a few kilobytes, where the whole set is some 25.

#include <cups/cups.h>

#include <string>
#include <vector>

#include "platform/posix/print/server_question_posix.hpp"

namespace platform::posix {

class QueueAttributes {
  public:
    /// The attributes the program reads, for a question's "requested-attributes".
    static const std::vector<const char*>& Requested();

    /// Takes the server's answer about one queue.
    explicit QueueAttributes(IppPtr answer);

    /// The queue's name and its URI for jobs; empty when the server gave none.
    std::string Name() const;
    std::string Uri() const;

    /// "<option>-default" and "<option>-supported"; null when the server gave none.
    ipp_attribute_t* Default(const char* option) const;
    ipp_attribute_t* Supported(const char* option) const;
    /// Whether the queue takes `value` for `option`, by the value's type as the server lists
    /// the supported ones: a keyword among them, a number among them or in their range, a
    /// custom paper size within the queue's range.
    bool Supports(const char* option, const char* value) const;

    /// The papers, sorted by size, each with its margins; a paper may stand several times,
    /// with other margins, sources or types.
    const std::vector<cups_size_t>& Papers() const { return papers_; }
    /// The paper of the size `name` names (a PWG or legacy name): of the papers of that size,
    /// the one with the smallest margins that are not zero; else one of a size the queue's
    /// custom range holds; else the first of about that size. False when there is none.
    bool PaperByName(const char* name, cups_size_t* size) const;

  private:
    void ReadPaperDatabase();
    bool Find(const pwg_media_t* pwg, cups_size_t* size) const;

    IppPtr answer_;
    std::vector<cups_size_t> papers_;
    // The custom size range, with its margins.
    cups_size_t smallest_{};
    cups_size_t largest_{};
};

}  // namespace platform::posix
