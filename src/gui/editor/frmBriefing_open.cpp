// The open command: choose a script, then rebuild the whole work area from it.
#include "gui/editor/frmBriefing.h"

#include "files/QtText.h"
#include "files/ScriptFile.h"
#include "core/format/Sides.h"
#include "gui/platform/Dialogs.h"
#include "core/reader/BriefingScriptReader.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// A pass's records, the window's side's or another side's, as titles and texts.
template <class Record>
void appendRecords(const std::vector<Record>& records, QStringList& titles, QStringList& texts) {
  for (const Record& record : records) {
    titles << toQString(record.title);
    texts << toQString(record.text);
  }
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
  QStringList titles;
  QStringList bodies;
  appendRecords(records, titles, bodies);
  LoadEntries(titles, bodies, list, box, texts, slotCount);
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
  // the work before. A script of several sides names the game master's too,
  // and keeps each further side's briefing aside, read from its own block.
  const std::vector<ScriptSideCounts> sides = readScriptSides(script);
  std::size_t side = playableSideByLetter(header.sideLetter);
  if (!sides.empty())
    side = sides.front().side;
  if (side != kNoSide)
    cmdSide->setText(toQString(kSides[side].word));
  if (sides.size() > 1) {
    std::array<KeptBriefing, kSides.size()> kept;
    for (const ScriptSideRecords& other : readOtherSides(script, sides)) {
      KeptBriefing& into = kept[other.side];
      appendRecords(other.notes, into.noteTitles, into.noteTexts);
      appendRecords(other.tasks, into.taskTitles, into.taskTexts);
      if (other.currentTask >= 1 && other.currentTask <= into.taskTitles.size())
        into.currentTask = into.taskTitles[other.currentTask - 1];
    }
    m_kept = kept;
  }

  setCaption(appTitle + QStringLiteral(" - ") + path);
}
