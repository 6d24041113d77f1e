// Several sides in one briefing: the window edits one side's briefing at a
// time, and keeps the others aside until the user picks one of them (Ctrl+1
// to Ctrl+5, or the side button's context menu), copies the briefing in the
// window to another side (Ctrl+Shift+1 to 5), saves, opens or clears.
#include "gui/editor/frmBriefing.h"

#include "files/QtText.h"
#include "gui/editor/BriefingTextBox.h"
#include "gui/platform/Dialogs.h"

#include <QAction>
#include <QLabel>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <tuple>

namespace {

QString wordOf(Side side) { return toQString(infoOf(side).word); }

// "WEST", or "the game master (LOGIC)", as the menus name a side.
QString shownName(Side side) {
  return side == Side::Logic ? QStringLiteral("the Game Master (LOGIC)") : wordOf(side);
}

QString counted(qsizetype n, const char* one, const char* many) {
  return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

bool frmBriefing::anyKeptBriefing() const {
  return std::any_of(m_kept.begin(), m_kept.end(), [](const SideBriefing& k) { return k.holdsEntries(); });
}

std::optional<Side> frmBriefing::editedSide() const { return sideByWord(u16View(cmdSide->text())); }

void frmBriefing::installSideActions() {
  // The keys work whatever the window shows: on the side in the window they
  // do nothing.
  for (std::size_t index = 0; index < kSides.size(); ++index) {
    const auto side = static_cast<Side>(index);
    const auto key = static_cast<Qt::Key>(static_cast<int>(Qt::Key_1) + static_cast<int>(index));
    auto* edit = new QAction(this);
    edit->setObjectName(QStringLiteral("actEditSide") + QString::number(index + 1));
    edit->setShortcut(QKeySequence(Qt::CTRL | key));
    connect(edit, &QAction::triggered, this, [this, side] { editSide(side); });
    auto* copy = new QAction(this);
    copy->setObjectName(QStringLiteral("actCopyToSide") + QString::number(index + 1));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | key));
    connect(copy, &QAction::triggered, this, [this, side] { copyBriefingTo(side); });
    for (QAction* action : {edit, copy}) {
      action->setShortcutContext(Qt::WindowShortcut);
      addAction(action);
    }
  }
  // The side button's context menu lists the sides with what each holds. Its
  // entries are its own, so that what it greys out stays greyed out in it
  // alone: the keys above are never touched.
  cmdSide->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(cmdSide, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuSides"));
    QMenu copies(QStringLiteral("Copy This Briefing To"), &menu);
    for (std::size_t index = 0; index < kSides.size(); ++index) {
      const auto side = static_cast<Side>(index);
      const SideBriefing& kept = m_kept[index];
      const bool shown = side == editedSide();
      const auto key = static_cast<Qt::Key>(static_cast<int>(Qt::Key_1) + static_cast<int>(index));
      QAction* edit = menu.addAction(
          QStringLiteral("Edit the Briefing of ") + shownName(side) +
              (shown                ? QStringLiteral(" (in the window)")
               : kept.holdsEntries() ? QStringLiteral(" (") + counted(kept.notes.size(), "note", "notes") +
                                          QStringLiteral(", ") + counted(kept.tasks.size(), "task", "tasks") +
                                          QLatin1Char(')')
                                    : QString()),
          this, [this, side] { editSide(side); });
      QAction* copy = copies.addAction(QStringLiteral("Copy This Briefing to ") + shownName(side), this,
                                       [this, side] { copyBriefingTo(side); });
      edit->setShortcut(QKeySequence(Qt::CTRL | key));
      copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | key));
      for (QAction* action : {edit, copy}) {
        action->setShortcutVisibleInContextMenu(true);
        action->setEnabled(!shown);
      }
      if (index + 1 == kPlayableSides)
        menu.addSeparator();
    }
    menu.addSeparator();
    menu.addMenu(&copies);
    menu.exec(cmdSide->mapToGlobal(at));
  });
}

// The briefing in the window, its text boxes' working copies included, in
// list order.
SideBriefing frmBriefing::windowBriefing() const {
  SideBriefing briefing;
  briefing.side = editedSide().value_or(Side::West);
  for (auto [list, box, texts, into] : {std::tuple{lstNotes, txtNotes, &noteText, &briefing.notes},
                                        std::tuple{lstTasks, txtTasks, &taskText, &briefing.tasks}}) {
    into->reserve(static_cast<std::size_t>(list->count()));
    for (int row = 0; row < list->count(); ++row)
      into->push_back({list->item(row)->text().toStdU16String(),
                       (row == list->currentRow() ? box->modelText() : texts->value(itemSlot(list, row)))
                           .toStdU16String()});
  }
  briefing.currentTask = lblCurTask->text().toStdU16String();
  return briefing;
}

Briefing frmBriefing::briefing() const {
  Briefing whole;
  whole.encoding = m_encoding;
  whole.sides.push_back(windowBriefing());
  for (const SideBriefing& kept : m_kept)
    if (kept.holdsEntries())
      whole.sides.push_back(kept);
  return whole;
}

