#include "cli/CliCommands.h"

#include "cli/BriefingJson.h"
#include "core/check/BriefingCheck.h"
#include "core/import/BriefingImport.h"
#include "core/text/AnsiCodec.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/reader/ScriptLocation.h"
#include "core/system/RuntimeError.h"
#include "core/writer/BriefingScriptWriter.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A script as the open command reads it: every side's briefing, in the
// script's block order, and where each record stands.
struct Script {
  std::string bytes;
  ReadScript read;
};

// File names go out as the bytes they came in as, valid UTF-8 or not.
void print(std::FILE* stream, const QString& line) {
  const QByteArray bytes = ScriptFile::localBytes(line) + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// "-" stands for standard input, and is called so in messages.
const QString kStandardStream = QStringLiteral("-");

QString shownName(const QString& file) {
  return file == kStandardStream ? QStringLiteral("standard input") : file;
}

// The same number and description as the editor's "Open Error" box.
void printError(const QString& file, int number, const QString& description) {
  print(stderr, QStringLiteral("%1: error: Err # %2 - %3").arg(shownName(file)).arg(number).arg(description));
}

// Runs work, and reports its failure about file as the editor's commands
// report theirs, running out of memory included; the program goes on.
// Returns false after a failure.
template <class Work> bool reported(const QString& file, Work&& work) {
  try {
    work();
    return true;
  } catch (const RuntimeError& e) {
    printError(file, e.number, QString::fromStdString(e.description));
  } catch (const JsonError& e) {
    const QString name = shownName(file);
    const QString place = e.line > 0 ? QStringLiteral("%1:%2:%3").arg(name).arg(e.line).arg(e.column) : name;
    print(stderr, QStringLiteral("%1: error: %2").arg(place, e.message));
  } catch (const std::bad_alloc&) {
    printError(file, 7, QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    // As in the editor: a failure the program does not raise itself.
    printError(file, 51, QStringLiteral("Internal error: ") + QString::fromUtf8(e.what()));
  }
  return false;
}

// A file's bytes, or standard input's for "-". A pipe or device is read as
// well: here nobody waits on a window.
std::string readInput(const QString& file, qint64 maxSize) {
  return file == kStandardStream ? ScriptFile::readStandardInput(maxSize)
                                 : ScriptFile::read(file, maxSize, ScriptFile::Streams::Read);
}

// Reads as the editor's open command does: the same file layer, the same
// reader, the same failures. A first line that names no playable side is
// for WEST, the side a freshly started editor shows.
Script readScript(const QString& path) {
  Script script;
  script.bytes = readInput(path, ScriptFile::kMaxScriptSize);
  script.read = readBriefingScript(script.bytes, Side::West);
  return script;
}

QString wordOf(Side side) { return toQString(infoOf(side).word); }

QString encodingName(Encoding encoding) {
  return encoding == Encoding::Utf8 ? QStringLiteral("UTF-8")
                                    : QStringLiteral("ANSI, ") + QString::fromStdString(AnsiCodec::codePageName());
}

// A title on the report's one line: a lone CR or LF (only a hand-edited
// script holds one) shows as ␍ or ␊, as in the JSON.
QString shownTitle(const std::u16string& title) {
  QString shown = toQString(title);
  shown.replace(u'\r', QChar(0x240D));
  shown.replace(u'\n', QChar(0x240A));
  return shown;
}

// The side a finding is about, as a position among the script's: the one it
// names, or where it names none, the one side that holds entries (a script
// of one side).
std::size_t sideOf(const Script& script, const BriefingFinding& f) {
  const auto& sides = script.read.briefing.sides;
  for (std::size_t i = 0; i < sides.size(); ++i)
    if (f.side ? sides[i].side == *f.side : sides[i].holdsEntries())
      return i;
  return 0;
}

// A finding as compilers print theirs: the place in the script where its
// record's title or text has the fault, then what the fault is, then which
// entry, after its side's name where the script holds several. A finding
// about the whole briefing has no place.
QString findingLine(const QString& file, const Script& script, const BriefingFinding& f) {
  QString place = file;
  if (f.field == FindingField::Script)
    return QStringLiteral("%1:%2:%3: warning: %4").arg(file).arg(f.line).arg(f.column).arg(QString::fromStdString(f.message));
  const std::size_t at = sideOf(script, f);
  const SideBriefing& side = script.read.briefing.sides[at];
  const SidePlaces& places = script.read.places[at];
  const bool isTask = f.list == FindingList::Tasks;
  const auto& records = isTask ? side.tasks : side.notes;
  QString entry = f.side ? wordOf(*f.side) : QString();
  if (f.list != FindingList::Briefing && f.index >= 0 && std::size_t(f.index) < records.size()) {
    const BriefingEntry& record = records[static_cast<std::size_t>(f.index)];
    const RecordPlace& recordAt = (isTask ? places.tasks : places.notes)[static_cast<std::size_t>(f.index)];
    entry += QStringLiteral("%1%2 %3 \"%4\"")
                 .arg(entry.isEmpty() ? "" : " ", isTask ? "task" : "note")
                 .arg(f.index + 1)
                 .arg(shownTitle(record.title));
    if (f.field != FindingField::None) {
      const bool isText = f.field == FindingField::Text;
      // The finding's line and column count in the field as the editor shows
      // it (lines end at CR LF); find that character, then its byte.
      const std::u16string& field = isText ? record.text : record.title;
      std::size_t index = 0;
      for (int line = 1; line < f.line && index < field.size(); ++index)
        if (field[index] == u'\r' && index + 1 < field.size() && field[index + 1] == u'\n') {
          ++line;
          ++index;
        }
      index += static_cast<std::size_t>(std::max(f.column, 1) - 1);
      const std::size_t offset =
          offsetInField(script.bytes, isText ? recordAt.text : recordAt.title, index, isText);
      const ScriptLocation location = locationOf(script.bytes, offset);
      place += QStringLiteral(":%1:%2").arg(location.line).arg(location.column);
    }
  }
  return QStringLiteral("%1: %2: %3%4")
      .arg(place, f.severity == FindingSeverity::Error ? "error" : "warning",
           QString::fromStdString(f.message), entry.isEmpty() ? entry : " [" + entry + ']');
}

QString counted(std::size_t n, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// A side's line of the report: its side, counts and current task.
QString summaryOf(const SideBriefing& side) {
  const QString current = side.currentTask.empty()
                              ? QStringLiteral("no current task")
                              : QStringLiteral("current task \"%1\"").arg(shownTitle(side.currentTask));
  return QStringLiteral("%1, %2, %3, %4")
      .arg(wordOf(side.side), counted(side.notes.size(), "note", "notes"),
           counted(side.tasks.size(), "task", "tasks"), current);
}

// A script of one side that the editor cannot open again in full: says so
// about name, as an error or a warning, and returns true. (A script of
// several sides is refused by the writer.)
bool reportedTooLarge(const QString& name, const Briefing& briefing, const std::string& script, bool error) {
  bool tooLarge = false;
  if (script.size() > kLastReadablePosition)
    for (const BriefingFinding& f : checkBriefing(briefing))
      if (f.kind == FindingKind::ScriptTooLarge) {
        print(stderr, QStringLiteral("%1: %2: %3")
                          .arg(name, error ? "error" : "warning", QString::fromStdString(f.message)));
        tooLarge = true;
      }
  return tooLarge;
}

// Writes bytes to output: standard output for "-", otherwise atomically
// through the editor's file layer. Returns false after reporting a failure.
bool deliver(const QString& output, const std::string& bytes) {
  if (output == kStandardStream) {
    const bool ok =
        std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    if (!ok)
      print(stderr, QStringLiteral("standard output: error: the output could not be written"));
    return ok;
  }
  return reported(output, [&] { ScriptFile::write(output, bytes); });
}

} // namespace

int CliCommands::check(const QStringList& files, bool strict) {
  int status = 0;
  for (const QString& file : files) {
    const bool done = reported(file, [&] {
      const Script script = readScript(file);
      QStringList sides;
      for (const SideBriefing& side : script.read.briefing.sides)
        sides << summaryOf(side);
      print(stdout, shownName(file) + ": " + sides.join(QStringLiteral("; ")) + " (" +
                        encodingName(script.read.briefing.encoding) + ')');

      // Pictures are looked for in the mission folder, the script's own.
      auto findings = checkBriefing(script.read.briefing,
                                    picturesInFolder(ScriptFile::systemName(QFileInfo(file).absolutePath())));
      if (const auto asWritten = checkAsWritten(script.bytes, script.read.briefing))
        findings.insert(findings.begin(), *asWritten);
      for (const BriefingFinding& f : findings)
        print(stdout, findingLine(shownName(file), script, f));
      if (strict && !findings.empty())
        status = 1;
    });
    if (!done)
      status = 1;
  }
  // A report that did not arrive must not pass for a clean one.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    print(stderr, QStringLiteral("standard output: error: the report could not be written"));
    status = 1;
  }
  return status;
}

int CliCommands::exportJson(const QString& scriptPath, const QString& output) {
  QByteArray json;
  const bool done = reported(scriptPath, [&] { json = BriefingJson::write(readScript(scriptPath).read.briefing); });
  return done && deliver(output.isEmpty() ? kStandardStream : output, json.toStdString()) ? 0 : 1;
}

int CliCommands::build(const QString& jsonPath, const QString& output, bool strict, const QString& encoding) {
  std::string script;
  bool tooLarge = false;
  const bool done = reported(jsonPath, [&] {
    const std::string bytes = readInput(jsonPath, BriefingJson::kMaxSize);
    Briefing briefing = BriefingJson::read(QByteArray::fromStdString(bytes));
    if (!encoding.isEmpty())
      briefing.encoding = encoding == QStringLiteral("ansi") ? Encoding::Ansi : Encoding::Utf8;
    script = composeBriefingScript(briefing);
    // A script the editor cannot open again in full is written, as the
    // editor saves it, but not without a word; with --strict, not at all.
    tooLarge = reportedTooLarge(shownName(jsonPath), briefing, script, strict);
  });
  if (!done || (tooLarge && strict))
    return 1;
  QString target = output;
  if (target.isEmpty() && jsonPath == kStandardStream) {
    target = kStandardStream;
  } else if (target.isEmpty()) {
    target = jsonPath;
    if (target.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
      target.chop(5);
    target += QStringLiteral(".sqf");
  }
  return deliver(target, script) ? 0 : 1;
}

int CliCommands::merge(const QStringList& files, const QString& output) {
  // Every side of every script, and the file each came from. Scripts of one
  // encoding merge into that encoding; of both, into UTF-8, which holds
  // every character of either.
  Briefing merged;
  QStringList from;
  bool failed = false;
  for (const QString& file : files) {
    const bool done = reported(file, [&] {
      const Briefing briefing = readScript(file).read.briefing;
      merged.encoding = from.isEmpty() || merged.encoding == briefing.encoding ? briefing.encoding : Encoding::Utf8;
      for (const SideBriefing& side : briefing.sides) {
        const auto first = std::find_if(merged.sides.cbegin(), merged.sides.cend(),
                                        [&](const SideBriefing& b) { return b.side == side.side; });
        if (first != merged.sides.cend()) {
          print(stderr,
                QStringLiteral("%1: error: %2 and %1 both hold a briefing for %3; merge takes each side "
                               "from one file")
                    .arg(shownName(file), shownName(from[first - merged.sides.cbegin()]), wordOf(side.side)));
          failed = true;
          continue;
        }
        merged.sides.push_back(side);
        from.append(file);
      }
    });
    failed = failed || !done;
  }
  if (failed)
    return 1;
  // The writer refuses a script of several sides that the editor could not
  // open again in full, which would lose sides there.
  std::string script;
  const bool done = reported(output == kStandardStream ? QStringLiteral("standard output") : output,
                             [&] { script = composeBriefingScript(merged); });
  return done && deliver(output, script) ? 0 : 1;
}

int CliCommands::import(const QString& scriptPath, const QString& output, bool json, bool strict) {
  QByteArray out;
  std::size_t leftOut = 0;
  const bool done = reported(scriptPath, [&] {
    const Imported imported = importBriefing(readInput(scriptPath, ScriptFile::kMaxScriptSize), Side::West);
    for (const LeftOut& l : imported.leftOut)
      print(stderr, QStringLiteral("%1:%2:%3: left out: %4")
                        .arg(shownName(scriptPath))
                        .arg(l.line)
                        .arg(l.column)
                        .arg(QString::fromStdString(l.why)));
    leftOut = imported.leftOut.size();
    out = json ? BriefingJson::write(imported.briefing)
               : QByteArray::fromStdString(composeBriefingScript(imported.briefing));
  });
  if (!done || (strict && leftOut > 0))
    return 1;
  return deliver(output.isEmpty() || json ? kStandardStream : output, out.toStdString()) ? 0 : 1;
}
