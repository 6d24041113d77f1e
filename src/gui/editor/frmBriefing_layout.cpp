#include "gui/editor/frmBriefing.h"

// The window's layout: its controls at their fixed places, with their
// captions, fonts and tooltips, and each button wired to its handler.
#include "gui/editor/BriefingTextBox.h"
#include "core/text/AnsiCodec.h"
#include "files/QtText.h"
#include "gui/editor/MapBackground.h"
#include "gui/platform/SharpPicture.h"
#include "gui/platform/SpokenControls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

// The resource file is compiled into a static library; its initialiser must
// be called by name, from outside any namespace.
static void initResources() { Q_INIT_RESOURCE(quillfort); }

namespace {

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

} // namespace

frmBriefing::frmBriefing(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs) {
  initResources();
  setObjectName(QStringLiteral("frmBriefing"));
  setWindowIcon(QIcon(QStringLiteral(":/quillfort.png")));
  setFixedSize(1101, 621);
  // At one pixel per point the map is drawn from its packed runs of colour;
  // denser screens get the @2x picture.
  if (const QString picture = sharpPicture(QStringLiteral(":/background.png"));
      picture != QLatin1String(":/background.png"))
    m_background.load(picture);
  allowAccessKeys();
  buildControls();
  setCaption(QStringLiteral("Quillfort"));
  installPreviewHooks();
  installSideActions();
  fitToDesktop();
  Form_Load();
  // Once the window is up: whether the last run ended by discarding work.
  QTimer::singleShot(0, this, &frmBriefing::showLastRunHint);
}

void frmBriefing::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (m_background.isNull())
    map_background::paint(painter, event->rect());
  else
    painter.drawPixmap(0, 0, m_background);
}

namespace {

// The kinds of control the window is made of, each with the settings its
// table row does not give.
QGroupBox* frame(QWidget* parent, const char* name, QRect rect, const QString& accessible) {
  auto* box = new QGroupBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(rect);
  box->setAccessibleName(accessible);
  return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip, QRect rect,
                    const QFont* font) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  b->setToolTip(tip);
  b->setGeometry(rect);
  if (font)
    b->setFont(*font);
  b->setAccessibleName(caption.isEmpty() ? tip : withoutAccessKey(caption));
  return b;
}

EntryList* list(QWidget* parent, const char* name, QRect rect, const QString& accessible, const QFont& font) {
  auto* l = new EntryList(parent);
  l->setObjectName(QLatin1String(name));
  l->setGeometry(rect);
  l->setFont(font);
  l->setSelectionMode(QAbstractItemView::SingleSelection);
  l->setAccessibleName(accessible);
  return l;
}

BriefingTextBox* textBox(QWidget* parent, const char* name, const QString& accessible, const QFont& font) {
  auto* t = new BriefingTextBox(parent);
  t->setObjectName(QLatin1String(name));
  t->setGeometry(twips(5640, 600, 10815, 3255));
  t->setFont(font);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  t->setTabChangesFocus(true);
  t->setAccessibleName(accessible);
  return t;
}

} // namespace

void frmBriefing::buildControls() {
  buildTopFrame();
  buildListsAndBoxes();
  buildCommandFrame();
  buildMoreFrame();
  connectHandlers();
}

// The current task, the About button and the side.
void frmBriefing::buildTopFrame() {
  const QFont buttonFont = sansSerif(9.75, false);
  const QFont boldFont = sansSerif(12, true);
  Frame1 = frame(this, "Frame1", twips(0, -120, 16575, 735), QStringLiteral("Current task and side"));
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
}