// Replaces the window's briefing by a kept one, as the open command loads a
// script: the Tasks page, each list's first entry selected.
void frmBriefing::loadBriefing(const SideBriefing& briefing) {
  clearWindowBriefing();
  loadEntries(briefing.notes, lstNotes, txtNotes, noteText, noteSlotCount);
  loadEntries(briefing.tasks, lstTasks, txtTasks, taskText, taskSlotCount);
  lblCurTask->setText(toQString(briefing.currentTask));
  cmdSide->setText(wordOf(briefing.side));
  refreshCaption();
}

void frmBriefing::editSide(Side side) {
  const std::optional<Side> shown = editedSide();
  if (side == shown)
    return;
  SideBriefing window = windowBriefing();
  SideBriefing next = std::exchange(m_kept[indexOf(side)], SideBriefing());
  next.side = side;
  if (shown)
    m_kept[indexOf(*shown)] = std::move(window);
  loadBriefing(next);
  emit briefingChanged();
}

// Copies the window's briefing to another side and goes on there: the usual
// start of a second side's briefing. A side that holds a briefing of its own
// is replaced only when the user says so.
void frmBriefing::copyBriefingTo(Side side) {
  if (side == editedSide())
    return;
  const SideBriefing& kept = m_kept[indexOf(side)];
  if (kept.holdsEntries() &&
      m_dialogs.messageBox(QStringLiteral("The briefing of ") + shownName(side) + QStringLiteral(" holds ") +
                               counted(kept.notes.size(), "note", "notes") + QStringLiteral(" and ") +
                               counted(kept.tasks.size(), "task", "tasks") +
                               QStringLiteral(".\r\n\r\nReplace it with a copy of this briefing?"),
                           MsgStyle::YesNo | MsgStyle::Question,
                           QStringLiteral("Copy Briefing")) != MsgAnswer::Yes)
    return;
  m_kept[indexOf(side)] = windowBriefing();
  m_kept[indexOf(side)].side = side;
  editSide(side);
}

// The side button moves the window's briefing to the next playable side. A
// side that holds a briefing of its own is passed over, so that no briefing
// is merged into another or lost; with every other side taken the side stays.
// The game master's briefing stays where it is: the button's round of four
// sides could never bring it back.
void frmBriefing::cmdSide_Click() {
  const std::optional<Side> from = editedSide();
  if (from == Side::Logic) {
    m_dialogs.messageBox(QStringLiteral("The side button moves the briefings of WEST, EAST, RESISTANCE and "
                                        "CIVILIAN; the Game Master's briefing stays the Game Master's.\r\n\r\n"
                                        "Copy it to a side with Ctrl+Shift+1 to Ctrl+Shift+4."),
                         MsgStyle::Information, QStringLiteral("Toggle side"));
    return;
  }
  // From a caption that names no side, the round starts again at WEST.
  const std::size_t start = from ? indexOf(*from) : kPlayableSides - 1;
  std::size_t side = start;
  do
    side = (side + 1) % kPlayableSides;
  while (m_kept[side].holdsEntries() && side != start);
  if (from && side == start) {
    m_dialogs.messageBox(QStringLiteral("Every other side holds a briefing of its own.\r\n\r\nPick a side's "
                                        "briefing with Ctrl+1 to Ctrl+5 to edit it."),
                         MsgStyle::Information, QStringLiteral("Toggle side"));
    return;
  }
  cmdSide->setText(wordOf(static_cast<Side>(side)));
  refreshCaption();
}

void frmBriefing::setCaption(const QString& caption) {
  m_captionBase = caption;
  refreshCaption();
}

// The caption names the side in the window while another side holds a
// briefing too; the side buttons show which side is in the window and what
// the others hold.
void frmBriefing::refreshCaption() {
  QString caption = m_captionBase;
  if (anyKeptBriefing())
    caption += QStringLiteral(" [") + cmdSide->text() + QLatin1Char(']');
  // Qt reads a lone "[*]" as the modified marker and a doubled one as the text.
  setWindowTitle(caption.replace(QLatin1String("[*]"), QLatin1String("[*][*]")));

  const std::optional<Side> shown = editedSide();
  for (std::size_t i = 0; i < kSides.size(); ++i) {
    const auto side = static_cast<Side>(i);
    const SideBriefing& kept = m_kept[i];
    const bool inWindow = side == shown;
    QPushButton* button = cmdEditSide[i];
    const QString name = side == Side::Logic ? QStringLiteral("GAME MASTER") : wordOf(side);
    button->setChecked(inWindow);
    button->setText(kept.holdsEntries() ? name + QStringLiteral(" (%1)").arg(kept.notes.size() + kept.tasks.size())
                                        : name);
    const QString what = inWindow            ? QStringLiteral("in the window")
                         : kept.holdsEntries() ? counted(kept.notes.size(), "note", "notes") + QStringLiteral(", ") +
                                                   counted(kept.tasks.size(), "task", "tasks")
                                             : QStringLiteral("empty");
    button->setToolTip(QStringLiteral("Edit the briefing of %1 (Ctrl+%2): %3").arg(shownName(side)).arg(i + 1).arg(what));
    button->setAccessibleName(QStringLiteral("Briefing of ") + shownName(side));
    button->setAccessibleDescription(what);
  }
}

void frmBriefing::setEncoding(Encoding encoding) {
  m_encoding = encoding;
  const QSignalBlocker blocker(cboEncoding);
  cboEncoding->setCurrentIndex(static_cast<int>(encoding));
}
