#include "platform/posix/print/server_question_posix.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "testing/fake_print_server.hpp"

namespace platform::posix {
namespace {

using namespace std::chrono_literals;
using Answer = FakePrintServer::Answer;

// Bounds short enough for a test; the program's own are the same shape, longer.
constexpr Bounds kBounds{.mostBytes = 64 * 1024, .time = 1500ms, .pause = 20ms};

Answer Send(std::string bytes, Answer::Then then = Answer::Then::kKeepOpen) {
    return {{{std::move(bytes), 0ms}}, then};
}

std::string ValidIpp() {
    ipp_t* answer = FakePrintServer::IppAnswer();
    ippAddString(answer, IPP_TAG_PRINTER, IPP_TAG_NAME, "printer-name", nullptr, "office");
    return FakePrintServer::Ipp(answer);
}

// Asks the server at `path` a question as the program asks its queue, and says how it went.
struct Asked {
    Reply reply;
    PrintServerTrouble trouble;
    std::string name;  // the answer's printer-name
};

Asked AskQueue(const std::string& path, const Bounds& bounds = kBounds) {
    cupsSetServer(path.c_str());
    ServerConnection server;
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    const IppAnswer answer = AskIpp(server, request, "/", bounds);
    ippDelete(request);
    cupsSetServer(nullptr);
    Asked asked{answer.reply, TroubleWith(path), ""};
    if (answer.ipp != nullptr) {
        const char* name = ippGetString(
            ippFindAttribute(answer.ipp.get(), "printer-name", IPP_TAG_NAME), 0, nullptr);
        if (name != nullptr) asked.name = name;
    }
    return asked;
}

TEST(ServerQuestionTest, AWholeAnswerIsTakenAtTheFirstTryAndBrokenOnesGetOneMore) {
    {
        FakePrintServer server(
            [](const auto&) { return Send(FakePrintServer::Http(200, ValidIpp())); });
        const Asked asked = AskQueue(server.Path());
        EXPECT_EQ(asked.reply, Reply::kAnswered);
        EXPECT_EQ(asked.name, "office");
        EXPECT_EQ(server.Requests(), 1);
    }
    // An answer cut short, a connection reset or a busy server: the second try counts.
    const std::string whole = FakePrintServer::Http(200, ValidIpp());
    ipp_t* busy = FakePrintServer::IppAnswer(IPP_STATUS_ERROR_BUSY);
    const std::string busyAnswer = FakePrintServer::Http(200, FakePrintServer::Ipp(busy));
    for (const Answer& first : {Send(whole.substr(0, whole.size() - 10), Answer::Then::kClose),
                                Send("", Answer::Then::kClose), Send(busyAnswer)}) {
        int requests = 0;
        FakePrintServer server([&](const auto&) { return ++requests == 1 ? first : Send(whole); });
        const Asked asked = AskQueue(server.Path());
        EXPECT_EQ(asked.reply, Reply::kAnswered);
        EXPECT_EQ(asked.name, "office");
        EXPECT_EQ(server.Requests(), 2);
    }
}

TEST(ServerQuestionTest, AnswersThatMakeNoSenseAreAskedTwiceAtMostThenTheServerIsGivenUp) {
    // Each of these once made libcups ask again without end.
    const std::string odd[] = {
        FakePrintServer::Http(301, "", "Location: http://elsewhere/\r\n"),
        FakePrintServer::Http(302, ""),
        FakePrintServer::Http(307, "", "Location: /\r\n"),
        "HTTP/1.1 204 No Content\r\n\r\n",
        "HTTP/1.1 304 Not Modified\r\n\r\n",
        "HTTP/1.1 0 Nothing\r\nContent-Length: 0\r\n\r\n",
        "HTTP/1.1 200 OK\r\nX-Long: " + std::string(64 * 1024, 'x') + "\r\n\r\n",
        FakePrintServer::Http(200, "not IPP at all"),
        FakePrintServer::Http(503, ""),
    };
    for (const std::string& answer : odd) {
        FakePrintServer server([&](const auto&) { return Send(answer); });
        const Asked asked = AskQueue(server.Path());
        EXPECT_EQ(asked.reply, Reply::kTrouble) << answer.substr(0, 40);
        EXPECT_EQ(asked.trouble, PrintServerTrouble::kUnusable) << answer.substr(0, 40);
        EXPECT_LE(server.Requests(), 2) << answer.substr(0, 40);
        // A server given up is asked nothing more.
        const int requests = server.Requests();
        EXPECT_EQ(AskQueue(server.Path()).reply, Reply::kTrouble);
        EXPECT_EQ(server.Requests(), requests);
    }
}

TEST(ServerQuestionTest, AServerThatWantsAPasswordGetsNoPromptAndIsGivenUp) {
    for (const char* scheme :
         {"Basic realm=\"printers\"", "Digest realm=\"printers\", nonce=\"abc\", algorithm=MD5",
          "Negotiate"}) {
        FakePrintServer server([&](const auto&) {
            return Send(FakePrintServer::Http(401, "",
                                              std::string("WWW-Authenticate: ") + scheme + "\r\n"));
        });
        // libcups' own prompt would wait here for a password for ever.
        const Asked asked = AskQueue(server.Path());
        EXPECT_EQ(asked.reply, Reply::kTrouble) << scheme;
        EXPECT_EQ(asked.trouble, PrintServerTrouble::kPassword) << scheme;
        EXPECT_LE(server.Requests(), 3) << scheme;
    }
}

TEST(ServerQuestionTest, AnswersThatNeverEndAreCutOffBySizeOrTime) {
    // Announced or sent past the bound: given up without waiting for the rest.
    const std::string flood = "HTTP/1.1 200 OK\r\nContent-Length: 4611686018427387904\r\n\r\n";
    std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    Answer chunks = Send(chunked);
    for (int i = 0; i < 40; ++i)
        chunks.pieces.push_back({"1000\r\n" + std::string(4096, 'x') + "\r\n", 0ms});
    for (const Answer& answer : {Send(flood, Answer::Then::kFallSilent), chunks}) {
        FakePrintServer server([&](const auto&) { return answer; });
        const Asked asked = AskQueue(server.Path());
        EXPECT_EQ(asked.trouble, PrintServerTrouble::kUnusable);
        EXPECT_EQ(server.Requests(), 1);
    }
    // Silent after the headers, dripping a byte at a time, or silent from the start: the
    // question's time runs out, and the server counts as one that does not answer.
    Answer drip = Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (int i = 0; i < 200; ++i)
        drip.pieces.push_back({"1\r\nx\r\n", 20ms});
    for (const Answer& answer :
         {Send("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\n", Answer::Then::kFallSilent), drip,
          Send("", Answer::Then::kFallSilent)}) {
        FakePrintServer server([&](const auto&) { return answer; });
        const auto start = std::chrono::steady_clock::now();
        const Asked asked = AskQueue(server.Path(), {.mostBytes = 64 * 1024, .time = 400ms});
        EXPECT_EQ(asked.trouble, PrintServerTrouble::kSilent);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        EXPECT_EQ(server.Requests(), 1);
    }
}

TEST(ServerQuestionTest, ARefusalIsAnAnswerAndNoServerIsNoTrouble) {
    FakePrintServer server([](const auto&) { return Send(FakePrintServer::Http(404, "")); });
    const Asked refused = AskQueue(server.Path());
    EXPECT_EQ(refused.reply, Reply::kRefused);
    EXPECT_EQ(refused.trouble, PrintServerTrouble::kNone);
    EXPECT_EQ(server.Requests(), 1);

    const std::string nowhere = server.Path() + ".none";
    const Asked absent = AskQueue(nowhere);
    EXPECT_EQ(absent.reply, Reply::kNoServer);
    EXPECT_EQ(absent.trouble, PrintServerTrouble::kNone);
}

TEST(ServerQuestionTest, AFileComesWholeOrNotAtAll) {
    FakePrintServer server([](const FakePrintServer::Request& request) {
        if (request.resource == "/printers/office.ppd") {
            return Send(FakePrintServer::Http(200, "*PPD-Adobe: \"4.3\"\n"));
        }
        return Send(FakePrintServer::Http(404, ""));
    });
    cupsSetServer(server.Path().c_str());
    ServerConnection connection;
    std::string body;
    EXPECT_EQ(GetFile(connection, "/printers/office.ppd", kBounds, &body), Reply::kAnswered);
    EXPECT_EQ(body, "*PPD-Adobe: \"4.3\"\n");
    // The same connection serves the next question.
    EXPECT_EQ(GetFile(connection, "/printers/other.ppd", kBounds, &body), Reply::kRefused);
    cupsSetServer(nullptr);
    EXPECT_EQ(server.Requests(), 2);
}

// An answer whose one attribute holds collections `depth` deep.
std::string Nested(int depth) {
    ipp_t* inner = ippNew();
    ippAddInteger(inner, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension", 21000);
    for (int level = 1; level < depth; ++level) {
        ipp_t* outer = ippNew();
        ippAddCollection(outer, IPP_TAG_ZERO, "media-size", inner);
        ippDelete(inner);
        inner = outer;
    }
    ipp_t* answer = FakePrintServer::IppAnswer();
    ippAddCollection(answer, IPP_TAG_PRINTER, "media-col-default", inner);
    ippDelete(inner);
    return FakePrintServer::Ipp(answer);
}

TEST(ServerQuestionTest, AnswersNestedPastAnyRealOneAreNotRead) {
    // libcups' reader takes a call per level: thousands of them would use up a thread's stack.
    EXPECT_NE(ParseIpp(Nested(2)), nullptr);
    EXPECT_NE(ParseIpp(Nested(16)), nullptr);
    EXPECT_EQ(ParseIpp(Nested(17)), nullptr);
    EXPECT_EQ(ParseIpp(Nested(3000)), nullptr);
    // Cut short, or not IPP at all: none.
    const std::string whole = Nested(2);
    EXPECT_EQ(ParseIpp(std::string_view(whole).substr(0, whole.size() / 2)), nullptr);
    EXPECT_EQ(ParseIpp("HTTP/1.1 200 OK"), nullptr);
}

}  // namespace
}  // namespace platform::posix
