#pragma once
// The simulated platform that unit tests link: an in-memory console and process. Tests set
// it up with Reset and look at what the logic did through the functions below.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.hpp"
#include "platform/print.hpp"
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
    /// Whether the process has a console: "CONIN$" and "CONOUT$" can be opened.
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

/// What GetCurrentProcessId returns.
inline constexpr uint32_t kProcessId = 4242;

/// The command line that GetCommandLineA returns.
void SetCommandLine(const std::string& commandLine);
void SetStartupInfo(const platform::StartupInfo& info);
/// Whether TlsAlloc finds a free slot.
void SetTlsExhausted(bool exhausted);
/// The convention CommandLineConvention reports; Windows' (the tail is the program's own)
/// after Reset.
void SetCommandLineConvention(platform::OptionConvention convention);
/// What WriteStandardOutput wrote, apart from the console.
std::string StandardOutputBytes();
/// Every WriteStandardOutput fails with this Win32 error code until Reset.
void FailStandardOutput(uint32_t errorCode);

// The simulated disk. Paths are Windows paths ("C:\WORK\A.TXT"; "/" separates too) and
// names are compared with their case. After Reset drive C: holds the current directory
// C:\WORK and nothing else.

/// Adds a directory, and the directories above it that are missing.
void AddDirectory(const std::string& path, uint32_t attributes = 0);
/// Adds a file with these bytes, or gives an existing one these bytes and attributes.
void AddFile(const std::string& path, std::string_view bytes, uint32_t attributes = 0);
/// Appends bytes to a file, as another process writing it would.
void AppendToFile(const std::string& path, std::string_view bytes);
/// Adds a character device: a read takes up to the count asked from `input` and, once the
/// input is used up, fails with `endError` (0: succeeds with no bytes). Writes collect.
void AddDevice(const std::string& path, std::string_view input, uint32_t endError = 0);
/// A file's bytes or what was written to a device; nothing when the path names neither.
std::optional<std::string> FileBytes(const std::string& path);
/// The attribute bits a test gave an entry (read-only, hidden, system); 0 when there is none.
uint32_t FileAttributes(const std::string& path);
/// The names in a directory, in order.
std::vector<std::string> DirectoryNames(const std::string& path);
/// Another process holds the file open with this access and share mode until Reset.
void HoldFile(const std::string& path, uint32_t desiredAccess, uint32_t shareMode);
/// The label of a drive's volume.
void SetVolumeLabel(char drive, const std::string& label);
/// Makes a directory current however long its path is, as a process started there finds it.
void EnterDirectory(const std::string& path);
/// How many more bytes the disk takes; a write that does not fit fails with ERROR_DISK_FULL.
void SetFreeSpace(uint64_t bytes);

/// The file-system calls that failures can be asked of.
enum class FileCall {
    kCreateFile,
    kReadFile,
    kSetFilePointer,
    kSetEndOfFile,
    kFlushFileBuffers,
    kCloseHandle,
    kFindFirstFile,
    kFindNextFile,
    kDeleteFile,
    kMoveFile,
    kReplaceFile,
    kGetCurrentDirectory,
    kSetCurrentDirectory,
};
/// The next such call fails with this Win32 error code (a failing CloseHandle still closes).
void FailNextCall(FileCall call, uint32_t errorCode);

/// Every file-system call so far, one line each: its name and its main argument
/// ("CreateFileA C:\WORK\A.TXT", "ReadFile 128", "DeleteFileA C:\WORK\B").
std::vector<std::string> FileCalls();
/// File handles and directory searches open now.
int OpenFileCount();
int OpenSearchCount();

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

// ---- Printers ------------------------------------------------------------------------------

