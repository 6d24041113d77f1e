// The save command: choose a file, then write the whole briefing script to it.
#include "gui/editor/frmBriefing.h"

#include "QuillfortVersion.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"
#include "core/format/Sides.h"
#include "gui/platform/Dialogs.h"
#include "core/writer/BriefingScriptWriter.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <tuple>

namespace {

// The list's entries as views of their titles and slot texts. The titles are
// held in `titles` (each shares its characters with the list item, nothing is
// copied), which must outlive the entries, as must `texts`.
std::vector<BriefingEntry> entriesOf(const QListWidget* list, const QStringList& texts, QStringList& titles) {
  std::vector<BriefingEntry> entries;
  entries.reserve(static_cast<std::size_t>(list->count()));
  titles.reserve(list->count());
  for (int i = 0; i < list->count(); ++i) {
    const QListWidgetItem* item = list->item(i);
    titles.append(item->text());
    entries.push_back({u16View(titles.constLast()), u16View(texts.at(item->data(Qt::UserRole).toInt()))});
  }
  return entries;
}

} // namespace

void frmBriefing::cmdOK_Click() {
  if (lstTasks->count() == 0 && lstNotes->count() == 0 && !anyKeptBriefing()) {
    m_dialogs.messageBox(QStringLiteral("Nothing to save!"), MsgStyle::OKOnly,
                         QStringLiteral("Save Briefing"));
    return;
  }

  // Until a file is chosen, any failure, Cancel included, ends the command
  // quietly with nothing changed.
  std::optional<QString> chosen;
  try {
    FileDialogSettings settings;
    settings.cancelError = true;
    settings.initDir = appPath;
    settings.flags = FileDialogFlag::OverwritePrompt | FileDialogFlag::PathMustExist;
    settings.fileName = QString();
    settings.filter = QStringLiteral("SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*");
    chosen = m_dialogs.showSave(settings);
  } catch (...) {
    return;
  }
  if (!chosen || chosen->isEmpty())
    return;
  const QString path = *chosen;

  // From here on every failure is reported in the "Open Error" box; appPath
  // keeps the chosen folder even when the write fails.
  appPath = folderOf(path);
  ReportFailures([&] { WriteBriefingScript(path); });
}

void frmBriefing::WriteBriefingScript(const QString& path) {
  // The boxes' working copies go into their slots first, so that the text
  // being edited is saved too.
  StoreWorkingCopies();

  // The snapshot holds views: the QStrings below and the slot texts stay
  // alive and unchanged until the script is composed.
  const QString side = cmdSide->text();
  const QString currentTask = lblCurTask->text();
  QStringList noteTitles;
  QStringList taskTitles;
  BriefingSnapshot snapshot;
  snapshot.side = u16View(side);
  snapshot.notes = entriesOf(lstNotes, noteText, noteTitles);
  snapshot.tasks = entriesOf(lstTasks, taskText, taskTitles);
  snapshot.currentTask = u16View(currentTask);
  snapshot.versionMajor = kVersionMajor;
  snapshot.versionMinor = kVersionMinor;
  snapshot.versionPatch = kVersionPatch;
  // The other sides' briefings, each in its own block of the script.
  for (std::size_t side = 0; side < m_kept.size(); ++side) {
    const KeptBriefing& kept = m_kept[side];
    if (!kept.holdsEntries())
      continue;
    SideBriefing other{kSides[side].word, {}, {}, u16View(kept.currentTask)};
    for (const auto& [titles, texts, into] : {std::tuple{&kept.noteTitles, &kept.noteTexts, &other.notes},
                                              std::tuple{&kept.taskTitles, &kept.taskTexts, &other.tasks}})
      for (qsizetype i = 0; i < titles->size(); ++i)
        into->push_back({u16View(titles->at(i)), u16View(texts->at(i))});
    snapshot.otherSides.push_back(std::move(other));
  }

  // The whole script is built in memory; a failure there leaves the disk as
  // it was, and the write replaces the file in one piece.
  ScriptFile::write(path, composeBriefingScript(snapshot));
}
