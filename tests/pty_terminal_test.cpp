// The terminal backend on a pseudo-terminal that the test controls byte for byte: what the
// program does when the terminal answers its cursor query, answers late or never, how keys
// arrive when they are split across reads, what a hang-up does, and a stop that the kernel
// drops. Each test runs the terminal probe on a new pseudo-terminal.

#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "lib/pty_run.hpp"

namespace {

std::string probePath;

// The probe on a new pseudo-terminal, as an xterm's own command.
struct ProbeRun : PtyRun {
    explicit ProbeRun(const std::vector<std::string>& steps, bool ignoreHangUp = false)
        : PtyRun(probePath, steps, {ignoreHangUp, "xterm", '\x7f'}) {}
};

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
    ProbeRun run({"out:hello", "where:" + where});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    run.Wait();
    const std::string& output = run.Output();
    EXPECT_LT(output.find("\x1b[24;1H"), output.find("hello"));
    EXPECT_EQ(Contents(where), "6 24\n");
}

TEST(PtyTerminal, TheAnswerPlacesTheModelsCursor) {
    const std::string where = TempFile("where");
    ProbeRun run({"out:hi", "where:" + where});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    ASSERT_TRUE(run.Write("\x1b[5;10R"));
    EXPECT_EQ(WEXITSTATUS(run.Wait()), 0);
    EXPECT_EQ(Contents(where), "12 5\n");
}

TEST(PtyTerminal, KeysTypedBeforeTheAnswerAreKeptInOrder) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:x", "keys:2:" + keys});
    ASSERT_TRUE(run.ReadUntil("\x1b[6n"));
    ASSERT_TRUE(
        run.Write("q\x1b[5;10R"
                  "w"));
    run.Wait();
    EXPECT_EQ(Contents(keys), "71\n77\n");
}

TEST(PtyTerminal, KeysAreDecodedWhateverPiecesTheyArriveIn) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:ready", "keys:6:" + keys});
    ASSERT_TRUE(WaitUntilReady(run));
    // Split inside the sequence, where the decoder waits long enough for a busy machine.
    ASSERT_TRUE(run.Write("\x1b["));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(run.Write("A"));                      // Up
    ASSERT_TRUE(run.Write("\x7f\xc3"));               // Backspace, and half of an e acute
    ASSERT_TRUE(run.Write("\xa9\x1bq"));              // its other half, Alt+Q
    ASSERT_TRUE(run.Write("\x1b[<0;3;4Mz\x1b[15~"));  // a mouse report (not reported), z, F5
    run.Wait();
    EXPECT_EQ(Contents(keys), "00 48\n08\n82\n00 10\n7a\n00 3f\n");
}

TEST(PtyTerminal, ALoneEscIsAKeyOnceItsWaitIsOver) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:ready", "keys:2:" + keys});
    ASSERT_TRUE(WaitUntilReady(run));
    ASSERT_TRUE(run.Write("\x1b"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(run.Write("["));
    run.Wait();
    EXPECT_EQ(Contents(keys), "1b\n5b\n");
}

TEST(PtyTerminal, AHangUpEndsTheProgramAfterTheTerminalIsHandedBack) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:ready", "keys:1:" + keys});
    ASSERT_TRUE(WaitUntilReady(run));
    run.HangUp();
    const int status = run.Wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGHUP) << status;
    Contents(keys);
}

TEST(PtyTerminal, WithTheHangUpIgnoredWaitingForAKeyEndsWithNoKey) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:ready", "keys:1:" + keys}, true);
    ASSERT_TRUE(WaitUntilReady(run));
    run.HangUp();
    const int status = run.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(Contents(keys), "\n");
}

// Stops the probe that `run` waits in, with its cursor hidden, by SIGTSTP to its process
// group, and checks that it takes the terminal back by itself and still reads Enter as 13.
void CheckStopDroppedByTheKernel(PtyRun& run, const std::string& keys) {
    ASSERT_TRUE(WaitUntilReady(run));
    ASSERT_TRUE(run.ReadUntil("\x1b[?25l"));
    const size_t beforeStop = run.Output().size();
    kill(-run.Pid(), SIGTSTP);
    ASSERT_TRUE(run.ReadUntil("\x1b[?25h", beforeStop));  // handed back for the stop
    const size_t handedBack = run.Output().find("\x1b[?25h", beforeStop);
    EXPECT_TRUE(run.ReadUntil("\x1b[?25l", handedBack)) << "the cursor was not hidden again";

    termios settings{};
    ASSERT_TRUE(run.Settings(&settings));
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_iflag & ICRNL, 0u);
    ASSERT_TRUE(run.Write("\r"));
    run.Wait();
    EXPECT_EQ(Contents(keys), "0d\n");
}

// The terminal's own command (xterm -e virodaro) leads the terminal's session alone in its
// process group, as the probe does here: that group is orphaned, the kernel discards the
// stop, and no SIGCONT follows.
TEST(PtyTerminal, AStopDroppedForTheTerminalsOwnCommandLeavesItRawAndWorking) {
    const std::string keys = TempFile("keys");
    ProbeRun run({"out:ready", "cursor:0", "keys:1:" + keys});
    CheckStopDroppedByTheKernel(run, keys);
}

// ssh -t host virodaro: the program is the child of a shell that leads the session, in the
// shell's process group, which is orphaned just the same.
TEST(PtyTerminal, AStopDroppedForTheChildOfTheTerminalsShellLeavesItRawAndWorking) {
    const std::string keys = TempFile("keys");
    PtyRun run("/bin/sh", {"-c", probePath + " out:ready cursor:0 keys:1:" + keys + "; :"},
               {false, "xterm", '\x7f'});
    CheckStopDroppedByTheKernel(run, keys);
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
