#pragma once
// The terminal probe run as a child on a new pseudo-terminal that the test controls byte for
// byte: the child is the session leader of the terminal, as a terminal's own command is.

#include <sys/types.h>
#include <termios.h>

#include <string>
#include <vector>

class PtyRun {
  public:
    struct Options {
        /// The child ignores SIGHUP, as under nohup.
        bool ignoreHangUp = false;
        /// TERM in the child's environment.
        std::string term = "xterm";
        /// The terminal's erase character (what its Backspace key sends).
        char erase = '\x7f';
    };

    /// Starts `program` with `steps` as its arguments.
    PtyRun(const std::string& program, const std::vector<std::string>& steps,
           const Options& options);
    ~PtyRun();
    PtyRun(const PtyRun&) = delete;
    PtyRun& operator=(const PtyRun&) = delete;

    /// Reads the child's output until it contains `marker` after `from` (or 10 s pass).
    bool ReadUntil(const std::string& marker, size_t from = 0);
    /// Writes all bytes to the terminal, as typed; false when they could not be written.
    bool Write(const std::string& bytes);
    /// Closes the terminal's master side.
    void HangUp();
    /// Waits for the child to end, reading what it still writes; its wait status.
    int Wait();
    /// The terminal's settings as the child has left them.
    bool Settings(termios* settings) const;

    pid_t Pid() const { return pid_; }
    const std::string& Output() const { return output_; }

  private:
    bool ReadSome(int timeoutMs);

    int master_ = -1;
    pid_t pid_ = -1;
    int status_ = -1;
    std::string output_;
};

/// Waits until the probe has the terminal in raw mode and has written "ready": it asks where
/// the cursor is first, and gets told.
bool WaitUntilReady(PtyRun& run);
