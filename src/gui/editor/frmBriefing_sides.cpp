// Several sides in one briefing: the window edits one side's briefing at a
// time, and keeps the others aside until the user picks one of them (Ctrl+1
// to Ctrl+5, or the side button's context menu), copies the briefing in the
// window to another side (Ctrl+Shift+1 to 5), saves, opens or clears.
#include "gui/editor/frmBriefing.h"

#include "files/QtText.h"
#include "core/format/Sides.h"
#include "gui/platform/Dialogs.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

QString wordOf(std::size_t side) { return toQString(kSides[side].word); }

// "WEST", or "the game master (LOGIC)", as the menus name a side.
QString shownName(std::size_t side) {
  return side == kGameMaster ? QStringLiteral("the Game Master (LOGIC)") : wordOf(side);
}

QString counted(qsizetype n, const char* one, const char* many) {
  return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

bool frmBriefing::KeptBriefing::holdsEntries() const {
  return !noteTitles.isEmpty() || !taskTitles.isEmpty();
}

bool frmBriefing::anyKeptBriefing() const {
  return std::any_of(m_kept.begin(), m_kept.end(), [](const KeptBriefing& k) { return k.holdsEntries(); });
}

std::size_t frmBriefing::editedSide() const { return sideByWord(u16View(cmdSide->text())); }

const frmBriefing::KeptBriefing& frmBriefing::keptBriefing(std::size_t side) const { return m_kept.at(side); }

void frmBriefing::installSideActions() {
  for (std::size_t side = 0; side < kSides.size(); ++side) {
    const auto key = static_cast<int>(Qt::Key_1) + static_cast<int>(side);
    auto* edit = new QAction(this);
    edit->setObjectName(QStringLiteral("actEditSide") + QString::number(side + 1));
    edit->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(key)));
    connect(edit, &QAction::triggered, this, [this, side] { editSide(side); });
    auto* copy = new QAction(this);
    copy->setObjectName(QStringLiteral("actCopyToSide") + QString::number(side + 1));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | static_cast<Qt::Key>(key)));
    connect(copy, &QAction::triggered, this, [this, side] { copyBriefingTo(side); });
    for (QAction* action : {edit, copy}) {
      action->setShortcutContext(Qt::WindowShortcut);
      action->setShortcutVisibleInContextMenu(true);
      addAction(action);
    }
    m_sideActions[side] = {edit, copy};
  }
  // The side button's context menu lists the sides with what each holds.
  cmdSide->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(cmdSide, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuSides"));
    QMenu* copies = nullptr;
    for (std::size_t side = 0; side < kSides.size(); ++side) {
      const auto [edit, copy] = m_sideActions[side];
      const KeptBriefing& kept = m_kept[side];
      const bool shown = side == editedSide();
      edit->setText(QStringLiteral("Edit the Briefing of ") + shownName(side) +
                    (shown ? QStringLiteral(" (in the window)")
                     : kept.holdsEntries()
                         ? QStringLiteral(" (") + counted(kept.noteTitles.size(), "note", "notes") +
                               QStringLiteral(", ") + counted(kept.taskTitles.size(), "task", "tasks") +
                               QLatin1Char(')')
                         : QString()));
      edit->setEnabled(!shown);
      copy->setText(QStringLiteral("Copy This Briefing to ") + shownName(side));
      copy->setEnabled(!shown);
      menu.addAction(edit);
      if (side + 1 == kPlayableSides)
        menu.addSeparator();
    }
    menu.addSeparator();
    copies = menu.addMenu(QStringLiteral("Copy This Briefing To"));
    for (std::size_t side = 0; side < kSides.size(); ++side)
      copies->addAction(m_sideActions[side].second);
    menu.exec(cmdSide->mapToGlobal(at));
  });
}

// The briefing in the window, its text boxes' working copies included, in
// list order.
frmBriefing::KeptBriefing frmBriefing::windowBriefing() {
  StoreWorkingCopies();
  KeptBriefing kept;
  for (int row = 0; row < lstNotes->count(); ++row) {
    kept.noteTitles << lstNotes->item(row)->text();
    kept.noteTexts << noteText.value(itemSlot(lstNotes, row));
  }
  for (int row = 0; row < lstTasks->count(); ++row) {
    kept.taskTitles << lstTasks->item(row)->text();
    kept.taskTexts << taskText.value(itemSlot(lstTasks, row));
  }
  kept.currentTask = lblCurTask->text();
  return kept;
}

