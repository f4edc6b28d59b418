#pragma once
// The process's current directory.

#include "runtime/text.hpp"

/// The current directory, whole however long, as the OS gives it. With a drive text, the
/// current directory of the drive named by its first byte (the process's own current
/// directory is put back). A failing OS call raises its mapped error and gives the empty
/// text.
Text SysCurDir(const Text& drive);

/// Makes the directory current. Errors: 76 for an empty path, a wildcard or a missing
/// directory, 64 for a path the OS cannot take whole, otherwise the mapped OS error.
void SysChDir(const Text& path);
