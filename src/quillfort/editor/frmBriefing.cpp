#include "editor/frmBriefing.h"

#include "about/frmAbout.h"
#include "editor/MapBackground.h"
#include "platform/Dialogs.h"
#include "platform/RuntimeError.h"
#include "platform/SharpPicture.h"
#include "platform/SpokenControls.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>

#include <algorithm>
#include <new>

// The resource file is compiled into a static library; its initialiser must
// be called by name, from outside any namespace.
static void initResources() { Q_INIT_RESOURCE(quillfort); }

namespace {

constexpr int kSlotLimit = 32767; // the slot counters are 16-bit

// Positions are laid out in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

QFont sansSerif(double points, bool bold) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QString withoutAccessKey(QString caption) { return caption.remove(QLatin1Char('&')); }

// Model texts break lines with CR LF; the box breaks blocks with U+2029 in its
// raw text (kept raw so that a no-break space stays what it is).
QString boxToModel(const QString& raw) {
  const auto isBreak = [](char16_t c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; };
  const char16_t* in = reinterpret_cast<const char16_t*>(raw.utf16());
  const qsizetype breaks = std::count_if(in, in + raw.size(), isBreak);
  if (breaks == 0)
    return raw;
  QString model(raw.size() + breaks, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(model.data());
  for (const char16_t* c = in; c != in + raw.size(); ++c) {
    if (isBreak(*c)) {
      *out++ = u'\r';
      *out++ = u'\n';
    } else {
      *out++ = *c;
    }
  }
  return model;
}

} // namespace

QItemSelectionModel::SelectionFlags EntryList::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
  const auto flags = QListWidget::selectionCommand(index, event);
  if (!index.isValid() || flags == QItemSelectionModel::NoUpdate)
    return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect;
}

void EntryList::mousePressEvent(QMouseEvent* event) {
  const int before = currentRow();
  QListWidget::mousePressEvent(event);
  const QModelIndex pressed = indexAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton && pressed.isValid() && pressed.row() == before &&
      currentRow() == before && selectedEntryClicked)
    selectedEntryClicked();
}

frmBriefing::frmBriefing(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs) {
  initResources();
  setObjectName(QStringLiteral("frmBriefing"));
  setWindowTitle(QStringLiteral("Quillfort"));
  setWindowIcon(QIcon(QStringLiteral(":/quillfort.png")));
  setFixedSize(1101, 621);
  // At one pixel per point the map is drawn from its packed runs of colour;
  // denser screens get the @2x picture.
  if (const QString picture = sharpPicture(QStringLiteral(":/background.png"));
      picture != QLatin1String(":/background.png"))
    m_background.load(picture);
  allowAccessKeys();
  buildControls();
  installPreviewHooks();
  fitToDesktop();
  Form_Load();
}

void frmBriefing::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (m_background.isNull())
    map_background::paint(painter, event->rect());
  else
    painter.drawPixmap(0, 0, m_background);
}