/// A scripted printer. Sizes are device pixels in portrait; landscape pages swap them.
struct Printer {
    platform::PrinterInfo2 info;
    /// The device mode DocumentPropertiesA and the print dialog hand out.
    platform::DevMode devMode;
    int32_t dpiX = 600;
    int32_t dpiY = 600;
    int32_t physicalWidth = 5100;
    int32_t physicalHeight = 6600;
    int32_t offsetX = 150;
    int32_t offsetY = 100;
    int32_t printableWidth = 4800;
    int32_t printableHeight = 6400;
    /// Capability answers: DC_PAPERS/DC_PAPERNAMES, DC_BINS/DC_BINNAMES, DC_COPIES,
    /// DC_DUPLEX, DC_ORIENTATION (-1 for a query the driver refuses).
    std::vector<uint16_t> papers;
    std::vector<std::string> paperNames;
    std::vector<uint16_t> bins;
    std::vector<std::string> binNames;
    int32_t maxCopies = 99;
    int32_t duplex = 0;
    int32_t landscapeAngle = 90;
    /// Not 0: the destination cannot take a finished document with pages (a file it cannot
    /// write, a server that refuses the job), and EndDoc fails with this Win32 error code.
    uint32_t endDocError = 0;
    /// The printer writes each finished document to a file named after its title with
    /// ".pdf" added, as the POSIX "PDF file" destination does.
    bool writesFiles = false;
};

/// A printer named `name` with a full device mode (portrait, letter, 1 copy, colour, simplex,
/// collated, 600 dpi) and two papers and two bins.
Printer MakePrinter(const std::string& name);

/// Adds a printer to the spooler; `isDefault` makes it the system default.
void AddPrinter(const Printer& printer, bool isDefault = false);
/// The printer as the spooler holds it now, for changing its answers.
Printer& PrinterNamed(const std::string& name);

/// The print server the spooler reports as given up, and why (kNone: it answers).
void SetPrintServerTrouble(const std::string& server, platform::PrintServerTrouble trouble);

/// What the user does in the print dialog when it is shown (the choose mode).
enum class DialogAnswer { kOk, kCancel };
/// The dialog's next answer, and the printer it selects on OK.
void ScriptPrintDialog(DialogAnswer answer, const std::string& printerName = "");
/// Whether the dialog's result carries a device-mode block (it does by default).
void SetDialogReturnsDevMode(bool returnsDevMode);

/// Makes the next `times` calls of a print call (by its name: "StartDocA", "StartPage",
/// "EndPage", "ResetDCA", "CreateDCA", "OpenPrinterA", "DocumentPropertiesA", "EnumPrintersA",
/// "CreateFontIndirectA", "SelectObject", "SetTextAlign", "DeleteDC", "PrintDlgA", ...) fail.
/// PrintDlgA then reports `extendedError` through CommDlgExtendedError.
void FailPrintCall(const std::string& call, int times = 1, uint32_t extendedError = 0);

/// Every device-context and spooler call made, in order, with its arguments, as
/// "StartDocA(title)", "ResetDCA(orientation=2)", "StartPage()", "SetTextColor(0x808080)".
const std::vector<std::string>& PrintCalls();
/// Only the calls whose names are among `names`.
std::vector<std::string> PrintCallsNamed(std::initializer_list<std::string> names);
void ClearPrintCalls();

/// A document the spooler received: its title, the orientation of each page, and how it
/// ended: `ended` only when its destination took it.
struct PrintedDocument {
    std::string printer;
    std::string title;
    std::vector<int16_t> pageOrientations;
    bool ended = false;
    bool aborted = false;
};
const std::vector<PrintedDocument>& Documents();

/// The font every simulated device context starts with.
inline constexpr platform::Handle kStockFont = 0x0F00;

/// Device contexts, fonts, pens, brushes, pictures and screen contexts made and not yet
/// deleted or released.
int LivePrintObjects();

/// A picture LoadImageA can find: a bitmap or an icon, among the program's resources (by
/// name), the system's resources (by number) or the files (by name).
enum class PictureKind { kBitmap, kIcon };
enum class PictureHome { kProgram, kSystem, kFile };
struct Picture {
    PictureKind kind = PictureKind::kBitmap;
    PictureHome home = PictureHome::kFile;
    std::string name;
    uint16_t id = 0;
    /// A bitmap's own size and depth; an icon takes the size it is loaded at, or this one
    /// for 0 x 0.
    int32_t width = 32;
    int32_t height = 32;
    uint16_t bitsPixel = 24;
};
void AddPicture(const Picture& picture);

}  // namespace sim
