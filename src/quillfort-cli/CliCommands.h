#pragma once

#include <QString>
#include <QStringList>

// The three commands of quillfort-cli. Each prints its report and returns the
// exit status: 0 done, 1 a file could not be read or written (or, for check
// --strict, a finding).
namespace CliCommands {

int check(const QStringList& files, bool strict);

// output: a file, or "-" / empty for standard output.
int exportJson(const QString& script, const QString& output);

// output: a file, "-" for standard output, empty for the input's name with
// ".sqf" in place of ".json".
int build(const QString& json, const QString& output);

} // namespace CliCommands
