// The open command: choose a script, then rebuild the whole work area from it.
#include "editor/frmBriefing.h"

#include "platform/Dialogs.h"
#include "platform/ScriptFile.h"
#include "script_reader/BriefingScriptReader.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString fromU16(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void frmBriefing::cmdOpen_Click() {
  // Until a file is chosen, any failure, Cancel included, ends the command
  // quietly with nothing changed.
  std::optional<QString> chosen;
  try {
    FileDialogSettings settings;
    settings.cancelError = true;
    settings.initDir = appPath;
    settings.flags = FileDialogFlag::HideReadOnly;
    settings.fileName = QString();
    settings.filter = QStringLiteral("SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*");
    chosen = m_dialogs.showOpen(settings);
  } catch (...) {
    return;
  }
  if (!chosen)
    return;

  // From here on every failure ends the command with the open error message;
  // nothing is rolled back.
  const QString path = *chosen;
  ReportFailures([&] {
    appPath = folderOf(path);
    ReadBriefingScript(path);
  });
}

// Replaces the work area with the script at path. It has no error handling of
// its own: a failure ends it where it happens, leaving the work area empty, or
// with the notes loaded when the tasks pass fails.
void frmBriefing::ReadBriefingScript(const QString& path) {
  // The work area is emptied before the file is opened, as Clear does without
  // asking; the side stays.
  ResetWorkArea();

  const std::string script = ScriptFile::read(path); // one read; the file is closed again
  const ScriptHeader header = readScriptHeader(script);

  if (header.noteCount >= 1) {
    // The whole pass is read before any note reaches the list.
    const std::vector<ScriptRecord> notes = scanNoteRecords(script, header.noteCount);
    noteText = QStringList(header.noteCount, QString());
    for (int k = 0; k < header.noteCount; ++k) {
      addListItem(lstNotes, fromU16(notes[k].title), k);
      noteText[k] = fromU16(notes[k].text);
      ++noteSlotCount;
      if (lstNotes->count() == 1) {
        // The Tasks page is shown: Edit and Delete follow its list, so that
        // they are not left enabled on an empty Tasks page.
        const bool pageHasEntries = tasksPageShown() ? lstTasks->count() > 0 : true;
        cmdEdit->setEnabled(pageHasEntries);
        cmdDel->setEnabled(pageHasEntries);
        txtNotes->setEnabled(true);
        setBoxText(txtNotes, noteText[k]);
      }
      if (lstNotes->currentRow() < 0)
        setListIndex(lstNotes, 0); // stores the box into slot 0 and loads it back: no change
    }
  }

  if (header.taskCount >= 1) {
    const std::vector<ScriptRecord> tasks = scanTaskRecords(script, header.taskCount);
    taskText = QStringList(header.taskCount, QString());
    for (int k = 0; k < header.taskCount; ++k) {
      addListItem(lstTasks, fromU16(tasks[k].title), k);
      taskText[k] = fromU16(tasks[k].text);
      ++taskSlotCount;
      if (lstTasks->count() == 1) {
        cmdEdit->setEnabled(true);
        cmdDel->setEnabled(true);
        txtTasks->setEnabled(true);
        cmdCurTask->setEnabled(true);
        setBoxText(txtTasks, taskText[k]);
      }
      if (lstTasks->currentRow() < 0)
        setListIndex(lstTasks, 0);
    }

    // A current-task number beyond the loaded tasks names no task.
    if (header.currentTask >= 1 && header.currentTask <= lstTasks->count())
      lblCurTask->setText(lstTasks->item(header.currentTask - 1)->text());
  }

  // Only an upper-case initial names a side; anything else keeps the side of
  // the work before.
  switch (header.sideLetter) {
  case 'W':
    cmdSide->setText(QStringLiteral("WEST"));
    break;
  case 'E':
    cmdSide->setText(QStringLiteral("EAST"));
    break;
  case 'R':
    cmdSide->setText(QStringLiteral("RESISTANCE"));
    break;
  case 'C':
    cmdSide->setText(QStringLiteral("CIVILIAN"));
    break;
  default:
    break;
  }

  setWindowTitle(appTitle + QStringLiteral(" - ") + path);
}
