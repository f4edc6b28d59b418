// Runs a command and reports what it cost, for the benchmark scripts: its wall time from the
// start to its end, its processor time (user and system, its own threads included) and its
// peak memory, on one line: "WALL_NS USER_US SYSTEM_US PEAK_KB". The command's exit status
// becomes this program's.
//
//   run_measured COMMAND [ARGUMENT...]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_measured COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return 2;
    const auto wall = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "%lld %lld %lld %ld\n",
                 static_cast<long long>(
                     std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count()),
                 static_cast<long long>(usage.ru_utime.tv_sec) * 1000000 + usage.ru_utime.tv_usec,
                 static_cast<long long>(usage.ru_stime.tv_sec) * 1000000 + usage.ru_stime.tv_usec,
                 usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
