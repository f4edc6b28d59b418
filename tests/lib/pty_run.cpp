#include "pty_run.hpp"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

PtyRun::PtyRun(const std::string& program, const std::vector<std::string>& steps,
               const Options& options) {
    winsize size{24, 80, 0, 0};
    pid_ = forkpty(&master_, nullptr, nullptr, &size);
    if (pid_ == 0) {
        if (options.ignoreHangUp) signal(SIGHUP, SIG_IGN);
        termios settings{};
        if (tcgetattr(0, &settings) == 0) {
            settings.c_cc[VERASE] = static_cast<cc_t>(options.erase);
            tcsetattr(0, TCSANOW, &settings);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& step : steps)
            argv.push_back(const_cast<char*>(step.c_str()));
        argv.push_back(nullptr);
        setenv("LANG", "C.UTF-8", 1);
        setenv("TERM", options.term.c_str(), 1);
        // No print server can listen below /dev/null: nothing reaches the machine's printers.
        setenv("CUPS_SERVER", "/dev/null/no-print-server", 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

PtyRun::~PtyRun() {
    if (master_ >= 0) close(master_);
    if (pid_ > 0 && status_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool PtyRun::ReadUntil(const std::string& marker, size_t from) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (output_.find(marker, from) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline || !ReadSome(100)) return false;
    }
    return true;
}

bool PtyRun::Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(master_, bytes.data() + done, bytes.size() - done);
        if (count <= 0) return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

void PtyRun::HangUp() {
    close(master_);
    master_ = -1;
}

int PtyRun::Wait() {
    while (master_ >= 0 && ReadSome(100)) {
    }
    waitpid(pid_, &status_, 0);
    return status_;
}

bool PtyRun::Settings(termios* settings) const { return tcgetattr(master_, settings) == 0; }

bool PtyRun::ReadSome(int timeoutMs) {
    pollfd ready{master_, POLLIN, 0};
    if (poll(&ready, 1, timeoutMs) <= 0) {
        int status = 0;
        return waitpid(pid_, &status, WNOHANG) == 0 || (status_ = status, false);
    }
    char bytes[4096];
    const ssize_t count = read(master_, bytes, sizeof bytes);
    if (count <= 0) return false;
    output_.append(bytes, static_cast<size_t>(count));
    return true;
}

bool WaitUntilReady(PtyRun& run) {
    if (!run.ReadUntil("\x1b[6n")) return false;
    return run.Write("\x1b[1;1R") && run.ReadUntil("ready");
}
