#include "CliCommands.h"

#include "BriefingJson.h"
#include "QuillfortVersion.h"
#include "check/BriefingCheck.h"
#include "platform/RuntimeError.h"
#include "platform/ScriptFile.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_reader/ScriptLocation.h"
#include "script_writer/BriefingScriptWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <filesystem>
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

QString fromU16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string_view viewOf(const QString& s) {
  return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

void print(std::FILE* stream, const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// The same number and description as the editor's "Open Error" box.
void printError(const QString& file, const RuntimeError& e, std::FILE* stream = stderr) {
  print(stream, QStringLiteral("%1: error: Err # %2 - %3").arg(file).arg(e.number).arg(QString::fromStdString(e.description)));
}

// Reads as the editor's open command does: the same file layer, the same
// passes, the same failures.
ReadScript readScript(const QString& path) {
  ReadScript script;
  script.bytes = ScriptFile::read(path);
  const ScriptHeader header = readScriptHeader(script.bytes);
  if (header.noteCount >= 1)
    script.notes = scanNoteRecords(script.bytes, header.noteCount);
  if (header.taskCount >= 1) {
    script.tasks = scanTaskRecords(script.bytes, header.taskCount);
    if (header.currentTask >= 1 && header.currentTask <= static_cast<int>(script.tasks.size()))
      script.currentIndex = header.currentTask - 1;
  }
  // Any letter but these four keeps the side the window showed before; a
  // freshly started editor shows WEST.
  switch (header.sideLetter) {
  case 'E':
    script.side = QStringLiteral("EAST");
    break;
  case 'R':
    script.side = QStringLiteral("RESISTANCE");
    break;
  case 'C':
    script.side = QStringLiteral("CIVILIAN");
    break;
  default:
    script.side = QStringLiteral("WEST");
  }
  return script;
}

// The snapshot the editor would take of the script just opened; it views the
// script's records and side, which outlive it.
BriefingSnapshot snapshotOf(const ReadScript& script, const std::u16string& side) {
  BriefingSnapshot snapshot;
  snapshot.side = side;
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
  QString shown = fromU16(title);
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
    entry = QStringLiteral(" [%1 %2 \"%3\"]").arg(isTask ? "task" : "note").arg(f.index + 1).arg(shownTitle(record.title));
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
      .arg(place, f.severity == FindingSeverity::Error ? "error" : "warning", QString::fromStdString(f.message), entry);
}

QString counted(std::size_t n, const char* one, const char* many) {
  return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Writes bytes to output: standard output for "-", otherwise atomically
// through the editor's file layer. Returns false after reporting a failure.
bool deliver(const QString& output, const std::string& bytes) {
  if (output == QStringLiteral("-")) {
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    if (!ok)
      print(stderr, QStringLiteral("standard output: error: the output could not be written"));
    return ok;
  }
  try {
    ScriptFile::write(output, bytes);
    return true;
  } catch (const RuntimeError& e) {
    printError(output, e);
    return false;
  }
}

} // namespace

int CliCommands::check(const QStringList& files, bool strict) {
  int status = 0;
  for (const QString& file : files) {
    ReadScript script;
    try {
      script = readScript(file);
    } catch (const RuntimeError& e) {
      printError(file, e, stdout);
      status = 1;
      continue;
    }
    const QString current = script.currentIndex < 0
                                ? QStringLiteral("no current task")
                                : QStringLiteral("current task \"%1\"")
                                      .arg(shownTitle(script.tasks[static_cast<std::size_t>(script.currentIndex)].title));
    print(stdout, QStringLiteral("%1: %2, %3, %4, %5")
                      .arg(file, script.side, counted(script.notes.size(), "note", "notes"),
                           counted(script.tasks.size(), "task", "tasks"), current));

    // Pictures are looked for in the mission folder, the script's own.
    const std::u16string side = script.side.toStdU16String();
    const auto findings =
        checkBriefing(snapshotOf(script, side),
                      picturesInFolder(std::filesystem::path(QFileInfo(file).absolutePath().toStdU16String())));
    for (const BriefingFinding& f : findings)
      print(stdout, findingLine(file, script, f));
    if (strict && !findings.empty())
      status = 1;
  }
  std::fflush(stdout);
  return status;
}

int CliCommands::exportJson(const QString& scriptPath, const QString& output) {
  QByteArray json;
  try {
    const ReadScript script = readScript(scriptPath);
    JsonBriefing briefing;
    briefing.side = script.side;
    for (const auto& [records, entries] : {std::pair{&script.notes, &briefing.notes}, std::pair{&script.tasks, &briefing.tasks}})
      for (const ScriptRecord& r : *records)
        entries->append({fromU16(r.title), fromU16(r.text)});
    if (script.currentIndex >= 0)
      briefing.currentTask = briefing.tasks[script.currentIndex].title;
    json = BriefingJson::write(briefing);
  } catch (const RuntimeError& e) {
    printError(scriptPath, e);
    return 1;
  }
  return deliver(output.isEmpty() ? QStringLiteral("-") : output, json.toStdString()) ? 0 : 1;
}

int CliCommands::build(const QString& jsonPath, const QString& output) {
  std::string script;
  try {
    const std::string bytes = ScriptFile::read(jsonPath);
    const JsonBriefing briefing = BriefingJson::read(QByteArray::fromStdString(bytes));
    // The snapshot views the briefing's strings, which live until the
    // script is composed.
    BriefingSnapshot snapshot;
    snapshot.side = viewOf(briefing.side);
    snapshot.currentTask = viewOf(briefing.currentTask);
    for (const auto& [entries, into] : {std::pair{&briefing.notes, &snapshot.notes}, std::pair{&briefing.tasks, &snapshot.tasks}}) {
      into->reserve(static_cast<std::size_t>(entries->size()));
      for (const JsonBriefing::Entry& e : *entries) {
        BriefingEntry entry;
        entry.title = viewOf(e.title);
        entry.text = viewOf(e.text);
        into->push_back(entry);
      }
    }
    snapshot.versionMajor = kVersionMajor;
    snapshot.versionMinor = kVersionMinor;
    snapshot.versionPatch = kVersionPatch;
    script = composeBriefingScript(snapshot);
  } catch (const RuntimeError& e) {
    printError(jsonPath, e);
    return 1;
  } catch (const JsonError& e) {
    const QString place = e.line > 0 ? QStringLiteral("%1:%2:%3").arg(jsonPath).arg(e.line).arg(e.column) : jsonPath;
    print(stderr, QStringLiteral("%1: error: %2").arg(place, e.message));
    return 1;
  }
  QString target = output;
  if (target.isEmpty()) {
    target = jsonPath;
    if (target.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
      target.chop(5);
    target += QStringLiteral(".sqf");
  }
  return deliver(target, script) ? 0 : 1;
}