// The page list, the two entry lists with their text boxes, Up and Down.
void frmBriefing::buildListsAndBoxes() {
  const QFont boldFont = sansSerif(12, true);
  lstBriefing = list(this, "lstBriefing", twips(120, 600, 1095, 660), QStringLiteral("Pages"), boldFont);
  {
    const QSignalBlocker blocker(lstBriefing);
    lstBriefing->addItems({QStringLiteral("Tasks"), QStringLiteral("Notes")});
  }
  lstTasks = list(this, "lstTasks", twips(1320, 600, 4215, 2760), QStringLiteral("Tasks"), boldFont);
  lstNotes = list(this, "lstNotes", twips(1320, 600, 4215, 2760), QStringLiteral("Notes"), boldFont);
  txtTasks = textBox(this, "txtTasks", QStringLiteral("Task description"), boldFont);
  txtNotes = textBox(this, "txtNotes", QStringLiteral("Note text"), boldFont);
  txtNotes->setEnabled(false); // no notes yet; the start shows the Tasks page and sees to txtTasks
  cmdUp = button(this, "cmdUp", QStringLiteral("Up"), QStringLiteral("Move task/note up"),
                 twips(1320, 3480, 1935, 375), nullptr);
  cmdDown = button(this, "cmdDown", QStringLiteral("Down"), QStringLiteral("Move task/note down"),
                   twips(3600, 3480, 1935, 375), nullptr);
}

// The row of commands along the bottom, one table row a button.
void frmBriefing::buildCommandFrame() {
  const QFont buttonFont = sansSerif(9.75, false);
  Frame2 = frame(this, "Frame2", twips(0, 8760, 16575, 615), QStringLiteral("Commands"));
  const struct {
    QPushButton* frmBriefing::*control;
    const char* name;
    const char* caption;
    const char* tip;
    int left;
    int width;
  } commands[] = {
      {&frmBriefing::cmdAdd, "cmdAdd", "&Create", "Create task/note", 120, 1335},
      {&frmBriefing::cmdEdit, "cmdEdit", "&Edit", "Edit selected task/note", 1560, 1335},
      {&frmBriefing::cmdDel, "cmdDel", "&Delete", "Delete selected task/note", 3000, 1335},
      {&frmBriefing::cmdMarker, "cmdMarker", "Insert &Marker", "Insert marker at cursor position", 5760,
       1815},
      {&frmBriefing::cmdPic, "cmdPic", "Insert &Picture", "Insert picture at cursor position", 7680, 1815},
      {&frmBriefing::cmdOpen, "cmdOpen", "&Open", "Open a briefing file", 10800, 1335},
      {&frmBriefing::cmdOK, "cmdOK", "&Save", "Save current briefing file", 12240, 1335},
      {&frmBriefing::cmdClear, "cmdClear", "Clear", "Start a new briefing: empty the work area", 13680, 1335},
      {&frmBriefing::cmdCancel, "cmdCancel", "E&xit", "Be sure to save your work before closing", 15120,
       1335}};
  for (const auto& c : commands)
    this->*c.control = button(Frame2, c.name, QString::fromLatin1(c.caption), QString::fromLatin1(c.tip),
                              twips(c.left, 120, c.width, 375), &buttonFont);
}

