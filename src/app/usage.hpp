#pragma once
// What the program answers to --help and --version, ready for standard output.

#include <string>

/// The usage: what the program does, its settings file, the keys and the exit codes.
std::string AppUsageText();

/// The program's name and version on one line.
std::string AppVersionText();
