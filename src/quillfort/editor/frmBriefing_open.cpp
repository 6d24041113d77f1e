// The open command: choose a script, then rebuild the whole work area from it.
#include "editor/frmBriefing.h"

#include "platform/Dialogs.h"
#include "platform/ScriptFile.h"
#include "script_reader/BriefingScriptReader.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString fromU16(std::u16string_view text) {
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

  OpenChosenFile(*chosen);
}

void frmBriefing::openCommandLine(const QStringList& arguments) {
  // A relative name is taken from the current folder; the dialog gives a full
  // path in the system's own form, and so does this.
  if (arguments.size() == 2)
    OpenChosenFile(QDir::toNativeSeparators(QFileInfo(arguments[1]).absoluteFilePath()));
}

// From here on every failure ends the command with the open error message;
// nothing is rolled back.
void frmBriefing::OpenChosenFile(const QString& path) {
  ReportFailures([&] {
    appPath = folderOf(path);
    ReadBriefingScript(path);
  });
}

// Puts one pass's records into its list in order, each entry's slot its
// position, and shows the first entry in the box.
void frmBriefing::LoadRecords(const std::vector<ScriptRecordView>& records, QListWidget* list,
                              QPlainTextEdit* box, QStringList& texts, qint16& slotCount) {
  texts = QStringList(static_cast<qsizetype>(records.size()), QString());
  for (int k = 0; k < static_cast<int>(records.size()); ++k) {
    addListItem(list, fromU16(records[k].title), k);
    texts[k] = fromU16(records[k].text);
    ++slotCount;
    if (list->count() == 1) {
      // Edit and Delete follow the list of the page shown (the Tasks page),
      // so that they are never left enabled on an empty Tasks page.
      const bool pageHasEntries = (tasksPageShown() ? lstTasks : lstNotes)->count() > 0;
      cmdEdit->setEnabled(pageHasEntries);
      cmdDel->setEnabled(pageHasEntries);
      box->setEnabled(true);
      if (list == lstTasks)
        cmdCurTask->setEnabled(true);
      setBoxText(box, texts[k]);
    }
    if (list->currentRow() < 0)
      setListIndex(list, 0); // stores the box into slot 0 and loads it back: no change
  }
}

// Replaces the work area with the script at path. It has no error handling of
// its own: a failure ends it where it happens, leaving the work area empty, or
// with the notes loaded when the tasks pass fails.
void frmBriefing::ReadBriefingScript(const QString& path) {
  // The work area is emptied before the file is opened, as Clear does without
  // asking; the side stays.
  ResetWorkArea();

  const std::string script = ScriptFile::read(path); // one read; the file is closed again
  BriefingScriptReader reader(script);
  const ScriptHeader header = reader.header();

  // Each pass is read whole before its records reach the list, so a failure
  // in the tasks pass leaves the notes loaded.
  if (header.noteCount >= 1)
    LoadRecords(reader.notes(header.noteCount), lstNotes, txtNotes, noteText, noteSlotCount);

  if (header.taskCount >= 1) {
    LoadRecords(reader.tasks(header.taskCount), lstTasks, txtTasks, taskText, taskSlotCount);

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

  setCaption(appTitle + QStringLiteral(" - ") + path);
}
