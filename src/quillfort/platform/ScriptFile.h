#pragma once

#include <QString>

#include <string>

// Reading and writing a whole briefing script. Failures throw RuntimeError
// with the runtime's number for them (53 file not found, 61 disk full,
// 70 permission denied, 75 path/file access error, 76 path not found, 57 other
// I/O failures).
namespace ScriptFile {

// Replaces the file at path with exactly bytes, atomically: afterwards the
// file is either the old one, untouched, or the complete new one. A pipe,
// device or socket at path is refused (75) and left as it is.
void write(const QString& path, const std::string& bytes);

// The whole file in one read; the file is closed before this returns. Only a
// regular file is read: a pipe, device or socket is refused (75) before it is
// opened, so that a pipe with no writer cannot hold the program.
std::string read(const QString& path);

} // namespace ScriptFile
