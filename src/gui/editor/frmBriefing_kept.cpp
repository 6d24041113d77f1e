// Nothing typed is lost for good: what Exit, the close box, Open, Import and
// Clear discard without a save is kept as a script in the user's own data folder,
// and Recover (or the hint after a start that follows such an end) brings it
// back.
#include "gui/editor/frmBriefing.h"

#include "core/system/RuntimeError.h"
#include "core/writer/BriefingScriptWriter.h"
#include "files/DiscardedBriefings.h"
#include "gui/platform/Dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

void frmBriefing::closeEvent(QCloseEvent* event) {
  keepDiscarded(true);
  QWidget::closeEvent(event);
}

void frmBriefing::keepDiscarded(bool lastRun) {
  const Briefing whole = briefing();
  if (std::none_of(whole.sides.begin(), whole.sides.end(), [](const SideBriefing& s) { return s.holdsEntries(); }))
    return;
  if (m_saved && whole == *m_saved)
    return; // saved or opened as it is
  try {
    const std::string script = composeBriefingScript(whole);
    const QString kept = DiscardedBriefings::keep(script, whole);
    if (lastRun && !kept.isEmpty())
      DiscardedBriefings::markLastRun(kept);
  } catch (const RuntimeError&) {
    // A briefing that cannot be written cannot be kept: it is lost as
    // before, and the command goes on.
  }
}

// Lists the kept briefings, newest first, and opens the chosen one as Open
// opens a file (the work in the window kept first), leaving the folder of
// the next file dialog where it was.
void frmBriefing::recoverDiscarded() {
  lblHint->hide();
  cmdHideHint->hide();
  const QList<DiscardedBriefings::Kept> kept = DiscardedBriefings::list();
  if (kept.isEmpty()) {
    m_dialogs.messageBox(QStringLiteral("No briefing has been kept yet.\r\n\r\nWhen Exit, the close box, Open, Import or "
                                        "Clear discard a briefing that was not saved, Quillfort keeps it here."),
                         MsgStyle::Information, QStringLiteral("Recover a Briefing"));
    return;
  }
  QStringList shown;
  for (const DiscardedBriefings::Kept& k : kept)
    shown << k.shown;
  const std::optional<int> chosen =
      m_dialogs.chooseOne(QStringLiteral("Briefings closed, cleared or replaced without being saved, newest "
                                         "first (the last %1 are kept in %2):")
                              .arg(DiscardedBriefings::kKept)
                              .arg(QDir::toNativeSeparators(DiscardedBriefings::folder())),
                          QStringLiteral("Recover a Briefing"), shown);
  if (!chosen)
    return;
  keepDiscarded();
  reportFailures([&] { ReadBriefingScript(kept[*chosen].path); });
  setCaption(appTitle); // a briefing of no file of the user's: Save asks where
}

// A start after a run that ended by discarding work says so in the window,
// without a box of its own and without touching what the start shows.
void frmBriefing::showLastRunHint() {
  const QString kept = DiscardedBriefings::takeLastRun();
  if (kept.isEmpty())
    return;
  lblHint->setText(QStringLiteral("The briefing you closed last time without saving was kept (%1). Press "
                                  "Recover to bring it back.")
                       .arg(QFileInfo(kept).completeBaseName().mid(20)));
  lblHint->show();
  cmdHideHint->show();
}
