#pragma once
// GNU's standard options, --help and --version, where the platform's users expect every
// command-line program to answer them. They are answered before start-up touches the
// console, the printer or the settings file.

#include <cstdint>
#include <optional>
#include <string_view>

/// What a command tail asks of the program itself.
enum class RtStandardOption { kNone, kHelp, kVersion };

/// "--help" or "--version" exactly, as the only argument; any other tail (another spelling,
/// a second argument, a quoted or padded option) asks for neither.
RtStandardOption RtReadStandardOption(std::string_view commandTail);

/// Where the platform's users expect the standard options and the command tail asks for
/// one, writes its text to standard output and gives the exit code: 0, or 255 when standard
/// output did not take the text. Nothing otherwise, so the run goes on as usual.
std::optional<uint32_t> RtAnswerStandardOption(std::string_view commandTail);
