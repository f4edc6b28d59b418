#include "platform/posix/print/server_question_posix.hpp"

#include <poll.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/posix/print/question_watch_posix.hpp"
#include "platform/posix/print/server_wait_posix.hpp"

namespace platform::posix {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait looks at the time and the terminal where no watch can do it.
constexpr double kTickSeconds = 0.25;
constexpr int kTickMs = 50;
// How much of an answer one read takes.
constexpr size_t kReadPiece = 64 * 1024;
// A question that has no usable answer the second time has none.
constexpr int kMostTries = 2;
// Tries with the system's credentials, each after the server asked for them.
constexpr int kMostAuthentications = 2;

// libcups asks this for a password when a server wants one; the program never prompts.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

// Whether a whole answer's body was taken: not when it is no answer to the question, or the
// server says it is too busy to answer.
enum class Taken { kYes, kNo };

// How one request's body came in.
enum class Body { kWhole, kTooLong, kCut };

// libcups hands lengths over as 64-bit offsets on every processor (see CMakeLists.txt).
static_assert(sizeof(off_t) == 8);

Body ReadBody(http_t* http, size_t mostBytes, std::string* body) {
    body->clear();
    // A length the answer announces beyond the bound is not waited for.
    if (const off_t length = httpGetLength2(http);
        length > 0 && static_cast<uint64_t>(length) > mostBytes) {
        return Body::kTooLong;
    }
    for (;;) {
        const size_t had = body->size();
        body->resize(had + kReadPiece);
        const ssize_t read = httpRead2(http, body->data() + had, kReadPiece);
        body->resize(had + static_cast<size_t>(std::max<ssize_t>(read, 0)));
        if (read < 0) return Body::kCut;
        if (read == 0) break;
        if (body->size() > mostBytes) return Body::kTooLong;
    }
    // libcups ends a body the same way when it is whole and when the connection broke off.
    const bool whole = httpError(http) == 0 && httpGetState(http) == HTTP_STATE_WAITING;
    return whole ? Body::kWhole : Body::kCut;
}

class Question {
  public:
    Question(ServerConnection& server, const Bounds& bounds)
        : server_(server),
          bounds_(bounds),
          deadline_(Clock::now() + bounds.time),
          pending_(server.Server()),
          watch_(deadline_) {}

    /// Asks with `send` (one request on the open connection; false when it could not go
    /// out) and takes each whole answer with `take`, until an answer is taken or the bounds
    /// are met.
    Reply Ask(const char* method, const std::string& resource,
              const std::function<bool(http_t*)>& send,
              const std::function<Taken(std::string&)>& take) {
        if (TroubleWith(server_.Server()) != PrintServerTrouble::kNone) return Reply::kTrouble;
        const ProgramWaits waits;
        cupsSetPasswordCB2(NoPassword, nullptr);
        int tries = 0;
        int authentications = 0;
        bool encrypt = false;
        for (bool again = false;; again = true) {
            // The watch lets go of the old connection before it is closed.
            watch_.Watch(-1);
            switch (server_.Open(deadline_)) {
                case ServerConnection::Opened::kConnected:
                    break;
                case ServerConnection::Opened::kNoServer:
                    // A server that went away between two tries failed the question.
                    return again ? Fail(PrintServerTrouble::kUnusable) : Reply::kNoServer;
                case ServerConnection::Opened::kTimedOut:
                    return Fail(PrintServerTrouble::kSilent);
            }
            http_t* http = server_.Http();
            watch_.Watch(httpGetFd(http));
            if (!watch_.Watching()) httpSetTimeout(http, kTickSeconds, &Question::Waited, this);

            const http_status_t status =
                (!encrypt || httpEncryption(http, HTTP_ENCRYPTION_REQUIRED) == 0) && send(http)
                    ? AwaitStatus(http)
                    : HTTP_STATUS_ERROR;
            if (status == HTTP_STATUS_OK) {
                switch (ReadBody(http, bounds_.mostBytes, &body_)) {
                    case Body::kWhole:
                        // An answer that does not read, or a busy server, may do better
                        // when asked again.
                        if (take(body_) == Taken::kYes) return Reply::kAnswered;
                        break;
                    case Body::kTooLong:
                        // Asking again would bring the same flood.
                        return Fail(PrintServerTrouble::kUnusable);
                    case Body::kCut:
                        break;
                }
            } else if (status == HTTP_STATUS_UNAUTHORIZED) {
                // The credentials the system holds, if any; otherwise the server wants a
                // password, which the program does not ask for.
                if (authentications++ < kMostAuthentications &&
                    cupsDoAuthentication(http, method, resource.c_str()) == 0) {
                    continue;
                }
                return Fail(PrintServerTrouble::kPassword);
            } else if (status == HTTP_STATUS_UPGRADE_REQUIRED && !encrypt) {
                // The server takes the question only over an encrypted connection.
                encrypt = true;
                continue;
            } else if (status >= HTTP_STATUS_BAD_REQUEST && status < HTTP_STATUS_SERVER_ERROR &&
                       status != HTTP_STATUS_REQUEST_TIMEOUT) {
                return Reply::kRefused;
            }
            // No usable answer this time: a status the program cannot use, a broken
            // connection, an answer cut short, a busy server.
            if (Over()) return Fail(PrintServerTrouble::kSilent);
            if (++tries == kMostTries) return Fail(PrintServerTrouble::kUnusable);
            Pause();
            if (Over()) return Fail(PrintServerTrouble::kSilent);
        }
    }