void frmBriefing::buildControls() {
  const QFont buttonFont = sansSerif(9.75, false);
  const QFont boldFont = sansSerif(12, true);

  auto frame = [this](const char* name, QRect rect, const QString& accessible) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(rect);
    box->setAccessibleName(accessible);
    return box;
  };
  auto button = [&](QWidget* parent, const char* name, const QString& caption, const QString& tip, QRect rect,
                    const QFont* font) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setGeometry(rect);
    if (font)
      b->setFont(*font);
    b->setAccessibleName(caption.isEmpty() ? tip : withoutAccessKey(caption));
    return b;
  };
  auto list = [&](const char* name, QRect rect, const QString& accessible, const QFont& font) {
    auto* l = new EntryList(this);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(rect);
    l->setFont(font);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setAccessibleName(accessible);
    return l;
  };
  auto textBox = [&](const char* name, const QString& accessible) {
    auto* t = new QPlainTextEdit(this);
    t->setObjectName(QLatin1String(name));
    t->setGeometry(twips(5640, 600, 10815, 3255));
    t->setFont(boldFont);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    t->setAccessibleName(accessible);
    return t;
  };

  Frame1 = frame("Frame1", twips(0, -120, 16575, 735), QStringLiteral("Current task and side"));
  cmdCurTask = button(Frame1, "cmdCurTask", QStringLiteral("Current &Task"),
                      QStringLiteral("Set/reset the selected task as current"), twips(120, 240, 1935, 375),
                      &buttonFont);
  lblCurTask = new SpokenLabel(QStringLiteral("Current task"), Frame1); // heard with its title
  lblCurTask->setObjectName(QStringLiteral("lblCurTask"));
  lblCurTask->setGeometry(twips(2280, 240, 9135, 375));
  lblCurTask->setFont(boldFont);
  lblCurTask->setTextFormat(Qt::PlainText);
  cmdAbout =
      button(Frame1, "cmdAbout", QString(), QStringLiteral("About"), twips(13800, 240, 615, 375), nullptr);
  cmdAbout->setIcon(QIcon(QStringLiteral(":/about.png")));
  cmdAbout->setIconSize(QSize(32, 32));
  const QFont sideFont = sansSerif(9.75, true);
  cmdSide = new SpokenButton(QStringLiteral("Side"), QStringLiteral("WEST"), Frame1); // heard as "Side: WEST"
  cmdSide->setObjectName(QStringLiteral("cmdSide"));
  cmdSide->setToolTip(QStringLiteral("Toggle side"));
  cmdSide->setGeometry(twips(14520, 240, 1935, 375));
  cmdSide->setFont(sideFont);

  lstBriefing = list("lstBriefing", twips(120, 600, 1095, 660), QStringLiteral("Pages"), boldFont);
  {
    const QSignalBlocker blocker(lstBriefing);
    lstBriefing->addItems({QStringLiteral("Tasks"), QStringLiteral("Notes")});
  }
  lstTasks = list("lstTasks", twips(1320, 600, 4215, 2760), QStringLiteral("Tasks"), boldFont);
  lstNotes = list("lstNotes", twips(1320, 600, 4215, 2760), QStringLiteral("Notes"), boldFont);
  txtTasks = textBox("txtTasks", QStringLiteral("Task description"));
  txtNotes = textBox("txtNotes", QStringLiteral("Note text"));
  txtNotes->setEnabled(false); // no notes yet; the start shows the Tasks page and sees to txtTasks
  cmdUp = button(this, "cmdUp", QStringLiteral("Up"), QStringLiteral("Move task/note up"),
                 twips(1320, 3480, 1935, 375), nullptr);
  cmdDown = button(this, "cmdDown", QStringLiteral("Down"), QStringLiteral("Move task/note down"),
                   twips(3600, 3480, 1935, 375), nullptr);

  Frame2 = frame("Frame2", twips(0, 8760, 16575, 615), QStringLiteral("Commands"));
  cmdAdd = button(Frame2, "cmdAdd", QStringLiteral("&Create"), QStringLiteral("Create task/note"),
                  twips(120, 120, 1335, 375), &buttonFont);
  cmdEdit = button(Frame2, "cmdEdit", QStringLiteral("&Edit"), QStringLiteral("Edit selected task/note"),
                   twips(1560, 120, 1335, 375), &buttonFont);
  cmdDel = button(Frame2, "cmdDel", QStringLiteral("&Delete"), QStringLiteral("Delete selected task/note"),
                  twips(3000, 120, 1335, 375), &buttonFont);
  cmdMarker =
      button(Frame2, "cmdMarker", QStringLiteral("Insert &Marker"),
             QStringLiteral("Insert marker at cursor position"), twips(5760, 120, 1815, 375), &buttonFont);
  cmdPic =
      button(Frame2, "cmdPic", QStringLiteral("Insert &Picture"),
             QStringLiteral("Insert picture at cursor position"), twips(7680, 120, 1815, 375), &buttonFont);
  cmdOpen = button(Frame2, "cmdOpen", QStringLiteral("&Open"), QStringLiteral("Open a briefing file"),
                   twips(10800, 120, 1335, 375), &buttonFont);
  cmdOK = button(Frame2, "cmdOK", QStringLiteral("&Save"), QStringLiteral("Save current briefing file"),
                 twips(12240, 120, 1335, 375), &buttonFont);
  cmdClear = button(Frame2, "cmdClear", QStringLiteral("Clear"),
                    QStringLiteral("Start a new briefing: empty the work area"), twips(13680, 120, 1335, 375),
                    &buttonFont);
  cmdCancel = button(Frame2, "cmdCancel", QStringLiteral("E&xit"),
                     QStringLiteral("Be sure to save your work before closing"), twips(15120, 120, 1335, 375),
                     &buttonFont);

  // Tab order by tab index; frames and the label take no focus.
  const QList<QWidget*> tabOrder = {
      lstBriefing, cmdAdd, cmdEdit, cmdDel,   cmdMarker, cmdPic,   cmdOpen,  cmdOK,    cmdCancel, cmdCurTask,
      cmdSide,     cmdUp,  cmdDown, txtNotes, txtTasks,  lstNotes, lstTasks, cmdAbout, cmdClear};
  for (qsizetype i = 1; i < tabOrder.size(); ++i)
    setTabOrder(tabOrder[i - 1], tabOrder[i]);

  connect(lstBriefing, &QListWidget::currentRowChanged, this, [this] { lstBriefing_Click(); });
  connect(lstTasks, &QListWidget::currentRowChanged, this, [this] { lstTasks_Click(); });
  connect(lstNotes, &QListWidget::currentRowChanged, this, [this] { lstNotes_Click(); });
  lstTasks->selectedEntryClicked = [this] { lstTasks_Click(); };
  lstNotes->selectedEntryClicked = [this] { lstNotes_Click(); };
  const std::pair<QPushButton*, void (frmBriefing::*)()> handlers[] = {
      {cmdCurTask, &frmBriefing::cmdCurTask_Click}, {cmdAbout, &frmBriefing::cmdAbout_Click},
      {cmdSide, &frmBriefing::cmdSide_Click},       {cmdUp, &frmBriefing::cmdUp_Click},
      {cmdDown, &frmBriefing::cmdDown_Click},       {cmdAdd, &frmBriefing::cmdAdd_Click},
      {cmdEdit, &frmBriefing::cmdEdit_Click},       {cmdDel, &frmBriefing::cmdDel_Click},
      {cmdMarker, &frmBriefing::cmdMarker_Click},   {cmdPic, &frmBriefing::cmdPic_Click},
      {cmdOpen, &frmBriefing::cmdOpen_Click},       {cmdOK, &frmBriefing::cmdOK_Click},
      {cmdClear, &frmBriefing::cmdClear_Click},     {cmdCancel, &frmBriefing::cmdCancel_Click}};
  for (const auto& [b, handler] : handlers)
    connect(b, &QPushButton::clicked, this, handler);
}

