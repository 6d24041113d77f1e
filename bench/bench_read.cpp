// Reading the largest script the reader accepts, against a memcpy of the same
// bytes, and the open command through the window against a plain file read.
#include "BenchUtil.h"

#include "editor/frmBriefing.h"
#include "platform/Dialogs.h"
#include "script_reader/BriefingScriptReader.h"
#include "script_writer/BriefingScriptWriter.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kLimit = 32767; // the reader's 16-bit positions

// The open dialog answers with one path; any other question is a failure.
struct OpenDialogs final : Dialogs {
  QString path;
  int errors = 0;
  int messageBox(const QString& prompt, int, const QString&) override {
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(prompt));
    ++errors;
    return MsgAnswer::OK;
  }
  std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> showOpen(const FileDialogSettings&) override { return path; }
  std::optional<QString> showSave(const FileDialogSettings&) override { return {}; }
};

std::u16string title(char16_t kind, int i) {
  const std::string digits = std::to_string(i);
  return kind + std::u16string(digits.begin(), digits.end());
}

// Titles and texts as owned strings, and the snapshot of views over them.
struct Entries {
  std::vector<std::pair<std::u16string, std::u16string>> notes, tasks;
  std::size_t taskCount = 0; // the first tasks that go into the script

  std::string compose() const {
    BriefingSnapshot s;
    s.side = u"EAST";
    s.versionMajor = 1;
    for (const auto& [t, x] : notes)
      s.notes.push_back({t, x});
    for (std::size_t i = 0; i < taskCount; ++i)
      s.tasks.push_back({tasks[i].first, tasks[i].second});
    s.currentTask = tasks.front().first;
    return composeBriefingScript(s);
  }
};

// 255 notes and as many tasks as fit (255 do not: the records alone would pass
// byte 32767), their texts filling the script to just under the limit with
// prose, quotes and line breaks.
std::string largestScript() {
  Entries s;
  for (int i = 0; i < 255; ++i)
    s.notes.push_back({title(u'N', i), {}});
  for (int i = 0; i < 255; ++i)
    s.tasks.push_back({title(u'T', i), {}});
  s.taskCount = s.tasks.size();
  while (s.compose().size() > kLimit)
    --s.taskCount;

  const std::u16string prose = u"Hold the \"old\" bridge until dawn.\r\nThen fall back to the ";
  const std::size_t entries = s.notes.size() + s.taskCount;
  std::size_t room = kLimit - s.compose().size();
  for (std::size_t i = 0; i < entries; ++i) {
    auto& text = i < s.notes.size() ? s.notes[i].second : s.tasks[i - s.notes.size()].second;
    // Each prose character takes a byte, a quote two, a CR LF five.
    std::size_t share = room / (entries - i);
    for (std::size_t j = 0; share > 5; ++j) {
      const char16_t c = prose[j % prose.size()];
      const std::size_t bytes = c == u'"' ? 2 : c == u'\r' ? 5 : c == u'\n' ? 0 : 1;
      text += c;
      share -= bytes;
      room -= bytes;
    }
  }
  std::string script = s.compose();
  while (script.size() > kLimit) { // the estimate overshot by a few bytes
    s.tasks[s.taskCount - 1].second.pop_back();
    script = s.compose();
  }
  return script;
}

} // namespace

void benchRead() {
  const std::string script = largestScript();
  const ScriptHeader h = readScriptHeader(script);
  std::printf("largest readable script: %zu bytes, %d notes, %d tasks\n", script.size(), h.noteCount,
              h.taskCount);

  std::string copy(script.size(), '\0');
  const double copyNs = bench::bestNs([&] {
    std::memcpy(copy.data(), script.data(), script.size());
    bench::keep(copy);
  });
  const double parseNs = bench::bestNs([&] {
    const ScriptHeader header = readScriptHeader(script);
    const auto notes = scanNoteRecords(script, header.noteCount);
    const auto tasks = scanTaskRecords(script, header.taskCount);
    bench::keep(notes);
    bench::keep(tasks);
  });
  bench::report("parse the largest readable script", parseNs, "memcpy", copyNs);

  QTemporaryDir dir;
  OpenDialogs dialogs;
  dialogs.path = dir.filePath(QStringLiteral("briefing.sqf"));
  {
    QFile f(dialogs.path);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.data(), static_cast<qint64>(script.size())) < 0)
      std::fprintf(stderr, "cannot write %s\n", qPrintable(dialogs.path));
  }
  const double readNs = bench::bestNs([&] {
    QFile f(dialogs.path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    bench::keep(bytes);
  });
  frmBriefing window(dialogs);
  auto* open = window.findChild<QPushButton*>(QStringLiteral("cmdOpen"));
  const double openNs = bench::bestNs([&] { open->click(); });
  const auto* tasks = window.findChild<QListWidget*>(QStringLiteral("lstTasks"));
  if (dialogs.errors > 0 || tasks->count() != h.taskCount)
    std::fprintf(stderr, "the open command did not load the script\n");
  bench::report("open command: the largest readable script", openNs, "plain file read", readNs);
}
