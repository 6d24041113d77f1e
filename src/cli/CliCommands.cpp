#include "cli/CliCommands.h"

#include "cli/BriefingJson.h"
#include "QuillfortVersion.h"
#include "core/check/BriefingCheck.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"
#include "core/format/Sides.h"
#include "core/system/RuntimeError.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/reader/ScriptLocation.h"
#include "core/writer/BriefingScriptWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// One side's briefing as the script holds it, with the records' places kept.
struct ReadSide {
  std::size_t side = 0; // an index into kSides
  std::vector<ScriptRecord> notes;
  std::vector<ScriptRecord> tasks;
  int currentIndex = -1; // the current task's list position, -1 for none
};

// A script as the open command reads it: every side's briefing, in the
// script's block order.
struct ReadScript {
  std::string bytes;
  std::vector<ReadSide> sides; // one for a script of one side
  bool several = false;        // the third line names the sides (the game master's alone included)
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

// The list position of the task a header numbers (1-based), -1 for none; a
// number beyond the tasks names none.
int currentIndexOf(int number, const std::vector<ScriptRecord>& tasks) {
  return number >= 1 && number <= static_cast<int>(tasks.size()) ? number - 1 : -1;
}

// Reads as the editor's open command does: the same file layer, the same
// passes, the same failures.
ReadScript readScript(const QString& path) {
  ReadScript script;
  script.bytes = readInput(path, ScriptFile::kMaxScriptSize);
  const ScriptHeader header = readScriptHeader(script.bytes);
  ReadSide first;
  if (header.noteCount >= 1)
    first.notes = scanNoteRecords(script.bytes, header.noteCount);
  if (header.taskCount >= 1) {
    first.tasks = scanTaskRecords(script.bytes, header.taskCount);
    first.currentIndex = currentIndexOf(header.currentTask, first.tasks);
  }
  // Any letter but the four playable sides' keeps the side the window showed
  // before; a freshly started editor shows WEST. A script of several sides
  // names its first side, the game master's too, in its third line.
  const std::vector<ScriptSideCounts> sides = readScriptSides(script.bytes);
  first.side = sides.empty() ? playableSideByLetter(header.sideLetter) : sides.front().side;
  if (first.side == kNoSide)
    first.side = 0;
  script.sides.push_back(std::move(first));
  script.several = !sides.empty();
  if (sides.size() > 1)
    for (ScriptSideRecords& other : readOtherSides(script.bytes, sides)) {
      const int current = currentIndexOf(other.currentTask, other.tasks);
      script.sides.push_back({other.side, std::move(other.notes), std::move(other.tasks), current});
    }
  return script;
}

QString wordOf(std::size_t side) { return toQString(kSides[side].word); }

// Each side's briefing as the JSON carries it.
QList<JsonBriefing> briefingsOf(const ReadScript& script) {
  QList<JsonBriefing> briefings;
  for (const ReadSide& side : script.sides) {
    JsonBriefing& briefing = briefings.emplace_back();
    briefing.side = wordOf(side.side);
    for (const auto& [records, entries] :
         {std::pair{&side.notes, &briefing.notes}, std::pair{&side.tasks, &briefing.tasks}})
      for (const ScriptRecord& r : *records)
        entries->append({toQString(r.title), toQString(r.text)});
    if (side.currentIndex >= 0)
      briefing.currentTask = briefing.tasks[side.currentIndex].title;
  }
  return briefings;
}

// The snapshot the editor would take of these briefings, the first of them in
// the window; it views their strings, which outlive it.
BriefingSnapshot snapshotOf(const QList<JsonBriefing>& briefings) {
  BriefingSnapshot snapshot;
  for (qsizetype i = 0; i < briefings.size(); ++i) {
    const JsonBriefing& briefing = briefings[i];
    SideBriefing side{u16View(briefing.side), {}, {}, u16View(briefing.currentTask)};
    for (const auto& [entries, into] :
         {std::pair{&briefing.notes, &side.notes}, std::pair{&briefing.tasks, &side.tasks}}) {
      into->reserve(static_cast<std::size_t>(entries->size()));
      for (const JsonBriefing::Entry& e : *entries)
        into->push_back({u16View(e.title), u16View(e.text)});
    }
    if (i > 0) {
      snapshot.otherSides.push_back(std::move(side));
      continue;
    }
    snapshot.side = side.side;
    snapshot.notes = std::move(side.notes);
    snapshot.tasks = std::move(side.tasks);
    snapshot.currentTask = side.currentTask;
  }
  snapshot.versionMajor = kVersionMajor;
  snapshot.versionMinor = kVersionMinor;
  snapshot.versionPatch = kVersionPatch;
  return snapshot;
}

// A title on the report's one line: a lone CR or LF (only a hand-edited
// script holds one) shows as ␍ or ␊, as in the JSON.
QString shownTitle(const std::u16string& title) {
  QString shown = toQString(title);
  shown.replace(u'\r', QChar(0x240D));
  shown.replace(u'\n', QChar(0x240A));
  return shown;
}

// The side a finding is about: the one it names, or where it names none, the
// side the script of one side is written from (the first holding entries).
const ReadSide& sideOf(const ReadScript& script, const BriefingFinding& f) {
  const auto named = [&](const ReadSide& side) {
    return f.side.empty() ? !side.notes.empty() || !side.tasks.empty() : kSides[side.side].word == f.side;
  };
  const auto it = std::find_if(script.sides.cbegin(), script.sides.cend(), named);
  return it == script.sides.cend() ? script.sides.front() : *it;
}

// A finding as compilers print theirs: the place in the script where its
// record's title or text has the fault, then what the fault is, then which
// entry, after its side's name where the script holds several. A finding
// about the whole briefing has no place.
QString findingLine(const QString& file, const ReadScript& script, const BriefingFinding& f) {
  QString place = file;
  const ReadSide& side = sideOf(script, f);
  const bool isTask = f.list == FindingList::Tasks;
  const auto& records = isTask ? side.tasks : side.notes;
  QString entry = f.side.empty() ? QString() : toQString(f.side);
  if (f.list != FindingList::Briefing && f.index >= 0 && std::size_t(f.index) < records.size()) {
    const ScriptRecord& record = records[static_cast<std::size_t>(f.index)];
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
          offsetInField(script.bytes, isText ? record.textStart : record.titleStart, index, isText);
      const ScriptLocation at = locationOf(script.bytes, offset);
      place += QStringLiteral(":%1:%2").arg(at.line).arg(at.column);
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
QString summaryOf(const ReadSide& side) {
  const QString current =
      side.currentIndex < 0
          ? QStringLiteral("no current task")
          : QStringLiteral("current task \"%1\"")
                .arg(shownTitle(side.tasks[static_cast<std::size_t>(side.currentIndex)].title));
  return QStringLiteral("%1, %2, %3, %4")
      .arg(wordOf(side.side), counted(side.notes.size(), "note", "notes"),
           counted(side.tasks.size(), "task", "tasks"), current);
}

// A script the editor cannot open again in full: says so about name, as an
// error or a warning, and returns true.
bool reportedTooLarge(const QString& name, const BriefingSnapshot& snapshot, const std::string& script,
                      bool error) {
  bool tooLarge = false;
  if (script.size() > kMaxReadableScriptSize)
    for (const BriefingFinding& f : checkBriefing(snapshot))
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
      const ReadScript script = readScript(file);
      QStringList sides;
      for (const ReadSide& side : script.sides)
        sides << summaryOf(side);
      print(stdout, shownName(file) + ": " + sides.join(QStringLiteral("; ")));

      // Pictures are looked for in the mission folder, the script's own.
      const QList<JsonBriefing> briefings = briefingsOf(script);
      const auto findings = checkBriefing(
          snapshotOf(briefings), picturesInFolder(ScriptFile::systemName(QFileInfo(file).absolutePath())));
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
  const bool done = reported(scriptPath, [&] {
    const ReadScript script = readScript(scriptPath);
    const QList<JsonBriefing> briefings = briefingsOf(script);
    json = script.several ? BriefingJson::write(briefings) : BriefingJson::write(briefings.front());
  });
  return done && deliver(output.isEmpty() ? kStandardStream : output, json.toStdString()) ? 0 : 1;
}

int CliCommands::build(const QString& jsonPath, const QString& output, bool strict) {
  std::string script;
  bool tooLarge = false;
  const bool done = reported(jsonPath, [&] {
    const std::string bytes = readInput(jsonPath, BriefingJson::kMaxSize);
    const QList<JsonBriefing> briefings = BriefingJson::read(QByteArray::fromStdString(bytes));
    const BriefingSnapshot snapshot = snapshotOf(briefings);
    script = composeBriefingScript(snapshot);
    // A script the editor cannot open again in full is written, as the
    // editor saves it, but not without a word; with --strict, not at all.
    tooLarge = reportedTooLarge(shownName(jsonPath), snapshot, script, strict);
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
  // Every side of every script, and the file each came from.
  QList<JsonBriefing> briefings;
  QStringList from;
  bool failed = false;
  for (const QString& file : files) {
    const bool done = reported(file, [&] {
      for (const JsonBriefing& briefing : briefingsOf(readScript(file))) {
        const qsizetype first = std::find_if(briefings.cbegin(), briefings.cend(),
                                             [&](const JsonBriefing& b) { return b.side == briefing.side; }) -
                                briefings.cbegin();
        if (first < briefings.size()) {
          print(stderr,
                QStringLiteral("%1: error: %2 and %1 both hold a briefing for %3; merge takes each side "
                               "from one file")
                    .arg(shownName(file), shownName(from[first]), briefing.side));
          failed = true;
          continue;
        }
        briefings.append(briefing);
        from.append(file);
      }
    });
    failed = failed || !done;
  }
  if (failed)
    return 1;
  // A merged script that the editor could not open again in full would lose
  // sides there: it is not written.
  const QString target = output == kStandardStream ? QStringLiteral("standard output") : output;
  std::string script;
  bool tooLarge = false;
  const bool done = reported(target, [&] {
    const BriefingSnapshot snapshot = snapshotOf(briefings);
    script = composeBriefingScript(snapshot);
    tooLarge = reportedTooLarge(target, snapshot, script, true);
  });
  return done && !tooLarge && deliver(output, script) ? 0 : 1;
}