  private:
    bool Over() const { return Clock::now() >= deadline_ || WaitStopped(); }

    // Waits for the status of the request just sent; a server may send "100 Continue" first.
    http_status_t AwaitStatus(http_t* http) const {
        http_status_t status;
        do {
            // Nothing was sent that could be answered.
            if (httpGetState(http) == HTTP_STATE_WAITING) return HTTP_STATUS_ERROR;
            status = httpUpdate(http);
        } while (status == HTTP_STATUS_CONTINUE && !Over());
        return status;
    }

    Reply Fail(PrintServerTrouble trouble) {
        NoteTrouble(server_.Server(), WaitStopped() ? PrintServerTrouble::kSilent : trouble);
        return Reply::kTrouble;
    }

    void Pause() const {
        const Clock::time_point end = Clock::now() + bounds_.pause;
        while (Clock::now() < end && !Over()) {
            poll(nullptr, 0, kTickMs);
            WaitTick();
        }
    }

    // libcups' time-out callback, where no watch runs: true to go on waiting.
    static int Waited(http_t*, void* self) {
        WaitTick();
        return static_cast<Question*>(self)->Over() ? 0 : 1;
    }

    ServerConnection& server_;
    Bounds bounds_;
    Clock::time_point deadline_;
    PendingQuestion pending_;
    QuestionWatch watch_;
    std::string body_;
};

void StartRequest(http_t* http) {
    httpClearFields(http);
    httpSetField(http, HTTP_FIELD_AUTHORIZATION, httpGetAuthString(http));
}

struct MemorySource {
    std::string_view rest;
};

ssize_t ReadMemory(void* source, ipp_uchar_t* buffer, size_t length) {
    std::string_view& rest = static_cast<MemorySource*>(source)->rest;
    const size_t count = std::min(length, rest.size());
    std::memcpy(buffer, rest.data(), count);
    rest.remove_prefix(count);
    return static_cast<ssize_t>(count);
}

// How deep collections may nest in an answer: a queue's papers nest two deep. libcups' reader
// takes one call per level, and a server's thousands of levels would use up a thread's stack.
constexpr int kMostNesting = 16;

// Whether the collections of an IPP message nest no deeper than kMostNesting, walking its
// attributes (a tag, a name and a value, each with its length) without reading them.
bool NestedWithinBounds(std::string_view bytes) {
    constexpr uint8_t kEndOfAttributes = 0x03;
    constexpr uint8_t kBeginCollection = 0x34;
    constexpr uint8_t kEndCollection = 0x37;
    constexpr uint8_t kExtension = 0x7F;
    // Version, operation or status, request id.
    size_t at = 8;
    int depth = 0;
    const auto length = [&bytes](size_t from) {
        return static_cast<size_t>(static_cast<uint8_t>(bytes[from]) << 8 |
                                   static_cast<uint8_t>(bytes[from + 1]));
    };
    while (at < bytes.size()) {
        uint32_t tag = static_cast<uint8_t>(bytes[at++]);
        if (tag == kEndOfAttributes) return true;
        if (tag < 0x10) continue;  // a group's start
        if (tag == kExtension) {
            // The tag itself follows, in four bytes.
            if (at + 4 > bytes.size()) return true;
            tag = static_cast<uint32_t>(length(at)) << 16 | static_cast<uint32_t>(length(at + 2));
            at += 4;
        }
        if (at + 2 > bytes.size()) return true;  // cut short: the reader finds it out
        at += 2 + length(at);
        if (at + 2 > bytes.size()) return true;
        at += 2 + length(at);
        if (tag == kBeginCollection && ++depth > kMostNesting) return false;
        if (tag == kEndCollection) --depth;
    }
    return true;
}

}  // namespace

