#include "gui/editor/frmBriefing.h"

// The model's plumbing (the lists, their selection, the text boxes' working
// copies stored and loaded), the error route of the file commands, the start
// and the page switch.
#include "gui/editor/BriefingTextBox.h"
#include "gui/platform/Dialogs.h"
#include "core/system/RuntimeError.h"
#include "files/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <new>

// ---- The model's plumbing -------------------------------------------------

void frmBriefing::storeWorkingCopies() {
  if (lstTasks->count() > 0 && lstTasks->currentRow() >= 0)
    taskText[itemSlot(lstTasks, lstTasks->currentRow())] = txtTasks->modelText();
  if (lstNotes->count() > 0 && lstNotes->currentRow() >= 0)
    noteText[itemSlot(lstNotes, lstNotes->currentRow())] = txtNotes->modelText();
}

void frmBriefing::loadEntries(const std::vector<BriefingEntry>& entries, QListWidget* list, BriefingTextBox* box,
                              QStringList& slotTexts, qint16& slotCount) {
  if (entries.empty())
    return;
  slotTexts = QStringList(static_cast<qsizetype>(entries.size()), QString());
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const int slot = static_cast<int>(k);
    addListItem(list, toQString(entries[k].title), slot);
    slotTexts[slot] = toQString(entries[k].text);
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
      box->setModelText(slotTexts[slot]);
    }
    if (list->currentRow() < 0)
      setListIndex(list, 0); // stores the box into slot 0 and loads it back: no change
  }
}


void frmBriefing::setListIndex(QListWidget* list, int row) {
  {
    const QSignalBlocker blocker(list);
    list->setCurrentRow(row);
  }
  if (list == lstBriefing)
    lstBriefing_Click();
  else if (list == lstTasks)
    lstTasks_Click();
  else if (list == lstNotes)
    lstNotes_Click();
}

void frmBriefing::addListItem(QListWidget* list, const QString& title, int slot) {
  const QSignalBlocker blocker(list);
  auto* item = new QListWidgetItem(title);
  item->setData(Qt::UserRole, slot);
  list->addItem(item);
}

void frmBriefing::removeListItem(QListWidget* list, int row) {
  const QSignalBlocker blocker(list);
  const bool wasSelected = list->currentRow() == row;
  delete list->takeItem(row);
  // The list does not pick a neighbour by itself: the command selects one.
  if (wasSelected)
    list->setCurrentRow(-1);
}

void frmBriefing::clearList(QListWidget* list) {
  const QSignalBlocker blocker(list);
  list->clear();
}

void frmBriefing::setListItem(QListWidget* list, int row, const QString& title, int slot) {
  const QSignalBlocker blocker(list);
  auto* item = list->item(row);
  item->setText(title);
  item->setData(Qt::UserRole, slot);
}

int frmBriefing::itemSlot(const QListWidget* list, int row) {
  return list->item(row)->data(Qt::UserRole).toInt();
}

bool frmBriefing::tasksPageShown() const { return lstTasks->isVisibleTo(this); }

// Off Windows a backslash is an ordinary character of a file name.
QString frmBriefing::folderOf(const QString& path) {
#ifdef Q_OS_WIN
  const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
#else
  const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
#endif
  if (cut < 0)
    return QString();
  if (cut == 0)
    return path.left(1); // a file in the root of the file system: "/"
  return path.left(cut);
}

void frmBriefing::reportFailures(const std::function<void()>& work) {
  try {
    work();
  } catch (const RuntimeError& e) {
    showOpenError(e.number, QString::fromStdString(e.description));
  } catch (const std::bad_alloc&) {
    showOpenError(7, QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    // Failures the program does not raise itself end as the runtime's
    // "Internal error" (51), with what the failure says about itself.
    showOpenError(kInternalError, QStringLiteral("Internal error: ") + QString::fromUtf8(e.what()));
  } catch (...) {
    showOpenError(kInternalError, QStringLiteral("Internal error: an unknown failure"));
  }
}

void frmBriefing::showOpenError(int number, const QString& description) {
  m_dialogs.messageBox(QStringLiteral("The following error has occured:\r\nErr # ") +
                           QString::number(number) + QStringLiteral(" - ") + description,
                       MsgStyle::OKOnly | MsgStyle::Critical, QStringLiteral("Open Error"));
}

// ---- Start and page switch ------------------------------------------------

void frmBriefing::Form_Load() {
  setListIndex(lstBriefing, 0);
  taskSlotCount = 0;
  noteSlotCount = 0;
  lastTaskIndex = 0;
  lastNoteIndex = 0;
  appPath = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
  cmdEdit->setEnabled(false);
  cmdDel->setEnabled(false);
  cmdCurTask->setEnabled(false);
  appTitle = QStringLiteral("Quillfort");
}

void frmBriefing::lstBriefing_Click() {
  const bool notes = lstBriefing->currentRow() == 1;
  QListWidget* list = notes ? lstNotes : lstTasks;
  BriefingTextBox* box = notes ? txtNotes : txtTasks;
  qint16& last = notes ? lastNoteIndex : lastTaskIndex;
  (notes ? lstTasks : lstNotes)->hide();
  (notes ? txtTasks : txtNotes)->hide();
  list->show();
  box->show();
  const bool entries = list->count() > 0;
  cmdEdit->setEnabled(entries);
  cmdDel->setEnabled(entries);
  box->setEnabled(entries);
  last = entries ? static_cast<qint16>(list->currentRow()) : 0;
}

void frmBriefing::lstTasks_Click() { entrySelected(lstTasks, txtTasks, taskText, lastTaskIndex); }

void frmBriefing::lstNotes_Click() { entrySelected(lstNotes, txtNotes, noteText, lastNoteIndex); }

// Stores the outgoing working copy into its slot, then loads the incoming one.
void frmBriefing::entrySelected(QListWidget* list, BriefingTextBox* box, QStringList& texts, qint16& last) {
  const int selected = list->currentRow();
  if (last >= 0 && last < list->count())
    texts[itemSlot(list, last)] = box->modelText();
  if (selected < 0)
    return;
  box->setModelText(texts[itemSlot(list, selected)]);
  last = static_cast<qint16>(selected);
}
