// The editor's side of the preview window: F5 and the text boxes' context
// menus open it, and the window tells it when the briefing may have changed.
#include "gui/editor/frmBriefing.h"

#include "gui/editor/BriefingTextBox.h"
#include "gui/preview/frmPreview.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>

frmBriefing::~frmBriefing() { m_closing = true; }

void frmBriefing::installPreviewHooks() {
  m_previewAction = new QAction(QStringLiteral("Preview Briefing"), this);
  m_previewAction->setObjectName(QStringLiteral("actPreview"));
  m_previewAction->setShortcut(QKeySequence(Qt::Key_F5));
  m_previewAction->setShortcutContext(Qt::WindowShortcut);
  m_previewAction->setShortcutVisibleInContextMenu(true);
  addAction(m_previewAction);
  connect(m_previewAction, &QAction::triggered, this, &frmBriefing::showPreview);

  // Qt's own entries first, then the preview.
  for (QPlainTextEdit* box : {txtTasks, txtNotes}) {
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
      QMenu* menu = box->createStandardContextMenu(at);
      menu->setObjectName(QStringLiteral("mnuTextBox"));
      menu->addSeparator();
      menu->addAction(m_previewAction);
      menu->exec(box->viewport()->mapToGlobal(at));
      delete menu;
    });
  }

  // Whatever a command changes shows in one of these. Setting a row from
  // code blocks the list's own signals, not its model's or selection's.
  auto changed = [this] {
    if (!m_closing)
      emit briefingChanged();
  };
  for (QPlainTextEdit* box : {txtTasks, txtNotes})
    connect(box, &QPlainTextEdit::textChanged, this, changed);
  for (QListWidget* list : {lstBriefing, lstTasks, lstNotes}) {
    QAbstractItemModel* model = list->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(model, &QAbstractItemModel::dataChanged, this, changed);
    connect(model, &QAbstractItemModel::modelReset, this, changed);
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this, changed);
  }
  // The side and the current task change only in commands.
  for (QPushButton* button : findChildren<QPushButton*>())
    connect(button, &QPushButton::clicked, this, changed);
}

BriefingView frmBriefing::previewView() const {
  BriefingView view;
  view.briefing = briefing();
  view.fileFindings = m_fileFindings;
  view.folder = appPath;
  view.tasksPage = tasksPageShown();
  view.selectedNote = lstNotes->currentRow();
  view.selectedTask = lstTasks->currentRow();
  return view;
}

void frmBriefing::showPreview() {
  if (!m_preview) {
    m_preview = new frmPreview(*this, *this);
    connect(this, &frmBriefing::briefingChanged, m_preview, &frmPreview::scheduleRefresh);
    // Beside the editor, where it covers the least of it; the preview's
    // frame is taken to be as wide as the editor's.
    if (const QScreen* screen = this->screen()) {
      const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                           frameGeometry().right() - geometry().right(),
                           frameGeometry().bottom() - geometry().bottom());
      const QRect place = frmPreview::placeBeside(screen->availableGeometry(), frameGeometry(),
                                                  m_preview->size().grownBy(frame));
      m_preview->resize(place.size().shrunkBy(frame));
      m_preview->move(place.topLeft());
    }
  }
  m_preview->show();
  m_preview->raise();
  m_preview->activateWindow();
}

void frmBriefing::selectEntry(bool tasks, int row, int line, int column) {
  // The same signals as a user's clicks, so the handlers store and load the
  // boxes as they always do.
  if (lstBriefing->currentRow() != (tasks ? 0 : 1))
    lstBriefing->setCurrentRow(tasks ? 0 : 1);
  QListWidget* list = tasks ? lstTasks : lstNotes;
  if (row < 0 || row >= list->count())
    return;
  list->setCurrentRow(row);
  if (line > 0) {
    BriefingTextBox* box = tasks ? txtTasks : txtNotes;
    const QTextBlock block = box->document()->findBlockByNumber(line - 1);
    if (block.isValid()) {
      QTextCursor cursor(block);
      cursor.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
      box->setTextCursor(cursor);
      box->setFocus();
    }
  }
  activateWindow();
  raise();
}