IppPtr ParseIpp(std::string_view bytes) {
    if (!NestedWithinBounds(bytes)) return nullptr;
    IppPtr ipp(ippNew());
    MemorySource source{bytes};
    for (;;) {
        const ipp_state_t state = ippReadIO(&source, ReadMemory, 1, nullptr, ipp.get());
        if (state == IPP_STATE_DATA) return ipp;
        if (state == IPP_STATE_ERROR) return nullptr;
    }
}

IppAnswer AskIpp(ServerConnection& server, ipp_t* request, const std::string& resource,
                 const Bounds& bounds, std::string_view document) {
    IppAnswer answer{Reply::kTrouble, nullptr};
    const auto send = [&](http_t* http) {
        StartRequest(http);
        httpSetField(http, HTTP_FIELD_CONTENT_TYPE, "application/ipp");
        httpSetLength(http, ippLength(request) + document.size());
        if (httpPost(http, resource.c_str()) != 0) return false;
        ippSetState(request, IPP_STATE_IDLE);
        for (ipp_state_t state; (state = ippWrite(http, request)) != IPP_STATE_DATA;) {
            if (state == IPP_STATE_ERROR) return false;
        }
        for (std::string_view rest = document; !rest.empty();) {
            const ssize_t written =
                httpWrite2(http, rest.data(), std::min(rest.size(), kReadPiece));
            // A server that answers before it has taken everything is heard out below.
            if (written <= 0) break;
            rest.remove_prefix(static_cast<size_t>(written));
        }
        return true;
    };
    const auto take = [&answer](std::string& body) {
        answer.ipp = ParseIpp(body);
        const bool busy =
            answer.ipp != nullptr && ippGetStatusCode(answer.ipp.get()) == IPP_STATUS_ERROR_BUSY;
        return answer.ipp != nullptr && !busy ? Taken::kYes : Taken::kNo;
    };
    Question question(server, bounds);
    answer.reply = question.Ask("POST", resource, send, take);
    if (answer.reply != Reply::kAnswered) answer.ipp.reset();
    return answer;
}

Reply GetFile(ServerConnection& server, const std::string& resource, const Bounds& bounds,
              std::string* body) {
    const auto send = [&resource](http_t* http) {
        StartRequest(http);
        return httpGet(http, resource.c_str()) == 0;
    };
    const auto take = [body](std::string& whole) {
        body->swap(whole);
        return Taken::kYes;
    };
    Question question(server, bounds);
    return question.Ask("GET", resource, send, take);
}

}  // namespace platform::posix