// Replaces the window's briefing by a kept one, as the open command loads a
// script: the Tasks page, each list's first entry selected.
void frmBriefing::loadBriefing(const KeptBriefing& briefing, std::size_t side) {
  ClearWindowBriefing();
  LoadEntries(briefing.noteTitles, briefing.noteTexts, lstNotes, txtNotes, noteText, noteSlotCount);
  LoadEntries(briefing.taskTitles, briefing.taskTexts, lstTasks, txtTasks, taskText, taskSlotCount);
  lblCurTask->setText(briefing.currentTask);
  cmdSide->setText(wordOf(side));
  refreshCaption();
}

void frmBriefing::editSide(std::size_t side) {
  const std::size_t shown = editedSide();
  if (side == shown || side >= kSides.size())
    return;
  KeptBriefing window = windowBriefing();
  const KeptBriefing next = std::exchange(m_kept[side], KeptBriefing());
  if (shown < kSides.size())
    m_kept[shown] = std::move(window);
  loadBriefing(next, side);
  emit briefingChanged();
}

// Copies the window's briefing to another side and goes on there: the usual
// start of a second side's briefing. A side that holds a briefing of its own
// is replaced only when the user says so.
void frmBriefing::copyBriefingTo(std::size_t side) {
  if (side == editedSide() || side >= kSides.size())
    return;
  const KeptBriefing& kept = m_kept[side];
  if (kept.holdsEntries() &&
      m_dialogs.messageBox(QStringLiteral("The briefing of ") + shownName(side) + QStringLiteral(" holds ") +
                               counted(kept.noteTitles.size(), "note", "notes") + QStringLiteral(" and ") +
                               counted(kept.taskTitles.size(), "task", "tasks") +
                               QStringLiteral(".\r\n\r\nReplace it with a copy of this briefing?"),
                           MsgStyle::YesNo | MsgStyle::Question,
                           QStringLiteral("Copy Briefing")) != MsgAnswer::Yes)
    return;
  m_kept[side] = windowBriefing();
  editSide(side);
}

// The side button moves the window's briefing to the next side. A side that
// holds a briefing of its own is passed over, so that no briefing is merged
// into another or lost; with every other side taken the side stays.
void frmBriefing::cmdSide_Click() {
  const std::size_t from = editedSide();
  std::size_t side = from;
  do
    side = nextPlayableSide(side);
  while (m_kept[side].holdsEntries() && side != from);
  if (side == from) {
    m_dialogs.messageBox(QStringLiteral("Every other side holds a briefing of its own.\r\n\r\nPick a side's "
                                        "briefing with Ctrl+1 to Ctrl+5 to edit it."),
                         MsgStyle::Information, QStringLiteral("Toggle side"));
    return;
  }
  cmdSide->setText(wordOf(side));
  refreshCaption();
}

void frmBriefing::setCaption(const QString& caption) {
  m_captionBase = caption;
  refreshCaption();
}

// The caption names the side in the window while another side holds a
// briefing too.
void frmBriefing::refreshCaption() {
  QString caption = m_captionBase;
  if (anyKeptBriefing())
    caption += QStringLiteral(" [") + cmdSide->text() + QLatin1Char(']');
  // Qt reads a lone "[*]" as the modified marker and a doubled one as the text.
  setWindowTitle(caption.replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

void frmBriefing::StoreWorkingCopies() {
  if (lstTasks->count() > 0 && lstTasks->currentRow() >= 0)
    taskText[itemSlot(lstTasks, lstTasks->currentRow())] = boxText(txtTasks);
  if (lstNotes->count() > 0 && lstNotes->currentRow() >= 0)
    noteText[itemSlot(lstNotes, lstNotes->currentRow())] = boxText(txtNotes);
}

// Puts entries into an empty list in order, each entry's slot its position,
// and shows the first entry in the box.
void frmBriefing::LoadEntries(const QStringList& titles, const QStringList& texts, QListWidget* list,
                              QPlainTextEdit* box, QStringList& slotTexts, qint16& slotCount) {
  if (titles.isEmpty())
    return;
  slotTexts = QStringList(titles.size(), QString());
  for (int k = 0; k < titles.size(); ++k) {
    addListItem(list, titles[k], k);
    slotTexts[k] = texts[k];
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
      setBoxText(box, slotTexts[k]);
    }
    if (list->currentRow() < 0)
      setListIndex(list, 0); // stores the box into slot 0 and loads it back: no change
  }
}
