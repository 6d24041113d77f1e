#include "gui/editor/frmBriefing.h"

// The list commands: create, rename, current task, delete, move, clear, exit
// and about (the side button's is with the other sides' commands).
#include "gui/about/frmAbout.h"
#include "files/QtText.h"
#include "gui/platform/Dialogs.h"

#include <QLabel>
#include "gui/editor/BriefingTextBox.h"
#include <QPushButton>

namespace {

constexpr int kSlotLimit = 32767; // the slot counters are 16-bit

} // namespace

// ---- Create, rename, current task, side -----------------------------------

void frmBriefing::cmdAdd_Click() {
  const bool tasks = tasksPageShown();
  qint16& counter = tasks ? taskSlotCount : noteSlotCount;
  const QString title = tasks ? QStringLiteral("Create Task") : QStringLiteral("Create Note");
  // Every slot a list has handed out is gone for good until the briefing is
  // reopened (which numbers them anew): say so instead of asking in vain.
  if (counter >= kSlotLimit) {
    m_dialogs.messageBox(tasks ? QStringLiteral("No more tasks can be created: this briefing has used all "
                                                "32767 task numbers.\r\nSave it and open it again to "
                                                "renumber its tasks.")
                               : QStringLiteral("No more notes can be created: this briefing has used all "
                                                "32767 note numbers.\r\nSave it and open it again to "
                                                "renumber its notes."),
                         MsgStyle::Information, title);
    return;
  }
  const auto answer = m_dialogs.inputBox(tasks ? QStringLiteral("Enter the task to create:")
                                               : QStringLiteral("Enter the note to create:"),
                                         title);
  if (!answer || answer->isEmpty())
    return;

  QListWidget* list = tasks ? lstTasks : lstNotes;
  QStringList& text = tasks ? taskText : noteText;
  text.resize(counter + 1);  // keeps the contents, drops what lies past the new slot
  text[counter] = QString(); // the slot may still hold a text from before a Clear or an Open
  addListItem(list, *answer, counter);
  ++counter;
  if (list->count() == 1) {
    cmdEdit->setEnabled(true);
    cmdDel->setEnabled(true);
    (tasks ? txtTasks : txtNotes)->setEnabled(true);
    if (tasks)
      cmdCurTask->setEnabled(true);
  }
  if (list->currentRow() == -1)
    setListIndex(list, 0);
}

void frmBriefing::cmdEdit_Click() {
  const bool tasks = tasksPageShown();
  QListWidget* list = tasks ? lstTasks : lstNotes;
  const int row = list->currentRow();
  if (row < 0)
    return; // an empty page left enabled by opening a notes-only script
  const QString title = list->item(row)->text();
  const auto answer = m_dialogs.inputBox(
      tasks ? QStringLiteral("Edit the selected task:") : QStringLiteral("Edit the selected note:"),
      tasks ? QStringLiteral("Edit Task") : QStringLiteral("Edit Note"), title);
  if (!answer || answer->isEmpty() || *answer == title)
    return;
  const bool current = tasks && lblCurTask->text() == title;
  setListItem(list, row, *answer, itemSlot(list, row));
  if (current)
    lblCurTask->setText(*answer);
}

void frmBriefing::cmdCurTask_Click() {
  const int row = lstTasks->currentRow();
  if (row < 0)
    return;
  const QString title = lstTasks->item(row)->text();
  lblCurTask->setText(lblCurTask->text() == title ? QString() : title);
}

// ---- Delete and move -------------------------------------------------------

void frmBriefing::cmdDel_Click() {
  const bool tasks = tasksPageShown();
  QListWidget* list = tasks ? lstTasks : lstNotes;
  BriefingTextBox* box = tasks ? txtTasks : txtNotes;
  qint16& last = tasks ? lastTaskIndex : lastNoteIndex;
  int i = list->currentRow();
  if (i < 0)
    return; // nothing selected (an empty page): nothing to delete
  if (m_dialogs.messageBox(
          tasks ? QStringLiteral("Delete the selected task?") : QStringLiteral("Delete the selected note?"),
          MsgStyle::YesNo | MsgStyle::Question,
          tasks ? QStringLiteral("Delete Task") : QStringLiteral("Delete Note")) != MsgAnswer::Yes)
    return;
  if (tasks && lblCurTask->text() == list->item(i)->text())
    lblCurTask->setText(QString());
  removeListItem(list, i);
  if (list->count() == 0) {
    last = 0;
    box->setModelText(QString());
    cmdEdit->setEnabled(false);
    cmdDel->setEnabled(false);
    box->setEnabled(false);
    if (tasks)
      cmdCurTask->setEnabled(false);
    return;
  }
  last = -1;
  if (i >= list->count())
    i = list->count() - 1;
  setListIndex(list, i);
}