// ---- The model's plumbing -------------------------------------------------

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

void frmBriefing::setBoxText(QPlainTextEdit* box, const QString& text) {
  // The box breaks blocks at CR LF as at a lone CR or LF, so the model text
  // goes in as it is. Only where CR CR LF occurs would that differ from the
  // box's text with CR LF turned into LF (whose new CR LF is one break).
  if (text.contains(QLatin1String("\r\r\n")))
    box->setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  else
    box->setPlainText(text);
  // Every change of the document's content, an undo included, moves its
  // revision on: the same revision is the same text as loaded.
  m_loaded.insert(box, {text, box->document()->revision()});
}

QString frmBriefing::boxText(const QPlainTextEdit* box) const {
  const int revision = box->document()->revision();
  const auto loaded = m_loaded.constFind(box);
  if (loaded != m_loaded.cend() && loaded->revision == revision)
    return loaded->model;
  // Kept for the next call: saving again, or a preview, takes it as it is.
  const QString model = boxToModel(box->document()->toRawText());
  m_loaded.insert(box, {model, revision});
  return model;
}

bool frmBriefing::tasksPageShown() const { return lstTasks->isVisibleTo(this); }

void frmBriefing::setCaption(const QString& caption) {
  // Qt reads a lone "[*]" as the modified marker and a doubled one as the text.
  setWindowTitle(QString(caption).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

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

void frmBriefing::ReportFailures(const std::function<void()>& work) {
  try {
    work();
  } catch (const RuntimeError& e) {
    ShowOpenError(e.number, QString::fromStdString(e.description));
  } catch (const std::bad_alloc&) {
    ShowOpenError(7, QStringLiteral("Out of memory"));
  } catch (const std::exception& e) {
    // Failures the program does not raise itself end as the runtime's
    // "Internal error" (51), with what the failure says about itself.
    ShowOpenError(kInternalError, QStringLiteral("Internal error: ") + QString::fromUtf8(e.what()));
  } catch (...) {
    ShowOpenError(kInternalError, QStringLiteral("Internal error: an unknown failure"));
  }
}

void frmBriefing::ShowOpenError(int number, const QString& description) {
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
  QPlainTextEdit* box = notes ? txtNotes : txtTasks;
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

void frmBriefing::lstTasks_Click() { EntrySelected(lstTasks, txtTasks, taskText, lastTaskIndex); }

void frmBriefing::lstNotes_Click() { EntrySelected(lstNotes, txtNotes, noteText, lastNoteIndex); }

// Stores the outgoing working copy into its slot, then loads the incoming one.
void frmBriefing::EntrySelected(QListWidget* list, QPlainTextEdit* box, QStringList& texts, qint16& last) {
  const int selected = list->currentRow();
  if (last >= 0 && last < list->count())
    texts[itemSlot(list, last)] = boxText(box);
  if (selected < 0)
    return;
  setBoxText(box, texts[itemSlot(list, selected)]);
  last = static_cast<qint16>(selected);
}

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

void frmBriefing::cmdSide_Click() {
  const QString side = cmdSide->text();
  if (side == QLatin1String("WEST"))
    cmdSide->setText(QStringLiteral("EAST"));
  else if (side == QLatin1String("EAST"))
    cmdSide->setText(QStringLiteral("RESISTANCE"));
  else if (side == QLatin1String("RESISTANCE"))
    cmdSide->setText(QStringLiteral("CIVILIAN"));
  else
    cmdSide->setText(QStringLiteral("WEST"));
}

// ---- Delete and move -------------------------------------------------------

void frmBriefing::cmdDel_Click() {
  const bool tasks = tasksPageShown();
  QListWidget* list = tasks ? lstTasks : lstNotes;
  QPlainTextEdit* box = tasks ? txtTasks : txtNotes;
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
    setBoxText(box, QString());
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

void frmBriefing::cmdUp_Click() { MoveSelected(-1); }

void frmBriefing::cmdDown_Click() { MoveSelected(+1); }

// Exchanges the selected entry with its neighbour; at the ends, or with
// nothing selected, nothing changes.
void frmBriefing::MoveSelected(int step) {
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

// ---- Marker and picture ---------------------------------------------------

static QPlainTextEdit* targetBox(QPlainTextEdit* tasks, QPlainTextEdit* notes, const QWidget* window) {
  if (tasks->isEnabled() && tasks->isVisibleTo(window))
    return tasks;
  if (notes->isEnabled() && notes->isVisibleTo(window))
    return notes;
  return nullptr;
}

void frmBriefing::cmdMarker_Click() {
  QPlainTextEdit* box = targetBox(txtTasks, txtNotes, this);
  if (!box)
    return;
  if (!box->textCursor().hasSelection()) {
    m_dialogs.messageBox(QStringLiteral("Highlight the text to be used as marker link"),
                         MsgStyle::Information, QStringLiteral("Insert Marker"));
    return;
  }
  const auto name =
      m_dialogs.inputBox(QStringLiteral("Enter a marker name:"), QStringLiteral("Insert Marker"));
  if (!name || name->isEmpty())
    return;
  // One edit of the box's document: the selected text is replaced by itself
  // wrapped in the tag. It is one undo step, the scroll position stays, and
  // the box's cursor ends where the edit leaves it, after the tag.
  QTextCursor edit = box->textCursor();
  edit.beginEditBlock();
  edit.insertText(QStringLiteral("<marker name='") + *name + QStringLiteral("'>") + edit.selectedText() +
                  QStringLiteral("</marker>"));
  edit.endEditBlock();
}

void frmBriefing::cmdPic_Click() {
  QPlainTextEdit* box = targetBox(txtTasks, txtNotes, this);
  if (!box)
    return;
  const auto file =
      m_dialogs.inputBox(QStringLiteral("Enter a picture file name:"), QStringLiteral("Insert Picture"));
  if (!file || file->isEmpty())
    return;
  // One edit of the box's document, as for a marker: the tag goes in at the
  // selection's start, and a selection stays selected after it.
  QTextCursor edit = box->textCursor();
  edit.setPosition(edit.selectionStart());
  edit.beginEditBlock();
  edit.insertText(QStringLiteral("<img image='") + *file + QStringLiteral("' width='200' height='200'/>"));
  edit.endEditBlock();
}

// ---- Clear, exit, about ----------------------------------------------------

void frmBriefing::cmdClear_Click() {
  if (m_dialogs.messageBox(QStringLiteral("All data in the work area will be lost!\r\n\r\nAre you sure?"),
                           MsgStyle::YesNo | MsgStyle::Critical,
                           QStringLiteral("Clear Quillfort")) != MsgAnswer::Yes)
    return;
  ResetWorkArea();
}

// Empties the work area as at start, keeping the side and appPath. The text
// arrays keep their old contents: with the counters at 0 they are out of reach.
void frmBriefing::ResetWorkArea() {
  setListIndex(lstBriefing, 0);
  taskSlotCount = 0;
  noteSlotCount = 0;
  lastTaskIndex = 0;
  lastNoteIndex = 0;
  lblCurTask->setText(QString());
  clearList(lstTasks);
  clearList(lstNotes);
  setBoxText(txtTasks, QString());
  setBoxText(txtNotes, QString());
  setCaption(appTitle);
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
