#include "platform/posix/terminal/screen_posix.hpp"

#include <poll.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/posix/terminal/cp437_posix.hpp"
#include "platform/posix/terminal/cursor_report_posix.hpp"
#include "platform/posix/terminal/terminal_posix.hpp"
#include "platform/screen_model.hpp"

namespace platform::posix {
namespace {

constexpr uint16_t kDefaultAttribute = 7;
// The cursor shape reported to the program at first; a request for this size asks for the
// terminal's own shape.
constexpr CursorInfo kInitialShape{25, true};
constexpr int kCursorReplyTimeoutMs = 300;

struct Screen {
    bool ready = false;
    bool utf8 = false;
    ScreenModel model;
    CursorInfo shape = kInitialShape;
};

Screen screen;

void AppendCursorMove(std::string& out, Coord position) {
    out += "\x1b[" + std::to_string(position.y + 1) + ';' + std::to_string(position.x + 1) + 'H';
}

// SGR for a console attribute: the console's own attribute 7 is the terminal's default
// colours; others map the Windows colour bits (blue 1, green 2, red 4, bright 8) to ANSI.
void AppendAttribute(std::string& out, uint16_t attribute) {
    if (attribute == kDefaultAttribute) {
        out += "\x1b[0m";
        return;
    }
    auto ansi = [](unsigned colour) {
        return ((colour & 4) ? 1 : 0) | ((colour & 2) ? 2 : 0) | ((colour & 1) ? 4 : 0);
    };
    const unsigned foreground = attribute & 0xF;
    const unsigned background = (attribute >> 4) & 0xF;
    out += "\x1b[0;" + std::to_string(((foreground & 8) ? 90 : 30) + ansi(foreground)) + ';' +
           std::to_string(((background & 8) ? 100 : 40) + ansi(background)) + 'm';
}

// A byte as the terminal must receive it: its code page 437 glyph on a UTF-8 terminal; on
// others the byte itself where the locale's character set prints it, else '?'. No byte of
// a text ever reaches the terminal as a control, 7-bit or 8-bit.
void AppendGlyph(std::string& out, uint8_t byte) {
    if (screen.utf8) {
        AppendCp437AsUtf8(byte, out);
    } else {
        out += TerminalPrintsByte(byte) ? static_cast<char>(byte) : '?';
    }
}

// Asks the terminal where its cursor is. Bytes typed meanwhile are kept for input.
bool QueryCursor(Coord* position) {
    const int tty = TerminalInputFd();
    if (tty < 0 || !WriteAll(tty, "\x1b[6n", 4)) return false;
    std::string received;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    bool answered = false;
    while (!answered) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long elapsedMs =
            (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (elapsedMs >= kCursorReplyTimeoutMs) break;
        pollfd waiting{tty, POLLIN, 0};
        const int ready = poll(&waiting, 1, static_cast<int>(kCursorReplyTimeoutMs - elapsedMs));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char bytes[256];
        const ssize_t count = read(tty, bytes, sizeof bytes);
        if (count <= 0) break;
        received.append(bytes, static_cast<size_t>(count));
        answered = TakeCursorReport(received, position);
    }
    TerminalKeepPendingInput(received);
    return answered;
}

void RefreshSize(int fd) {
    winsize size{};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 24;
    }
    screen.model.Resize(static_cast<int16_t>(size.ws_col), static_cast<int16_t>(size.ws_row));
}

// Makes the model true before output: at first, and after a stop or a resize, the size is
// read again and the terminal is asked where its cursor is. A terminal that does not answer
// gets its cursor put on the bottom row, so that the model is true all the same.
void Synchronise(int fd) {
    if (screen.ready && !TerminalTakePositionLost()) return;
    if (!screen.ready) screen.utf8 = TerminalIsUtf8();
    screen.ready = true;
    RefreshSize(fd);
    Coord reported{};
    if (QueryCursor(&reported)) {
        screen.model.SetCursor(reported);
        return;
    }
    screen.model.SetCursor({0, static_cast<int16_t>(screen.model.Height() - 1)});
    std::string move;
    AppendCursorMove(move, screen.model.Cursor());
    WriteAll(fd, move.data(), move.size());
}

// Draws `count` cells of the model from `start` on, row after row, and puts the cursor back
// where the model says; the cursor is hidden meanwhile and autowrap is off, so that the
// bottom-right cell never scrolls the terminal.
std::string CellsSequence(Coord start, uint32_t count) {
    std::string out;
    if (screen.shape.visible) out += "\x1b[?25l";
    out += "\x1b[?7l";
    const int width = screen.model.Width();
    int x = start.x;
    int y = start.y;
    uint16_t current = kDefaultAttribute;
    while (count > 0 && y < screen.model.Height()) {
        AppendCursorMove(out, {static_cast<int16_t>(x), static_cast<int16_t>(y)});
        for (; x < width && count > 0; ++x, --count) {
            const CharInfo& cell = screen.model.At(x, y);
            if (cell.attributes != current) {
                AppendAttribute(out, cell.attributes);
                current = cell.attributes;
            }
            AppendGlyph(out, static_cast<uint8_t>(cell.character));
        }
        x = 0;
        ++y;
    }
    if (current != kDefaultAttribute) out += "\x1b[0m";
    out += "\x1b[?7h";
    AppendCursorMove(out, screen.model.Cursor());
    if (screen.shape.visible) out += "\x1b[?25h";
    return out;
}

bool Emit(int fd, const std::string& bytes) { return WriteAll(fd, bytes.data(), bytes.size()); }

bool ScreenIsBlank() {
    for (int y = 0; y < screen.model.Height(); ++y) {
        for (int x = 0; x < screen.model.Width(); ++x) {
            const CharInfo& cell = screen.model.At(x, y);
            if (cell.character != ' ' || cell.attributes != kDefaultAttribute) return false;
        }
    }
    return true;
}

// After a fill: a screen that is now all blank is cleared the terminal's way; otherwise the
// filled cells are drawn again.
uint32_t ShowFill(int fd, uint32_t filled, Coord start) {
    if (filled == 0) return 0;
    std::string out;
    if (ScreenIsBlank()) {
        out = "\x1b[0m\x1b[2J";
        AppendCursorMove(out, screen.model.Cursor());
    } else {
        out = CellsSequence(start, filled);
    }
    Emit(fd, out);
    return filled;
}

}  // namespace

