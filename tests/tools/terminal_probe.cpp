// Drives the console output of the runtime on the real terminal, one step per argument, for
// the terminal tests:
//   out:TEXT     standard-output text (\n, \r, \t and \b written as escapes)
//   cells:TEXT   console cells at the cursor (ConPrint)
//   newline      ConNewLine
//   clear        ConClear
//   locate:C,R   ConLocate
//   cursor:N     ConCursor
//   where:FILE   writes the console cursor ("column row", 1-based) to FILE
//   keys:N:FILE  waits for N events (ConWaitKey) and writes each as hex bytes to FILE
//   keystates:END:FILE  writes events as hex bytes, a tab and the modifiers held (S Shift,
//                C Ctrl, A Alt; - for none), until the one whose hex bytes are END
//   mouse        switches mouse reporting on for every button and event, as the closing
//                screen does
//   wait         waits until a signal ends the process
// It starts and ends the process the way the program does.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/console_state.hpp"
#include "console/events.hpp"
#include "console/output.hpp"
#include "platform/console.hpp"
#include "platform/process.hpp"
#include "runtime/errors.hpp"
#include "runtime/startup.hpp"

namespace {

std::string Unescape(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            bytes += next == 'n'   ? '\n'
                     : next == 'r' ? '\r'
                     : next == 't' ? '\t'
                     : next == 'b' ? '\b'
                                   : next;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::string Hex(const Text& key) {
    std::string hex;
    char byte[4];
    for (uint32_t at = 0; at < key.Length(); ++at) {
        std::snprintf(byte, sizeof byte, at == 0 ? "%02x" : " %02x", key[at]);
        hex += byte;
    }
    return hex;
}

void WriteCursor(const std::string& path) {
    platform::ScreenBufferInfo screen{};
    platform::GetConsoleScreenBufferInfo(gConsole.conOut, &screen);
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fprintf(file, "%d %d\n", screen.cursorPosition.x + 1, screen.cursorPosition.y + 1);
        std::fclose(file);
    }
}

void WriteKeys(int count, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return;
    for (int i = 0; i < count; ++i) {
        std::fprintf(file, "%s\n", Hex(ConWaitKey()).c_str());
        std::fflush(file);
    }
    std::fclose(file);
}

// The modifiers of the record at the head of the queue, once an event is there.
std::string HeadModifiers() {
    ConEvent event{};
    for (;;) {
        const con_detail::PeekOutcome outcome = con_detail::PeekEvent(&event);
        if (outcome == con_detail::PeekOutcome::kEvent) break;
        if (outcome == con_detail::PeekOutcome::kNoInput || !con_detail::WaitForInput()) {
            return "";
        }
    }
    platform::InputRecord record{};
    uint32_t count = 0;
    platform::PeekConsoleInputA(gConsole.conIn, &record, 1, &count);
    if (count == 0 || record.kind != platform::InputKind::kKey) return "-";
    const uint32_t state = record.key.controlKeyState;
    std::string held;
    if (state & platform::kShiftPressed) held += 'S';
    if (state & (platform::kLeftCtrlPressed | platform::kRightCtrlPressed)) held += 'C';
    if (state & (platform::kLeftAltPressed | platform::kRightAltPressed)) held += 'A';
    return held.empty() ? "-" : held;
}

void WriteKeyStates(const std::string& end, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return;
    for (;;) {
        const std::string held = HeadModifiers();
        const Text key = ConWaitKey();  // takes the event just looked at
        if (key.Length() == 0) break;   // the terminal is gone
        std::fprintf(file, "%s\t%s\n", Hex(key).c_str(), held.c_str());
        std::fflush(file);
        if (Hex(key) == end) break;
    }
    std::fclose(file);
}

void Run(std::string_view step) {
    const size_t colon = step.find(':');
    const std::string_view name = step.substr(0, colon);
    const std::string argument =
        colon == std::string_view::npos ? "" : Unescape(step.substr(colon + 1));
    if (name == "out") {
        ConWriteStdOut(Text(std::string_view(argument)));
    } else if (name == "cells") {
        ConPrint(Text(std::string_view(argument)));
    } else if (name == "newline") {
        ConNewLine();
    } else if (name == "clear") {
        ConClear();
    } else if (name == "locate") {
        ConLocate(std::atoi(argument.c_str()),
                  std::atoi(argument.c_str() + argument.find(',') + 1));
    } else if (name == "cursor") {
        ConCursor(std::atoi(argument.c_str()));
    } else if (name == "keys") {
        const size_t colon = argument.find(':');
        WriteKeys(std::atoi(argument.c_str()), argument.substr(colon + 1));
    } else if (name == "keystates") {
        const size_t colon = argument.find(':');
        WriteKeyStates(argument.substr(0, colon), argument.substr(colon + 1));
    } else if (name == "mouse") {
        ConMouse(static_cast<int32_t>(7 | kConReportMoves | kConReportDoubleClicks |
                                      kConReportPresses | kConReportReleases));
        ConMouse(INT32_MIN);
    } else if (name == "where") {
        WriteCursor(argument);
    } else if (name == "wait") {
        for (;;)
            pause();  // until a signal ends the process
    }
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetProcessArguments(argc, argv);
    if (!RtPrepareProcess()) platform::ExitProcess(255);
    RtFrameSetup();
    {
        RtErrorFrame errors;
        for (int i = 1; i < argc; ++i)
            Run(argv[i]);
    }
    RtShutdown(0);
}
