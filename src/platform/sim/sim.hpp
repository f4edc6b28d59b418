#pragma once
// The simulated platform that unit tests link: an in-memory console and process. Tests set
// it up with Reset and look at what the logic did through the functions below.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/console.hpp"
#include "platform/process.hpp"
#include "platform/types.hpp"

namespace sim {

/// Where a standard stream goes.
enum class Stream { kConsole, kRedirected };

struct ConsoleSetup {
    int16_t width = 80;
    int16_t height = 25;
    Stream stdOutput = Stream::kConsole;
    Stream stdError = Stream::kConsole;
    /// Whether "CONIN$" can be opened.
    bool consoleInput = true;
    platform::CursorInfo cursor{25, true};
};

/// Starts the console, the process and the allocator afresh.
void Reset(const ConsoleSetup& setup = {});

// The screen buffer (0-based cells).
char Character(int x, int y);
uint16_t Attribute(int x, int y);
/// Row y as a string of `width` characters.
std::string Row(int y);
platform::Coord Cursor();
/// The cursor shape the console shows now.
platform::CursorInfo CursorShape();
/// How many times the cursor shape was set.
int CursorShapeChanges();
/// The mode last set on a handle.
uint32_t ConsoleMode(platform::Handle console);
/// Puts the cursor somewhere, as if earlier output had left it there.
void PlaceCursor(platform::Coord position);

/// Queues console input: a key going down, a key going down and up again, a mouse record,
/// a record of another kind (focus, menu).
void PushKeyDown(char character, uint16_t scanCode, uint32_t controlKeyState = 0);
void PushKeyPress(char character, uint16_t scanCode, uint32_t controlKeyState = 0);
void PushKeyUp(char character, uint16_t scanCode, uint32_t controlKeyState = 0);
void PushMouse(int16_t x, int16_t y, uint32_t buttonState, uint32_t eventFlags = 0,
               uint32_t controlKeyState = 0);
void PushOtherInput();
/// Records still queued.
int QueuedInput();
/// How many times the program waited for input. The simulated console never blocks: a wait
/// on an empty queue fails, as if the terminal had hung up.
int InputWaits();

/// The bytes written to a redirected standard stream.
std::string RedirectedBytes(platform::StdHandle which);

/// The next write to any handle fails with this Win32 error code.
void FailNextWrite(uint32_t errorCode);
/// The next write to any handle writes only this many bytes and reports success.
void ShortenNextWrite(uint32_t bytesWritten);

/// The command line that GetCommandLineA returns.
void SetCommandLine(const std::string& commandLine);
void SetStartupInfo(const platform::StartupInfo& info);
/// Whether TlsAlloc finds a free slot.
void SetTlsExhausted(bool exhausted);

/// Environment variables of the simulated process.
void SetEnvironment(const std::string& name, const std::string& value);

/// A child process started by the program: what it was given, and what it ends with.
struct ChildRun {
    std::string commandLine;
    std::vector<std::string> arguments;
    bool inheritHandles;
    uint16_t showWindow;
    bool waitedFor;
};
/// Children started so far.
const std::vector<ChildRun>& Children();
/// How the next child ends (exit code), or that it cannot be started (Win32 error code).
void SetChildExitCode(uint32_t exitCode);
void FailNextChild(uint32_t errorCode);
/// Handles of the simulated process still open (files, processes, threads).
int OpenHandles();

/// The local time that GetLocalTime reports.
void SetLocalTime(const platform::SystemTime& time);

/// Text blocks allocated and not yet freed.
int LiveTextBlocks();
/// After this many more successful text allocations, allocations fail (-1: never).
void FailTextAllocationsAfter(int successes);

}  // namespace sim
