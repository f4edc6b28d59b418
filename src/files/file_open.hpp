#pragma once
// Numbered files: opening, closing and flushing.

#include <cstdint>

#include "files/file_table.hpp"
#include "runtime/text.hpp"

/// Opens the named file under a file number. The mode word says what for (input, output,
/// append), with which access and which sharing; output empties an existing disk file and
/// input reads the first record-length bytes ahead. Errors: 64 for an empty name, a
/// wildcard or a name the OS cannot take whole, 52 for a negative number, 5 for a record
/// length below 1 (output and append use 1), 55 for a number already open, 7 without
/// memory, 54 for append on a file that is not a disk file, and the mapped OS error of a
/// failing call. After a failure the number stays free.
void FileOpen(int16_t number, const Text& name, FileModeWord modeWord, int32_t recordLength);

/// Opens a file that the call makes, as FileOpen does otherwise: anything that stands at the
/// name already (a file, a directory, a link, even one that leads nowhere) makes it fail
/// with the mapped OS error (75), so a file someone else put there is never written.
void FileCreate(int16_t number, const Text& name, FileModeWord modeWord, int32_t recordLength);

/// Whether the open file is a disk file (a regular file), not a device or a pipe; false
/// when the number is not open.
bool FileIsDisk(int16_t number);

/// Closes the file if it is open; an output disk file ends at the OS file position. The
/// number is free afterwards even when the OS reports a failure, which is then raised.
void FileClose(int16_t number);

/// Waits until what was written to the file is on the disk. Errors: 52 when the number is
/// not open, the mapped OS error of a failing flush.
void FileFlush(int16_t number);
