#pragma once
// Sequential text records on numbered files: one record per line, ended by CR LF.

#include <cstdint>

#include "files/file_table.hpp"
#include "runtime/text.hpp"

/// Writes the bytes of the text with one OS write, unbuffered. The empty text writes nothing
/// and is not checked against the mode. Errors: 52 when the number is not open, 54 when the
/// file is not open for output or append, 61 (disk file) or 57 (other file) for a short
/// write, the mapped OS error of a failing write.
void FileWriteText(int16_t number, const Text& text);

/// Writes CR LF with one OS write, with the errors of FileWriteText.
void FileWriteLineEnd(int16_t number);

/// Reads the next line, without its terminator. A line ends at CR (a directly following LF
/// is consumed on a disk file), at Ctrl-Z (left unread on a disk file, so every later read
/// meets it) or at the end of the file; a lone LF is data. Errors, each with the empty text:
/// 52 when not open, 54 when not open for input, 62 at the end of the file or a Ctrl-Z
/// before any byte of the line, 7 for a line longer than memory allows, the mapped OS error
/// of a failing read.
Text FileReadLine(int16_t number);

/// What FileFill found.
enum class FileFillResult { kBytesReady, kEndOfFile, kFailed };

/// Makes the record's buffer hold unread bytes. A disk file keeps bytes already read when its
/// lock value is 1 or 2; with any other lock value (other processes may write the file) it
/// reads the buffer anew from the next unread offset at every call. Another kind of file
/// reads one byte per call. A failure raises its error and empties the buffer.
FileFillResult FileFill(FileRecord& record);
