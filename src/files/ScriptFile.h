#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <string>

// Reading and writing a whole briefing script. Failures throw RuntimeError
// with the runtime's number for them (53 file not found, 61 disk full,
// 70 permission denied, 75 path/file access error, 76 path not found, 57 other
// I/O failures).
namespace ScriptFile {

// The largest file read() takes unless told otherwise. The reader never looks
// past byte 32,767, but a longer script still opens (its notes, at least), so
// the limit lies far above anything the editor writes: it is there so that a
// file of gigabytes is refused before anything is allocated for it.
inline constexpr qint64 kMaxScriptSize = qint64(16) << 20;

// What read() does with a pipe, device or socket. The editor refuses them
// before opening them, so that a pipe with no writer cannot hold the window;
// the command line reads them to their end, as command-line programs do
// (standard input named as /dev/stdin, a shell's <(...)).
enum class Streams { Refuse, Read };

// Replaces the file at path with exactly bytes, atomically: afterwards the
// file is either the old one, untouched, or the complete new one. A pipe,
// device or socket at path is refused (75) and left as it is.
void write(const QString& path, const std::string& bytes);

// The whole file in one read; the file is closed before this returns. A file
// of more than maxSize bytes is refused (57) before it is read.
std::string read(const QString& path, qint64 maxSize = kMaxScriptSize, Streams streams = Streams::Refuse);

// Standard input to its end; more than maxSize bytes are refused (57).
std::string readStandardInput(qint64 maxSize);

// A file name as the system hands it over (a command line's argument) and
// back. Where names are bytes, a name need not be valid UTF-8; each byte that
// is no part of a valid UTF-8 sequence is held as the lone surrogate
// U+DC80..U+DCFF, so that the name comes back as the same bytes and the file
// it names can be opened. Valid UTF-8 is decoded as usual.
QString fromLocalBytes(const QByteArray& bytes);
QByteArray localBytes(const QString& name);

// The name the system knows a file by: UTF-16 on Windows, localBytes()
// elsewhere.
std::filesystem::path systemName(const QString& name);

} // namespace ScriptFile