// What was added to the window's own controls, on the map between the text
// box and the commands, so that none of those moves: a button a side, which
// shows the side in the window pressed and the sides that hold a briefing
// with their number of entries; the encoding the next save writes; Recover;
// and, hidden until a start has something to say, a hint above them.
void frmBriefing::buildMoreFrame() {
  Frame3 = frame(this, "Frame3", QRect(0, 544, 1101, 36), QStringLiteral("Sides, encoding, import and recovery"));
  for (std::size_t i = 0; i < kSides.size(); ++i) {
    const auto side = static_cast<Side>(i);
    constexpr int left[] = {8, 96, 184, 306, 408}, width[] = {84, 84, 118, 98, 138};
    cmdEditSide[i] = button(Frame3, qPrintable(QStringLiteral("cmdEditSide%1").arg(i + 1)),
                            side == Side::Logic ? QStringLiteral("GAME MASTER") : toQString(infoOf(side).word),
                            QString(), QRect(left[i], 6, width[i], 26), nullptr);
    cmdEditSide[i]->setCheckable(true);
    cmdEditSide[i]->setFocusPolicy(Qt::TabFocus);
  }
  cboEncoding = new QComboBox(Frame3);
  cboEncoding->setObjectName(QStringLiteral("cboEncoding"));
  cboEncoding->addItem(QStringLiteral("Encoding: UTF-8 (what the game reads)"));
  cboEncoding->addItem(QStringLiteral("Encoding: ANSI (") + QString::fromStdString(AnsiCodec::codePageName()) +
                       QLatin1Char(')'));
  cboEncoding->setToolTip(QStringLiteral("The encoding the next save writes: UTF-8, which the game reads, or the "
                                         "ANSI code page, which keeps a script's bytes as an older tool wrote "
                                         "them"));
  cboEncoding->setAccessibleName(QStringLiteral("Script encoding"));
  cmdImport = button(Frame3, "cmdImport", QStringLiteral("&Import..."),
                     QStringLiteral("Import a briefing.sqf written by hand or by another tool"), QRect(), nullptr);
  cmdRecover = button(Frame3, "cmdRecover", QStringLiteral("&Recover..."),
                      QStringLiteral("Bring back a briefing that was closed, cleared or replaced without being "
                                     "saved (Ctrl+R)"),
                      QRect(), nullptr);
  // The encoding as wide as its longer line needs in the desktop's font and
  // style, so that it shows whole; Import and Recover 100 wide, or less where
  // a wide font leaves less room, never narrower than their captions.
  constexpr int left = 556, right = 1093, gap = 8;
  const int captions = std::min(100, std::max(cmdImport->sizeHint().width(), cmdRecover->sizeHint().width()));
  const int encodingWidth = std::clamp(cboEncoding->sizeHint().width(), 260, right - left - 2 * (gap + captions));
  const int buttonWidth = std::clamp((right - left - encodingWidth) / 2 - gap, captions, 100);
  cboEncoding->setGeometry(QRect(left, 6, encodingWidth, 26));
  cmdImport->setGeometry(QRect(left + encodingWidth + gap, 6, buttonWidth, 26));
  cmdRecover->setGeometry(QRect(cmdImport->x() + buttonWidth + gap, 6, buttonWidth, 26));
  lblHint = new QLabel(this);
  lblHint->setObjectName(QStringLiteral("lblHint"));
  lblHint->setGeometry(QRect(8, 506, 968, 32));
  lblHint->setAutoFillBackground(true);
  lblHint->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblHint->setMargin(6);
  lblHint->setTextFormat(Qt::PlainText);
  lblHint->hide();
  cmdHideHint = button(this, "cmdHideHint", QStringLiteral("&Hide"), QStringLiteral("Hide this hint"),
                       QRect(984, 508, 100, 28), nullptr);
  cmdHideHint->hide();
}

// Tab order, and each control's signal to its handler.
void frmBriefing::connectHandlers() {
  // By tab index; frames and the label take no focus. What was added comes
  // after the window's own controls.
  QList<QWidget*> tabOrder = {
      lstBriefing, cmdAdd, cmdEdit, cmdDel,   cmdMarker, cmdPic,   cmdOpen,  cmdOK,    cmdCancel, cmdCurTask,
      cmdSide,     cmdUp,  cmdDown, txtNotes, txtTasks,  lstNotes, lstTasks, cmdAbout, cmdClear};
  for (QPushButton* side : cmdEditSide)
    tabOrder << side;
  tabOrder << cboEncoding << cmdImport << cmdRecover << cmdHideHint;
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
  for (std::size_t i = 0; i < kSides.size(); ++i)
    connect(cmdEditSide[i], &QPushButton::clicked, this, [this, i] {
      editSide(static_cast<Side>(i));
      refreshCaption(); // the side in the window stays pressed
    });
  connect(cmdImport, &QPushButton::clicked, this, &frmBriefing::importScript);
  connect(cmdRecover, &QPushButton::clicked, this, &frmBriefing::recoverDiscarded);
  connect(cmdHideHint, &QPushButton::clicked, this, [this] {
    lblHint->hide();
    cmdHideHint->hide();
  });
  auto* recover = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
  connect(recover, &QShortcut::activated, cmdRecover, &QPushButton::click);
  connect(cboEncoding, &QComboBox::activated, this, [this](int index) {
    setEncoding(static_cast<Encoding>(index));
    emit briefingChanged();
  });
}
