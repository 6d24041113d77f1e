#include "CliCommands.h"

#include "BriefingJson.h"
#include "QuillfortVersion.h"
#include "check/BriefingCheck.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"
#include "format/Sides.h"
#include "platform/RuntimeError.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_reader/ScriptLocation.h"
#include "script_writer/BriefingScriptWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A script as the open command reads it, with the records' places kept.
struct ReadScript {
  std::string bytes;
  QString side;
  std::vector<ScriptRecord> notes;
  std::vector<ScriptRecord> tasks;
  int currentIndex = -1; // the current task's list position, -1 for none
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
// passes, the same failures.
ReadScript readScript(const QString& path) {
  ReadScript script;
  script.bytes = readInput(path, ScriptFile::kMaxScriptSize);
  const ScriptHeader header = readScriptHeader(script.bytes);
  if (header.noteCount >= 1)
    script.notes = scanNoteRecords(script.bytes, header.noteCount);
  if (header.taskCount >= 1) {
    script.tasks = scanTaskRecords(script.bytes, header.taskCount);
    if (header.currentTask >= 1 && header.currentTask <= static_cast<int>(script.tasks.size()))
      script.currentIndex = header.currentTask - 1;
  }
  // Any letter but the four playable sides' keeps the side the window showed
  // before; a freshly started editor shows WEST.
  const std::size_t side = playableSideByLetter(header.sideLetter);
  script.side = toQString(kSides[side == kNoSide ? 0 : side].word);
  return script;
}

// The snapshot the editor would take of the script just opened; it views the
// script's records and side, which outlive it.
BriefingSnapshot snapshotOf(const ReadScript& script) {
  BriefingSnapshot snapshot;
  snapshot.side = u16View(script.side);
  for (const auto& [records, into] :
       {std::pair{&script.notes, &snapshot.notes}, std::pair{&script.tasks, &snapshot.tasks}}) {
    into->reserve(records->size());
    for (const ScriptRecord& r : *records) {
      BriefingEntry entry;
      entry.title = r.title;
      entry.text = r.text;
      into->push_back(entry);
    }
  }
  if (script.currentIndex >= 0)
    snapshot.currentTask = script.tasks[static_cast<std::size_t>(script.currentIndex)].title;
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

// A finding as compilers print theirs: the place in the script where its
// record's title or text has the fault, then what the fault is, then which
// entry. A finding about the whole briefing has no place.
QString findingLine(const QString& file, const ReadScript& script, const BriefingFinding& f) {
  QString place = file;
  QString entry;
  if (f.list != FindingList::Briefing && f.index >= 0) {
    const bool isTask = f.list == FindingList::Tasks;
    const ScriptRecord& record = (isTask ? script.tasks : script.notes)[static_cast<std::size_t>(f.index)];
    entry = QStringLiteral(" [%1 %2 \"%3\"]")
                .arg(isTask ? "task" : "note")
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
           QString::fromStdString(f.message), entry);
}

QString counted(std::size_t n, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
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
      const QString current =
          script.currentIndex < 0
              ? QStringLiteral("no current task")
              : QStringLiteral("current task \"%1\"")
                    .arg(shownTitle(script.tasks[static_cast<std::size_t>(script.currentIndex)].title));
      print(stdout, QStringLiteral("%1: %2, %3, %4, %5")
                        .arg(shownName(file), script.side, counted(script.notes.size(), "note", "notes"),
                             counted(script.tasks.size(), "task", "tasks"), current));

      // Pictures are looked for in the mission folder, the script's own.
      const auto findings = checkBriefing(
          snapshotOf(script), picturesInFolder(ScriptFile::systemName(QFileInfo(file).absolutePath())));
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
    JsonBriefing briefing;
    briefing.side = script.side;
    for (const auto& [records, entries] :
         {std::pair{&script.notes, &briefing.notes}, std::pair{&script.tasks, &briefing.tasks}})
      for (const ScriptRecord& r : *records)
        entries->append({toQString(r.title), toQString(r.text)});
    if (script.currentIndex >= 0)
      briefing.currentTask = briefing.tasks[script.currentIndex].title;
    json = BriefingJson::write(briefing);
  });
  return done && deliver(output.isEmpty() ? kStandardStream : output, json.toStdString()) ? 0 : 1;
}

int CliCommands::build(const QString& jsonPath, const QString& output, bool strict) {
  std::string script;
  bool tooLarge = false;
  const bool done = reported(jsonPath, [&] {
    const std::string bytes = readInput(jsonPath, BriefingJson::kMaxSize);
    const JsonBriefing briefing = BriefingJson::read(QByteArray::fromStdString(bytes));
    // The snapshot views the briefing's strings, which live until the
    // script is composed.
    BriefingSnapshot snapshot;
    snapshot.side = u16View(briefing.side);
    snapshot.currentTask = u16View(briefing.currentTask);
    for (const auto& [entries, into] :
         {std::pair{&briefing.notes, &snapshot.notes}, std::pair{&briefing.tasks, &snapshot.tasks}}) {
      into->reserve(static_cast<std::size_t>(entries->size()));
      for (const JsonBriefing::Entry& e : *entries) {
        BriefingEntry entry;
        entry.title = u16View(e.title);
        entry.text = u16View(e.text);
        into->push_back(entry);
      }
    }
    snapshot.versionMajor = kVersionMajor;
    snapshot.versionMinor = kVersionMinor;
    snapshot.versionPatch = kVersionPatch;
    script = composeBriefingScript(snapshot);
    // A script the editor cannot open again in full is written, as the
    // editor saves it, but not without a word; with --strict, not at all.
    if (script.size() > kMaxReadableScriptSize)
      for (const BriefingFinding& f : checkBriefing(snapshot))
        if (f.kind == FindingKind::ScriptTooLarge) {
          print(stderr, QStringLiteral("%1: %2: %3")
                            .arg(shownName(jsonPath), strict ? "error" : "warning",
                                 QString::fromStdString(f.message)));
          tooLarge = true;
        }
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
