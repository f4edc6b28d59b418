// The terminal backend on a pseudo-terminal that the test controls byte for byte: what the
// program does when the terminal answers its cursor query, answers late or never, how keys
// arrive when they are split across reads, and what a hang-up does. Each test runs the
// terminal probe as a child on a new pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string probePath;

class PtyRun {
  public:
    explicit PtyRun(const std::vector<std::string>& steps, bool ignoreHangUp = false) {
        winsize size{24, 80, 0, 0};
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            if (ignoreHangUp) signal(SIGHUP, SIG_IGN);
            std::vector<char*> argv{const_cast<char*>(probePath.c_str())};
            for (const std::string& step : steps)
                argv.push_back(const_cast<char*>(step.c_str()));
            argv.push_back(nullptr);
            setenv("LANG", "C.UTF-8", 1);
            setenv("TERM", "xterm", 1);
            // No print server can listen below /dev/null: nothing reaches the machine's printers.
            setenv("CUPS_SERVER", "/dev/null/no-print-server", 1);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    ~PtyRun() {
        if (master_ >= 0) close(master_);
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    /// Reads the child's output until it contains `marker` (or 10 s pass).
    bool ReadUntil(const std::string& marker) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (output_.find(marker) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || !ReadSome(100)) return false;
        }
        return true;
    }
    void Write(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void HangUp() {
        close(master_);
        master_ = -1;
    }
    /// Waits for the child to end, reading what it still writes.
    int Wait() {
        while (master_ >= 0 && ReadSome(100)) {
        }
        waitpid(pid_, &status_, 0);
        return status_;
    }
    const std::string& Output() const { return output_; }

  private:
    bool ReadSome(int timeoutMs) {
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

    int master_ = -1;
    pid_t pid_ = -1;
    int status_ = -1;
    std::string output_;
};

// Waits until the probe has the terminal in raw mode and has written "ready": it asks where
// the cursor is first, and gets told.
void WaitUntilReady(PtyRun& run) {
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    run.Write("\x1b[1;1R");
    ASSERT_TRUE(run.ReadUntil("ready"));
}

std::string TempFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string(name) + "-" + std::to_string(getpid())))
        .string();
}

std::string Contents(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::remove(path.c_str());
    return text.str();
}

TEST(PtyTerminal, ATerminalThatNeverAnswersGetsTheCursorOnTheBottomRow) {
    const std::string where = TempFile("where");
    PtyRun run({"out:hello", "where:" + where});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    run.Wait();
    const std::string& output = run.Output();
    EXPECT_LT(output.find("\x1b[24;1H"), output.find("hello"));
    EXPECT_EQ(Contents(where), "6 24\n");
}

TEST(PtyTerminal, TheAnswerPlacesTheModelsCursor) {
    const std::string where = TempFile("where");
    PtyRun run({"out:hi", "where:" + where});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    run.Write("\x1b[5;10R");
    EXPECT_EQ(WEXITSTATUS(run.Wait()), 0);
    EXPECT_EQ(Contents(where), "12 5\n");
}

TEST(PtyTerminal, KeysTypedBeforeTheAnswerAreKeptInOrder) {
    const std::string keys = TempFile("keys");
    PtyRun run({"out:x", "keys:2:" + keys});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    run.Write(
        "q\x1b[5;10R"
        "w");
    run.Wait();
    EXPECT_EQ(Contents(keys), "71\n77\n");
}

TEST(PtyTerminal, KeysAreDecodedWhateverPiecesTheyArriveIn) {
    const std::string keys = TempFile("keys");
    PtyRun run({"out:ready", "keys:6:" + keys});
    WaitUntilReady(run);
    // Split inside the sequence, where the decoder waits long enough for a busy machine.
    run.Write("\x1b[");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    run.Write("A");                      // Up
    run.Write("\x7f\xc3");               // Backspace, and half of an e acute
    run.Write("\xa9\x1bq");              // its other half, Alt+Q
    run.Write("\x1b[<0;3;4Mz\x1b[15~");  // a mouse report (not reported), z, F5
    run.Wait();
    EXPECT_EQ(Contents(keys), "00 48\n08\n82\n00 10\n7a\n00 3f\n");
}

TEST(PtyTerminal, ALoneEscIsAKeyOnceItsWaitIsOver) {
    const std::string keys = TempFile("keys");
    PtyRun run({"out:ready", "keys:2:" + keys});
    WaitUntilReady(run);
    run.Write("\x1b");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    run.Write("[");
    run.Wait();
    EXPECT_EQ(Contents(keys), "1b\n5b\n");
}

TEST(PtyTerminal, AHangUpEndsTheProgramAfterTheTerminalIsHandedBack) {
    const std::string keys = TempFile("keys");
    PtyRun run({"out:ready", "keys:1:" + keys});
    WaitUntilReady(run);
    run.HangUp();
    const int status = run.Wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
    Contents(keys);
}

TEST(PtyTerminal, WithTheHangUpIgnoredWaitingForAKeyEndsWithNoKey) {
    const std::string keys = TempFile("keys");
    PtyRun run({"out:ready", "keys:1:" + keys}, true);
    WaitUntilReady(run);
    run.HangUp();
    const int status = run.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Contents(keys), "\n");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TERMINAL_PROBE\n", argv[0]);
        return 2;
    }
    probePath = argv[1];
    return RUN_ALL_TESTS();
}
