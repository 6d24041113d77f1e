// The save command: choose a file, then write the whole briefing script to it.
#include "gui/editor/frmBriefing.h"

#include "core/writer/BriefingScriptWriter.h"
#include "files/ScriptFile.h"
#include "gui/platform/Dialogs.h"

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
  reportFailures([&] { WriteBriefingScript(path); });
}

void frmBriefing::WriteBriefingScript(const QString& path) {
  // The boxes' working copies go into their slots first, so that the text
  // being edited is saved too.
  storeWorkingCopies();
  // The whole script is built in memory, every side's briefing in its own
  // block; a failure there leaves the disk as it was, and the write replaces
  // the file in one piece.
  Briefing whole = briefing();
  ScriptFile::write(path, composeBriefingScript(whole));
  m_saved = std::move(whole);
  m_fileFindings.clear(); // the file is now as the writer writes it
}
