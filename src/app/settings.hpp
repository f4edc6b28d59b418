#pragma once
// The settings file VIRODARO.CFG: two lines, the X offset and the Y offset, each ended by
// CR LF, in the directory the program started in.

#include <cstdint>

#include "app/run_fault.hpp"
#include "runtime/text.hpp"

/// The settings file's full path: the start directory, the platform's separator and
/// "VIRODARO.CFG".
Text AppSettingsPath(const Text& startDir);

/// The existence test behind the exported EXIST: -1 when a directory search for the path
/// (which may hold "*" and "?") finds an ordinary or read-only file or a directory, 0
/// otherwise, hidden and system entries included. The empty path asks the calling thread's
/// running search for its next such entry. Errors stay inside: a path that cannot be
/// searched gives 0.
int32_t AppExist(const Text& path);

/// Reads the two offsets from VIRODARO.CFG in the current directory. A missing line leaves
/// its text empty and records an error for the run; the first failure is noted in `fault`
/// (unless one was noted before).
void AppReadSettings(Text& xText, Text& yText, AppFault& fault);

/// Saves the two offsets to VIRODARO.CFG in the start directory and reports it on standard
/// output with a blank line and " ....Saved VIRODARO.CFG File.", or " ....VIRODARO.CFG File
/// was not saved." when any step failed. The new content is written in full under a
/// temporary name, flushed to the disk and then put in place of the old file in one step,
/// so a failure (a full disk, a read-only file, a crash) leaves the old file as it was and
/// no temporary file behind. Errors are recorded for the run.
void AppSaveSettings(const Text& startDir, const Text& xText, const Text& yText);