bool ScreenWriteProcessed(int fd, std::string_view bytes) {
    Synchronise(fd);
    std::string out;
    WriteProcessed(screen.model, bytes, kDefaultAttribute,
                   [&](ProcessedStep step, uint8_t byte, bool) {
                       switch (step) {
                           case ProcessedStep::kGlyph:
                               AppendGlyph(out, byte);
                               break;
                           case ProcessedStep::kGlyphThenWrap:
                               // The terminal would defer the wrap; the console does not.
                               AppendGlyph(out, byte);
                               out += "\r\n";
                               break;
                           case ProcessedStep::kCarriageReturn:
                               out += '\r';
                               break;
                           case ProcessedStep::kLineFeed:
                               out += "\r\n";
                               break;
                           case ProcessedStep::kBackspace:
                               // Terminals disagree about BS at a row's edges.
                               AppendCursorMove(out, screen.model.Cursor());
                               break;
                           case ProcessedStep::kBell:
                               out += '\a';
                               break;
                       }
                   });
    return Emit(fd, out);
}

bool ScreenWriteCells(int fd, int x, int y, const CharInfo* cells, int count) {
    Synchronise(fd);
    for (int i = 0; i < count; ++i)
        screen.model.Put(x + i, y, cells[i]);
    TerminalModeOn(fd, kModeAutowrapOff, nullptr);
    TerminalModeOn(fd, kModeAttributes, nullptr);
    return Emit(fd, CellsSequence({static_cast<int16_t>(x), static_cast<int16_t>(y)},
                                  static_cast<uint32_t>(count)));
}

bool ScreenScrollUp(int fd, int top, int bottom, int count, CharInfo fill) {
    Synchronise(fd);
    const int height = screen.model.Height();
    screen.model.ScrollUp(top, bottom, count, fill);
    std::string out = "\x1b[0m";
    const bool wholeScreen = top == 0 && bottom == height - 1;
    // A line feed on the bottom row scrolls the way the terminal keeps its scrollback.
    if (!wholeScreen)
        out += "\x1b[" + std::to_string(top + 1) + ';' + std::to_string(bottom + 1) + 'r';
    AppendCursorMove(out, {0, static_cast<int16_t>(bottom)});
    out.append(static_cast<size_t>(count), '\n');
    if (!wholeScreen) out += "\x1b[r";
    AppendCursorMove(out, screen.model.Cursor());
    if (!Emit(fd, out)) return false;
    if (fill.character != ' ' || fill.attributes != kDefaultAttribute) {
        const int first = bottom + 1 - count;
        return Emit(fd, CellsSequence({0, static_cast<int16_t>(first)},
                                      static_cast<uint32_t>(count * screen.model.Width())));
    }
    return true;
}

uint32_t ScreenFillCharacters(int fd, char character, uint32_t length, Coord start) {
    Synchronise(fd);
    return ShowFill(fd, screen.model.FillCharacters(character, length, start), start);
}

uint32_t ScreenFillAttributes(int fd, uint16_t attribute, uint32_t length, Coord start) {
    Synchronise(fd);
    return ShowFill(fd, screen.model.FillAttributes(attribute, length, start), start);
}

bool ScreenSetCursor(int fd, Coord position) {
    Synchronise(fd);
    screen.model.SetCursor(position);
    std::string out;
    AppendCursorMove(out, screen.model.Cursor());
    return Emit(fd, out);
}

bool ScreenSetCursorShape(int fd, const CursorInfo& shape) {
    std::string out;
    if (shape.visible != screen.shape.visible) {
        out += shape.visible ? "\x1b[?25h" : "\x1b[?25l";
        if (shape.visible) {
            TerminalModeOff(kModeCursorHidden);
        } else {
            TerminalModeOn(fd, kModeCursorHidden, "\x1b[?25l");
        }
    }
    if (shape.size != screen.shape.size) {
        if (shape.size == kInitialShape.size) {
            out += TerminalModeOffSequence(kModeCursorShape);
            TerminalModeOff(kModeCursorShape);
        } else {
            // A block from half the cell up, an underline below that.
            const bool block = shape.size >= 50;
            const char* sequence = TerminalIsLinuxConsole() ? (block ? "\x1b[?6c" : "\x1b[?2c")
                                                            : (block ? "\x1b[1 q" : "\x1b[3 q");
            out += sequence;
            TerminalModeOn(fd, kModeCursorShape, sequence);
        }
    }
    screen.shape = shape;
    return out.empty() || Emit(fd, out);
}

CursorInfo ScreenCursorShape() { return screen.shape; }

ScreenBufferInfo ScreenInfo(int fd) {
    Synchronise(fd);
    const ScreenModel& model = screen.model;
    return {
        {model.Width(), model.Height()},
        model.Cursor(),
        kDefaultAttribute,
        {0, 0, static_cast<int16_t>(model.Width() - 1), static_cast<int16_t>(model.Height() - 1)}};
}

}  // namespace platform::posix
