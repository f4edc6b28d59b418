#pragma once
// A print server of a test's own on a local socket in a directory of the test's: it reads
// each HTTP request a client sends and answers it as the test says, byte for byte and piece
// by piece, and counts the requests. It serves one connection at a time, keeping it open
// between requests as a real server does.

#include <cups/cups.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class FakePrintServer {
  public:
    struct Request {
        std::string method;
        std::string resource;
        std::string body;
    };
    /// How to answer one request: these bytes, each piece after its pause; then the
    /// connection is closed, kept for the next request, or left silent until the client
    /// gives up.
    struct Answer {
        enum class Then { kKeepOpen, kClose, kFallSilent };
        std::vector<std::pair<std::string, std::chrono::milliseconds>> pieces;
        Then then = Then::kKeepOpen;
    };
    using Handler = std::function<Answer(const Request&)>;

    explicit FakePrintServer(Handler handler) : handler_(std::move(handler)) {
        char directory[] = "/tmp/virodaro-server-XXXXXX";
        EXPECT_NE(mkdtemp(directory), nullptr);
        directory_ = directory;
        path_ = directory_ + "/server.sock";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
        listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(listener_, 8), 0);
        EXPECT_EQ(pipe2(stop_, O_CLOEXEC), 0);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakePrintServer() {
        const char stop = 0;
        EXPECT_EQ(write(stop_[1], &stop, 1), 1);
        thread_.join();
        close(listener_);
        close(stop_[0]);
        close(stop_[1]);
        unlink(path_.c_str());
        rmdir(directory_.c_str());
    }
    FakePrintServer(const FakePrintServer&) = delete;
    FakePrintServer& operator=(const FakePrintServer&) = delete;

    /// The socket, as CUPS_SERVER or cupsSetServer takes it.
    const std::string& Path() const { return path_; }
    /// The requests received so far.
    int Requests() const { return requests_; }

    /// An HTTP answer with `status`, `body` and the given header lines.
    static std::string Http(int status, std::string_view body, std::string_view headers = "") {
        return "HTTP/1.1 " + std::to_string(status) + " Status\r\n" + std::string(headers) +
               "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
    }
    /// The bytes of an IPP message, which it deletes.
    static std::string Ipp(ipp_t* message) {
        std::string bytes;
        ippSetState(message, IPP_STATE_IDLE);
        while (ippWriteIO(&bytes, &Collect, 1, nullptr, message) != IPP_STATE_DATA) {
        }
        ippDelete(message);
        return bytes;
    }
    /// An IPP answer with status `status` and a request id of 1, ready for attributes.
    static ipp_t* IppAnswer(ipp_status_t status = IPP_STATUS_OK) {
        ipp_t* answer = ippNew();
        ippSetVersion(answer, 2, 0);
        ippSetStatusCode(answer, status);
        ippSetRequestId(answer, 1);
        ippAddString(answer, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr,
                     "utf-8");
        ippAddString(answer, IPP_TAG_OPERATION, IPP_TAG_LANGUAGE, "attributes-natural-language",
                     nullptr, "en");
        return answer;
    }

  private:
    static ssize_t Collect(void* bytes, ipp_uchar_t* data, size_t length) {
        static_cast<std::string*>(bytes)->append(reinterpret_cast<const char*>(data), length);
        return static_cast<ssize_t>(length);
    }

    // Waits for `fd` to have something, or for the test to end; false at the end.
    bool Await(int fd, int timeoutMs = -1) {
        pollfd waiting[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        return poll(waiting, 2, timeoutMs) >= 0 && waiting[1].revents == 0;
    }

    void Serve() {
        while (Await(listener_)) {
            const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            Converse(client);
            close(client);
        }
    }

    // Reads until `buffer` holds `length` bytes; false when the client hung up or the test
    // ended.
    bool ReadUntil(int client, std::string* buffer, size_t length) {
        char chunk[4096];
        while (buffer->size() < length) {
            if (!Await(client)) return false;
            const ssize_t got = recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) return false;
            buffer->append(chunk, static_cast<size_t>(got));
        }
        return true;
    }

    void Converse(int client) {
        std::string buffer;
        for (;;) {
            size_t end;
            while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
                if (!ReadUntil(client, &buffer, buffer.size() + 1)) return;
            }
            const std::string head = buffer.substr(0, end);
            buffer.erase(0, end + 4);
            Request request;
            request.method = head.substr(0, head.find(' '));
            const size_t resource = head.find(' ') + 1;
            request.resource = head.substr(resource, head.find(' ', resource) - resource);
            size_t length = 0;
            if (const size_t at = head.find("Content-Length: "); at != std::string::npos) {
                length = std::stoul(head.substr(at + 16));
            }
            if (!ReadUntil(client, &buffer, length)) return;
            request.body = buffer.substr(0, length);
            buffer.erase(0, length);
            ++requests_;
            const Answer answer = handler_(request);
            for (const auto& [bytes, pause] : answer.pieces) {
                if (pause.count() > 0 && !Await(stop_[0], static_cast<int>(pause.count()))) {
                    return;
                }
                if (send(client, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) return;
            }
            if (answer.then == Answer::Then::kClose) return;
            if (answer.then == Answer::Then::kFallSilent) {
                // Until the client hangs up or the test ends.
                char byte;
                while (Await(client) && recv(client, &byte, 1, 0) > 0) {
                }
                return;
            }
        }
    }

    Handler handler_;
    std::string directory_;
    std::string path_;
    int listener_ = -1;
    int stop_[2] = {-1, -1};
    std::atomic<int> requests_{0};
    std::thread thread_;
};
