// The open command: choose a script, then rebuild the whole work area from it.
#include "gui/editor/frmBriefing.h"

#include "core/import/BriefingImport.h"
#include "core/reader/BriefingScriptReader.h"
#include "files/QtText.h"
#include "files/ScriptFile.h"
#include "gui/platform/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

// The Open dialog, in appPath, for a script. Until a file is chosen, any
// failure, Cancel included, ends the command quietly with nothing changed:
// no file then.
std::optional<QString> frmBriefing::chooseScriptToOpen() {
  try {
    FileDialogSettings settings;
    settings.cancelError = true;
    settings.initDir = appPath;
    settings.flags = FileDialogFlag::HideReadOnly;
    settings.fileName = QString();
    settings.filter = QStringLiteral("SQF Files (*.sqf)|*.sqf|All Files (*.*)|*.*");
    return m_dialogs.showOpen(settings);
  } catch (...) {
    return std::nullopt;
  }
}

void frmBriefing::cmdOpen_Click() {
  const std::optional<QString> chosen = chooseScriptToOpen();
  if (!chosen)
    return;

  openChosenFile(*chosen);
}

void frmBriefing::openCommandLine(const QStringList& arguments) {
  // A relative name is taken from the current folder; the dialog gives a full
  // path in the system's own form, and so does this.
  if (arguments.size() == 2)
    openChosenFile(QDir::toNativeSeparators(QFileInfo(arguments[1]).absoluteFilePath()));
}

// From here on every failure ends the command with the open error message;
// nothing is rolled back.
void frmBriefing::openChosenFile(const QString& path) {
  keepDiscarded(); // the work it replaces, when it was not saved
  reportFailures([&] {
    appPath = folderOf(path);
    ReadBriefingScript(path);
  });
}

// Replaces the work area with the script at path. It has no error handling of
// its own: a failure ends it where it happens, leaving the window's briefing
// empty, or with the notes loaded when the tasks pass fails; the briefings of
// the other sides stay as they were until a script has been read whole.
void frmBriefing::ReadBriefingScript(const QString& path) {
  // The window's briefing is emptied before the file is opened, as Clear
  // does without asking; the side stays.
  clearWindowBriefing();
  setCaption(appTitle);
  m_fileFindings.clear();
  m_saved.reset();

  const std::string script = ScriptFile::read(path); // one read; the file is closed again
  // A first line that names no playable side keeps the side of the work before.
  const Side side = editedSide().value_or(Side::West);
  ReadScript read;
  try {
    read = readBriefingScript(script, side);
  } catch (const ScriptReadFailure& failure) {
    if (!failure.loaded.sides.empty()) {
      loadEntries(failure.loaded.sides.front().notes, lstNotes, txtNotes, noteText, noteSlotCount);
      setEncoding(failure.loaded.encoding); // the notes are the file's
    }
    throw;
  }

  if (const auto asWritten = checkAsWritten(script, read.briefing))
    m_fileFindings = {*asWritten};
  m_saved = read.briefing;
  // The script's sides replace every side's briefing: the first in the
  // window, the rest aside.
  m_kept.fill(SideBriefing());
  for (std::size_t i = 1; i < read.briefing.sides.size(); ++i)
    m_kept[indexOf(read.briefing.sides[i].side)] = std::move(read.briefing.sides[i]);
  loadBriefing(read.briefing.sides.front());
  setEncoding(read.briefing.encoding);
  setCaption(appTitle + QStringLiteral(" - ") + path);
}

void frmBriefing::importScript() {
  const std::optional<QString> chosen = chooseScriptToOpen(); // the same dialog as Open's
  if (!chosen)
    return;
  // The file is only read: the briefing is a new one, unnamed, saved where
  // the user wants it; the next file dialog starts in its mission folder.
  appPath = folderOf(*chosen);
  std::optional<Imported> imported;
  reportFailures([&] { imported = importBriefing(ScriptFile::read(*chosen), editedSide().value_or(Side::West)); });
  if (!imported)
    return;
  keepDiscarded(); // the work it replaces, when it was not saved
  resetWorkArea();
  for (std::size_t i = 1; i < imported->briefing.sides.size(); ++i)
    m_kept[indexOf(imported->briefing.sides[i].side)] = imported->briefing.sides[i];
  loadBriefing(imported->briefing.sides.front());
  for (const LeftOut& l : imported->leftOut) {
    BriefingFinding f;
    f.kind = FindingKind::LeftOut;
    f.field = FindingField::Script;
    f.line = l.line;
    f.column = l.column;
    f.message = l.why;
    m_fileFindings.push_back(std::move(f));
  }
  emit briefingChanged();
  if (!m_fileFindings.empty())
    showPreview(); // what was left out, at its place in the file
}
