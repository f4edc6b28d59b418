// Runs a command on a new pseudo-terminal, as a terminal's own command, and plays a short
// script against it: what to wait for on the screen and what to type. Everything the command
// writes to the terminal is kept byte for byte in a file, so that a test can look at the raw
// bytes a terminal would have received. The command inherits the caller's environment and
// current directory; its standard descriptors are the terminal unless it redirects them
// itself (bash -c 'exec program >out').
//
//   pty_session OUTPUT SCRIPT COMMAND [ARGUMENT...]
//
// SCRIPT holds one step a line: "wait TEXT" (until the output holds TEXT after the place the
// last wait found, 20 s at most), "send TEXT" (typed as it stands; \r, \n, \t, \\ and \xHH
// are escapes), "when TEXT<tab>REPLY" (from now on, type REPLY each time TEXT appears: for a
// question that a run may or may not ask) and "deadline SECONDS" (the whole session, its
// waits and the command's end, is over that many seconds from now; the command and its
// process group are then killed, and waits may last that long). Like a terminal, the
// session answers every cursor position query with the top left corner. The exit status is
// the command's (128 + the signal when a signal ended it); 124 when a wait or the deadline
// timed out, 125 when the session could not start. A wait that fails says on standard
// error whether the command had ended, and how.

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr auto kWaitLimit = std::chrono::seconds(20);
const std::string kCursorQuery = "\x1b[6n";

std::string Unescape(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char kind = text[++i];
        if (kind == 'r') bytes += '\r';
        if (kind == 'n') bytes += '\n';
        if (kind == 't') bytes += '\t';
        if (kind == '\\') bytes += '\\';
        if (kind == 'x' && i + 2 < text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
    }
    return bytes;
}

using Clock = std::chrono::steady_clock;

class Session {
  public:
    explicit Session(char** command) {
        winsize size{24, 80, 0, 0};
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            execvp(command[0], command);
            _exit(127);
        }
    }
    bool Started() const { return pid_ > 0; }

    bool WaitFor(const std::string& text) {
        const auto limit = deadline_ ? *deadline_ : Clock::now() + kWaitLimit;
        for (;;) {
            const size_t found = output_.find(text, searchFrom_);
            if (found != std::string::npos) {
                searchFrom_ = found + text.size();
                return true;
            }
            if (Clock::now() > limit || !ReadSome(100)) return false;
        }
    }

    void AnswerWhen(const std::string& text, const std::string& reply) {
        answers_.push_back({text, reply, output_.size()});
    }

    void SetDeadline(std::chrono::seconds seconds) { deadline_ = Clock::now() + seconds; }
    bool PastDeadline() const { return deadline_ && Clock::now() > *deadline_; }

    bool Ended() const { return ended_; }
    int Status() const {
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
    }

    bool Send(const std::string& bytes) {
        return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until the command ends, then its exit status as a shell gives it; 124 when the
    // deadline came first.
    int Finish() {
        while (ReadSome(100)) {
            if (PastDeadline()) {
                Kill();
                return 124;
            }
        }
        return Status();
    }

    // The command runs in a session and process group of its own: whatever it started goes
    // with it.
    void Kill() {
        if (!ended_) {
            kill(-pid_, SIGKILL);
            kill(pid_, SIGKILL);
        }
        while (ReadSome(100)) {
        }
    }

    const std::string& Output() const { return output_; }

  private:
    // Reads what the command wrote, answering cursor queries as a terminal does; false once
    // the command has ended and nothing is left to read.
    bool ReadSome(int timeoutMs) {
        pollfd ready{master_, POLLIN, 0};
        if (poll(&ready, 1, timeoutMs) > 0 && (ready.revents & POLLIN)) {
            char bytes[4096];
            const ssize_t count = read(master_, bytes, sizeof bytes);
            if (count > 0) {
                const size_t before = output_.size();
                output_.append(bytes, static_cast<size_t>(count));
                // A query split across two reads is still answered once.
                const size_t from =
                    before >= kCursorQuery.size() ? before - kCursorQuery.size() + 1 : 0;
                for (size_t at = output_.find(kCursorQuery, from); at != std::string::npos;
                     at = output_.find(kCursorQuery, at + 1)) {
                    Send("\x1b[1;1R");
                }
                for (Answer& answer : answers_) {
                    const size_t found = output_.find(answer.text, answer.from);
                    if (found != std::string::npos) {
                        answer.from = found + answer.text.size();
                        Send(answer.reply);
                    }
                }
                return true;
            }
        }
        if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
        return !ended_;
    }

    struct Answer {
        std::string text;
        std::string reply;
        size_t from;
    };

    int master_ = -1;
    pid_t pid_ = -1;
    int status_ = 0;
    bool ended_ = false;
    std::string output_;
    size_t searchFrom_ = 0;
    std::vector<Answer> answers_;
    std::optional<Clock::time_point> deadline_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: pty_session OUTPUT SCRIPT COMMAND [ARGUMENT...]\n";
        return 125;
    }
    std::ifstream script(argv[2]);
    Session session(argv + 3);
    if (!script || !session.Started()) return 125;
    int status = 0;
    std::string line;
    while (std::getline(script, line)) {
        const std::string text = line.size() > 5 ? Unescape(line.substr(5)) : "";
        if (line.rfind("wait ", 0) == 0 && !session.WaitFor(text)) {
            std::cerr << "pty_session: timed out waiting for: " << line.substr(5) << "\n";
            if (session.Ended()) {
                std::cerr << "pty_session: the command had ended with status " << session.Status()
                          << "\n";
            }
            session.Kill();
            status = 124;
            break;
        }
        if (line.rfind("send ", 0) == 0) session.Send(text);
        if (line.rfind("when ", 0) == 0) {
            const size_t tab = text.find('\t');
            if (tab != std::string::npos)
                session.AnswerWhen(text.substr(0, tab), text.substr(tab + 1));
        }
        if (line.rfind("deadline ", 0) == 0) {
            session.SetDeadline(std::chrono::seconds(std::stoi(line.substr(9))));
        }
    }
    if (status == 0) {
        status = session.Finish();
        if (status == 124 && session.PastDeadline()) {
            std::cerr << "pty_session: the command did not end by the deadline\n";
        }
    }
    std::ofstream(argv[1], std::ios::binary) << session.Output();
    return status;
}
