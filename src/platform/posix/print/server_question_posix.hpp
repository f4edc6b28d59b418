#pragma once
// Questions to the print server, asked and answered within bounds. libcups' own request
// calls ask again without end on answers they do not expect (a redirect, a 204, a status
// line of 0), read an answer for as long as it keeps coming, put a password prompt on the
// terminal, and read a long answer a field at a time out of a buffer that moves its rest
// after every read, so that the work grows with the square of the answer. So each request
// is sent and each answer read here, with libcups' HTTP, IPP and authentication calls:
//
// - a question that gets no usable answer is asked once more after a pause, as lp asks
//   again after a failed request; a redirect or an odd status is no usable answer;
// - a question takes at most kQuestionTime, however the server sends, and its answer at
//   most the bytes the caller expects of it;
// - a server that asks who the user is gets the credentials the system holds without asking
//   (the local certificate, a Kerberos ticket), and never a prompt;
// - an answer is read in large pieces and parsed from memory in one pass.
//
// A question that fails so notes the trouble (server_connection_posix.hpp), and no later
// question of the run goes to that server.

#include <cups/cups.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/print/server_connection_posix.hpp"

namespace platform::posix {

/// How long one question may take, from its first try to the last byte of its answer: as
/// long as lp waits for a server that has fallen silent.
inline constexpr std::chrono::seconds kQuestionTime{60};
/// The pause before a question that got no usable answer is asked again.
inline constexpr std::chrono::seconds kPauseBeforeRetry{1};

/// How a question ended.
enum class Reply {
    kAnswered,  // a whole answer (HTTP 200; for an IPP request, one that reads as IPP)
    kRefused,   // the server turned the request down (a 4xx status): a usable no
    kNoServer,  // no print server listens there
    kTrouble,   // the server failed the question; TroubleWithServer says how
};

/// What a question may cost.
struct Bounds {
    /// The most bytes its answer may have.
    size_t mostBytes;
    /// The most time it may take.
    std::chrono::milliseconds time = kQuestionTime;
    /// The pause before its second try.
    std::chrono::milliseconds pause = kPauseBeforeRetry;
};

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

/// The answer to an IPP request; `ipp` is set when the reply is kAnswered.
struct IppAnswer {
    Reply reply;
    IppPtr ipp;
};

/// Posts `request` (which stays the caller's) to `resource`, with `document` behind its
/// attributes, over `server`, and reads the answer. An answer whose IPP status says the
/// server is busy counts as no usable answer.
IppAnswer AskIpp(ServerConnection& server, ipp_t* request, const std::string& resource,
                 const Bounds& bounds, std::string_view document = {});

/// Gets the file at `resource` into `body`.
Reply GetFile(ServerConnection& server, const std::string& resource, const Bounds& bounds,
              std::string* body);

/// An IPP message read from `bytes` in one pass; null when they are not one, or when its
/// collections nest deeper than any answer the program reads.
IppPtr ParseIpp(std::string_view bytes);

}  // namespace platform::posix
