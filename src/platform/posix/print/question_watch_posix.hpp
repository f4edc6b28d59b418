#pragma once
// A watch over one question to the print server. libcups waits for the server inside its
// own loops, where the program cannot look: a header line that never ends, an answer that
// drips a byte at a time, a request the server does not take. The watch ends any of these
// when the question's time is up or the user stops waiting, by shutting the connection
// down, which makes libcups' call fail as on a lost connection. While the program's own
// thread waits, the watch also ticks the wait for it (server_wait_posix.hpp).

#include <pthread.h>

#include <chrono>
#include <mutex>

namespace platform::posix {

class QuestionWatch {
  public:
    /// Starts watching, with no connection yet.
    explicit QuestionWatch(std::chrono::steady_clock::time_point deadline);
    /// Stops watching.
    ~QuestionWatch();
    QuestionWatch(const QuestionWatch&) = delete;
    QuestionWatch& operator=(const QuestionWatch&) = delete;

    /// The connection the question now goes over; -1 for none. Set to -1 before the
    /// connection is closed, so that the watch never touches a descriptor number that
    /// another thread has been given since.
    void Watch(int fd);

    /// False when no thread or pipe could be had (a limit on processes, files or memory):
    /// the caller bounds the wait some other way.
    bool Watching() const { return watching_; }

  private:
    static void* Run(void* self);
    void Loop();

    std::chrono::steady_clock::time_point deadline_;
    std::mutex lock_;
    int fd_ = -1;
    int stop_[2] = {-1, -1};
    pthread_t thread_{};
    bool watching_ = false;
};

}  // namespace platform::posix
