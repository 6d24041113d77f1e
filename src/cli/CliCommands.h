#pragma once

#include <QString>
#include <QStringList>

// The commands of quillfort-cli. Each prints its results on standard
// output and its errors on standard error, and returns the exit status: 0 done,
// 1 a file could not be read or written (or, with --strict, a finding). A FILE
// to read may be "-", standard input.
namespace CliCommands {

int check(const QStringList& files, bool strict);

// output: a file, or "-" / empty for standard output.
int exportJson(const QString& script, const QString& output);

// output: a file, "-" for standard output, empty for the input's name with
// ".sqf" in place of ".json" (standard output when the input is "-").
// strict: a script too large to be opened again in full is not written.
// encoding: "utf-8" or "ansi" overrides the JSON's; empty keeps it.
int build(const QString& json, const QString& output, bool strict, const QString& encoding);

// One script from the scripts' briefings, every side of each: output (a file,
// or "-" for standard output) is written only when every script reads, no
// side comes from two of them (both are named) and the editor can open the
// result again in full.
int merge(const QStringList& scripts, const QString& output);

// The briefing of a hand-written script (not Quillfort's): its script into
// output (a file, or "-" / empty for standard output), or with json its JSON
// on standard output; every statement left out is reported on standard error
// at its line and column. strict: anything left out is an error, and nothing
// is written.
int import(const QString& script, const QString& output, bool json, bool strict);

} // namespace CliCommands