void frmBriefing::cmdUp_Click() { moveSelected(-1); }

void frmBriefing::cmdDown_Click() { moveSelected(+1); }

// Exchanges the selected entry with its neighbour; at the ends, or with
// nothing selected, nothing changes.
void frmBriefing::moveSelected(int step) {
  const bool tasks = tasksPageShown();
  QListWidget* list = tasks ? lstTasks : lstNotes;
  const int i = list->currentRow();
  const int j = i + step;
  if (i >= 0 && i < list->count() && j >= 0 && j < list->count()) {
    (tasks ? lastTaskIndex : lastNoteIndex) = -1;
    SwapListEntries(list, i, j);
  }
}

// Exchanges the entries at a and b, titles and slots together, and selects b.
// The caller has set the list's last-index field to -1, so the selection
// stores nothing: the position that held the moved entry now holds the other.
void frmBriefing::SwapListEntries(QListWidget* list, const int& a, const int& b) {
  const int n = list->count();
  if (a < 0 || a >= n || b < 0 || b >= n)
    return;
  const QString t = list->item(a)->text();
  const int d = itemSlot(list, a);
  setListItem(list, a, list->item(b)->text(), itemSlot(list, b));
  setListItem(list, b, t, d);
  setListIndex(list, b);
}

// ---- Clear, exit, about ----------------------------------------------------

void frmBriefing::cmdClear_Click() {
  // With other sides holding briefings, the question names every side it
  // clears, also those not shown.
  QString lost = QStringLiteral("All data in the work area will be lost!");
  if (anyKeptBriefing()) {
    QStringList sides; // in the order of the script's blocks
    const bool windowHolds = lstTasks->count() > 0 || lstNotes->count() > 0;
    for (std::size_t i = 0; i < kSides.size(); ++i) {
      const auto side = static_cast<Side>(i);
      if (side == editedSide() ? windowHolds : m_kept[i].holdsEntries())
        sides << (side == Side::Logic ? QStringLiteral("the Game Master (LOGIC)") : toQString(infoOf(side).word));
    }
    const QString last = sides.takeLast();
    lost = QStringLiteral("All data in the work area will be lost, %1 with it!")
               .arg(sides.isEmpty() ? QStringLiteral("the briefing of ") + last
                                    : QStringLiteral("the briefings of ") + sides.join(QStringLiteral(", ")) +
                                          QStringLiteral(" and ") + last);
  }
  if (m_dialogs.messageBox(lost + QStringLiteral("\r\n\r\nAre you sure?"), MsgStyle::YesNo | MsgStyle::Critical,
                           QStringLiteral("Clear Quillfort")) != MsgAnswer::Yes)
    return;
  keepDiscarded();
  resetWorkArea();
}

// Empties the work area as at start, every side's briefing with it, keeping
// the side button's side and appPath; the next save writes UTF-8 again.
void frmBriefing::resetWorkArea() {
  clearWindowBriefing();
  m_kept.fill(SideBriefing()); // every side's briefing goes with the work area
  setEncoding(Encoding::Utf8); // a new briefing is written as the game reads it
  m_fileFindings.clear();
  m_saved.reset();
  setCaption(appTitle);
}

// Empties the briefing in the window, keeping the side, the caption and the
// other sides' briefings. The text arrays keep their old contents: with the
// counters at 0 they are out of reach.
void frmBriefing::clearWindowBriefing() {
  setListIndex(lstBriefing, 0);
  taskSlotCount = 0;
  noteSlotCount = 0;
  lastTaskIndex = 0;
  lastNoteIndex = 0;
  lblCurTask->setText(QString());
  clearList(lstTasks);
  clearList(lstNotes);
  txtTasks->setModelText(QString());
  txtNotes->setModelText(QString());
  cmdEdit->setEnabled(false);
  cmdDel->setEnabled(false);
  cmdCurTask->setEnabled(false);
  txtTasks->setEnabled(false);
  txtNotes->setEnabled(false);
}

void frmBriefing::cmdCancel_Click() { close(); }

void frmBriefing::cmdAbout_Click() {
  frmAbout about(m_dialogs);
  about.exec();
}
