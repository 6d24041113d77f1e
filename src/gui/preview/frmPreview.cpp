#include "gui/preview/frmPreview.h"

#include "files/QtText.h"
#include "gui/preview/StructuredTextHtml.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

namespace {

constexpr int kShownFindings = 500; // more would only slow the list down
// Twice what a script the editor can reopen holds in all: the rest of a longer
// text is left out, so that typing in it stays quick.
constexpr qsizetype kShownCharacters = 65536;

// The text up to the limit, cut before a tag or line break it would split.
QString shownPart(const QString& text) {
  if (text.size() <= kShownCharacters)
    return text;
  QString part = text.left(kShownCharacters);
  const qsizetype open = part.lastIndexOf(QLatin1Char('<'));
  if (open >= 0 && part.indexOf(QLatin1Char('>'), open) < 0)
    part.truncate(open);
  if (part.endsWith(QLatin1Char('\r')))
    part.chop(1);
  return part;
}

// Brings a list's rows to the titles without rebuilding rows that did not change.
void syncTitles(QListWidget* list, const std::vector<BriefingEntry>& entries, int current, int selected) {
  const QSignalBlocker blocker(list);
  const int count = static_cast<int>(entries.size());
  while (list->count() > count)
    delete list->takeItem(list->count() - 1);
  while (list->count() < count)
    list->addItem(QString());
  for (int i = 0; i < count; ++i) {
    QListWidgetItem* item = list->item(i);
    const QString title = toQString(entries[static_cast<std::size_t>(i)].title);
    const QString shown = i == current ? QStringLiteral("\u25B6 ") + title : title;
    if (item->text() != shown)
      item->setText(shown);
    const bool mark = i == current;
    if (item->font().bold() != mark) {
      QFont font = item->font();
      font.setBold(mark);
      item->setFont(font);
      item->setToolTip(mark ? QStringLiteral("Current task") : QString());
    }
  }
  list->setCurrentRow(selected);
}

// Where the lines from block `first` up to block `last` (exclusive) of a
// document lie: with lines after them, up to the start of the next one; at
// the end of the document, from the end of the line before them.
std::pair<int, int> blockRange(const QTextDocument& doc, int first, int last) {
  const int end = doc.characterCount() - 1;
  if (last < doc.blockCount())
    return {first < doc.blockCount() ? doc.findBlockByNumber(first).position() : end,
            doc.findBlockByNumber(last).position()};
  if (first == 0)
    return {0, end};
  const QTextBlock before = doc.findBlockByNumber(first - 1);
  return {before.position() + before.length() - 1, end};
}

bool anyTable(const QStringList& lines) {
  for (const QString& line : lines)
    if (line.contains(QLatin1String("<table")))
      return true;
  return false;
}

// Brings the shown document from the old lines' HTML to the new, laying out
// again only the lines that differ: typing in a long text stays quick. Each
// line is one block, except where a table (a picture's placeholder) stands.
void updateDocument(QTextDocument* shown, const QStringList& old, const QStringList& lines) {
  const int n = int(old.size());
  const int m = int(lines.size());
  if (anyTable(old) || anyTable(lines) || shown->blockCount() != n) {
    shown->setHtml(lines.join(QString()));
    return;
  }
  int same = 0;
  while (same < n && same < m && old[same] == lines[same])
    ++same;
  if (same == n && same == m)
    return;
  int sameAtEnd = 0;
  while (sameAtEnd < n - same && sameAtEnd < m - same && old[n - 1 - sameAtEnd] == lines[m - 1 - sameAtEnd])
    ++sameAtEnd;
  // The changed lines, with an empty line on the side where the range of the
  // shown document takes a line break too.
  const QStringList changed = lines.mid(same, m - same - sameAtEnd);
  const bool breakAfter = sameAtEnd > 0;
  const bool breakBefore = !breakAfter && same > 0;
  QTextDocument fresh;
  fresh.setDefaultFont(shown->defaultFont());
  fresh.setHtml((breakBefore ? emptyHtmlLine() : QString()) + changed.join(QString()) +
                (breakAfter ? emptyHtmlLine() : QString()));
  const int newTo = breakAfter ? fresh.lastBlock().position() : fresh.characterCount() - 1;

  const auto [from, to] = blockRange(*shown, same, n - sameAtEnd);
  QTextCursor cursor(shown);
  cursor.beginEditBlock();
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  if (newTo == 0) {
    cursor.removeSelectedText();
  } else {
    QTextCursor source(&fresh);
    source.setPosition(newTo, QTextCursor::KeepAnchor);
    cursor.insertFragment(QTextDocumentFragment(source));
  }
  cursor.endEditBlock();
}

QString describe(const BriefingFinding& f) {
  QString out = f.kind == FindingKind::LeftOut            ? QStringLiteral("left out: ")
                : f.severity == FindingSeverity::Error ? QStringLiteral("error: ")
                                                         : QStringLiteral("warning: ");
  if (f.field == FindingField::Script)
    return out + QStringLiteral("the script's line %1, column %2: ").arg(f.line).arg(f.column) +
           QString::fromStdString(f.message);
  if (f.side)
    out += toQString(infoOf(*f.side).word) + QLatin1Char(' ');
  if (f.list == FindingList::Briefing) {
    out += QStringLiteral("the briefing");
  } else {
    out += f.list == FindingList::Notes ? QStringLiteral("note ") : QStringLiteral("task ");
    out += QString::number(f.index + 1) + QStringLiteral(" \"") + toQString(f.title) + QLatin1Char('"');
    out += f.field == FindingField::Title ? QStringLiteral(", title") : QStringLiteral(", text");
    if (f.line > 0 && f.field == FindingField::Text)
      out += QStringLiteral(" %1:%2").arg(f.line).arg(f.column);
  }
  return out + QStringLiteral(": ") + QString::fromStdString(f.message);
}

} // namespace

frmPreview::frmPreview(QWidget& owner, PreviewSource& source)
    : QWidget(&owner, Qt::Window), m_owner(owner), m_source(source) {
  setObjectName(QStringLiteral("frmPreview"));
  setWindowTitle(QStringLiteral("Briefing Preview"));
  // Closing the editor still ends the program while the preview is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(900, 680);

  auto named = [](QWidget* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  lblPreviewSide = new QLabel(this);
  named(lblPreviewSide, "lblPreviewSide");
  QFont heading = lblPreviewSide->font();
  heading.setBold(true);
  heading.setPointSizeF(heading.pointSizeF() * 1.3);
  lblPreviewSide->setFont(heading);

  lstPreviewNotes = new QListWidget(this);
  named(lstPreviewNotes, "lstPreviewNotes");
  lstPreviewTasks = new QListWidget(this);
  named(lstPreviewTasks, "lstPreviewTasks");
  lblPreviewTitle = new QLabel(this);
  named(lblPreviewTitle, "lblPreviewTitle");
  lblPreviewTitle->setFont(heading);
  lblPreviewTitle->setTextFormat(Qt::PlainText);
  txtPreview = new QTextBrowser(this);
  named(txtPreview, "txtPreview");
  // Links are shown, never followed: a marker link has nowhere to go here and
  // an execute link's expression is the game's to run.
  txtPreview->setOpenLinks(false);
  txtPreview->setOpenExternalLinks(false);
  txtPreview->document()->setUndoRedoEnabled(false);
  lstFindings = new QListWidget(this);
  named(lstFindings, "lstFindings");
  lstFindings->setAccessibleName(QStringLiteral("Findings of the briefing check"));
  // Each message whole: wrapped to the pane's width, which follows the
  // window, and in full on hover and for screen readers.
  lstFindings->setWordWrap(true);
  lstFindings->setUniformItemSizes(false);
  lstFindings->setResizeMode(QListView::Adjust);
  lstFindings->setTextElideMode(Qt::ElideNone);

  auto* lists = new QVBoxLayout;
  lists->addWidget(new QLabel(QStringLiteral("Notes"), this));
  lists->addWidget(lstPreviewNotes);
  lists->addWidget(new QLabel(QStringLiteral("Tasks"), this));
  lists->addWidget(lstPreviewTasks);
  auto* page = new QVBoxLayout;
  page->addWidget(lblPreviewTitle);
  page->addWidget(txtPreview, 1);
  auto* map = new QHBoxLayout;
  map->addLayout(lists, 1);
  map->addLayout(page, 2);
  auto* top = new QWidget(this);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->addWidget(lblPreviewSide);
  topLayout->addLayout(map, 1);
  auto* bottom = new QWidget(this);
  auto* bottomLayout = new QVBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  bottomLayout->addWidget(new QLabel(QStringLiteral("Briefing check"), this));
  bottomLayout->addWidget(lstFindings);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(top);
  splitter->addWidget(bottom);
  splitter->setChildrenCollapsible(false);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter);

  // What the user selects, by a click or the keys; a list that takes the
  // focus with no current row makes its first row current without selecting
  // it, and no one chose that entry.
  connect(lstPreviewNotes, &QListWidget::itemSelectionChanged, this, [this] { titleChosen(false); });
  connect(lstPreviewTasks, &QListWidget::itemSelectionChanged, this, [this] { titleChosen(true); });
  connect(lstFindings, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { findingChosen(lstFindings->row(item)); });
  connect(lstFindings, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { findingChosen(lstFindings->row(item)); });
  owner.installEventFilter(this);
}

QTextDocument* frmPreview::document() const { return txtPreview->document(); }

void frmPreview::scheduleRefresh() {
  m_stale = true;
  if (m_scheduled)
    return;
  m_scheduled = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_scheduled = false;
        if (isVisible())
          refresh();
      },
      Qt::QueuedConnection);
}

bool frmPreview::eventFilter(QObject* watched, QEvent* event) {
  // The preview goes when the editor window closes.
  if (watched == &m_owner && event->type() == QEvent::Close)
    close();
  return QWidget::eventFilter(watched, event);
}

void frmPreview::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_stale)
    refresh();
}

void frmPreview::refresh() {
  m_stale = false;
  const BriefingView view = m_source.previewView();
  const SideBriefing& side = view.briefing.sides.front();
  m_folder = view.folder;
  m_syncing = true;
  lblPreviewSide->setText(toQString(infoOf(side.side).word));
  // The current task as players see it: the first task of the label's
  // title, which the script's setCurrentTask line names.
  syncTitles(lstPreviewNotes, side.notes, -1, view.tasksPage ? -1 : view.selectedNote);
  syncTitles(lstPreviewTasks, side.tasks, currentTaskOf(side.tasks, side.currentTask).first,
             view.tasksPage ? view.selectedTask : -1);
  m_syncing = false;

  const auto& entries = view.tasksPage ? side.tasks : side.notes;
  const int selected = view.tasksPage ? view.selectedTask : view.selectedNote;
  const bool any = selected >= 0 && selected < static_cast<int>(entries.size());
  const QString title = any ? toQString(entries[static_cast<std::size_t>(selected)].title) : QString();
  const QString text = any ? toQString(entries[static_cast<std::size_t>(selected)].text) : QString();
  if (lblPreviewTitle->text() != title)
    lblPreviewTitle->setText(title);
  if (any != m_shownAny || text != m_shownText || view.folder != m_shownFolder) {
    m_shownAny = any;
    m_shownText = text;
    m_shownFolder = view.folder;
    const QString part = shownPart(text);
    QStringList lines = structuredTextToHtmlLines(
        part, [this](const QString& file) { return pictureSource(file); }, txtPreview->font().pointSizeF());
    if (part.size() < text.size())
      lines << QStringLiteral("<p><i>(%1 more characters not shown)</i></p>").arg(text.size() - part.size());
    updateDocument(txtPreview->document(), m_shownLines, lines);
    m_shownLines = lines;
  }

  const std::filesystem::path folder(QDir::fromNativeSeparators(view.folder).toStdU16String());
  m_findings = view.fileFindings;
  for (BriefingFinding& f : checkBriefing(view.briefing, picturesInFolder(folder)))
    m_findings.push_back(std::move(f));

  QStringList lines;
  const int shown = std::min<int>(int(m_findings.size()), kShownFindings);
  lines.reserve(shown + 1);
  for (int i = 0; i < shown; ++i)
    lines << describe(m_findings[std::size_t(i)]);
  if (int(m_findings.size()) > shown)
    lines << QStringLiteral("... and %1 more").arg(int(m_findings.size()) - shown);
  if (lines != m_findingLines) {
    m_findingLines = lines;
    lstFindings->clear();
    lstFindings->addItems(lines);
    for (int i = 0; i < lstFindings->count(); ++i) {
      lstFindings->item(i)->setToolTip(lines[i]);
      lstFindings->item(i)->setData(Qt::AccessibleTextRole, lines[i]);
    }
    for (int i = 0; i < shown; ++i)
      if (m_findings[std::size_t(i)].severity == FindingSeverity::Error)
        lstFindings->item(i)->setForeground(Qt::red);
  }
}

void frmPreview::titleChosen(bool tasks) {
  const QList<QListWidgetItem*> selected = (tasks ? lstPreviewTasks : lstPreviewNotes)->selectedItems();
  if (m_syncing || selected.isEmpty())
    return;
  const int row = (tasks ? lstPreviewTasks : lstPreviewNotes)->row(selected.front());
  m_source.selectEntry(tasks, row);
}

void frmPreview::findingChosen(int row) {
  if (row < 0 || row >= int(m_findings.size()))
    return;
  const BriefingFinding& f = m_findings[std::size_t(row)];
  if (f.list == FindingList::Briefing)
    return;
  if (f.side)
    m_source.editSide(*f.side); // another side's entry: its briefing comes into the window
  const bool text = f.field == FindingField::Text;
  m_source.selectEntry(f.list == FindingList::Tasks, f.index, text ? f.line : 0, text ? f.column : 0);
}

QString frmPreview::pictureSource(const QString& file) {
  // The same rule as the briefing check's: a file of the mission folder.
  const auto found = missionFile(QDir::fromNativeSeparators(m_folder).toStdU16String(), u16View(file));
  if (!found)
    return QString();
  const QString path = QString::fromStdU16String(found->generic_u16string());
  const QFileInfo info(path);
  if (!info.isFile())
    return QString();
  const qint64 modified = info.lastModified().toMSecsSinceEpoch();
  Picture& known = m_pictures[path];
  if (known.modified != modified) {
    known.modified = modified;
    QImageReader reader(path);
    known.readable = reader.canRead();
  }
  return known.readable ? QUrl::fromLocalFile(path).toString() : QString();
}

QRect frmPreview::placeBeside(const QRect& screen, const QRect& editor, QSize wanted) {
  wanted = wanted.boundedTo(screen.size());
  const QSize minimum = kMinimumSize.boundedTo(wanted);
  struct Place {
    QRect free;   // the room on that side of the editor
    QPoint at;    // where the preview goes, before it is moved onto the screen
  };
  const auto room = [&](int free, int minimumSide, int wantedSide) { return std::clamp(free, minimumSide, wantedSide); };
  QRect best;
  qint64 bestCovered = -1;
  for (int side = 0; side < 4; ++side) {
    const bool across = side < 2; // right or left: the width is what the room limits
    const int free = side == 0   ? screen.right() - editor.right()
                     : side == 1 ? editor.left() - screen.left()
                     : side == 2 ? screen.bottom() - editor.bottom()
                                 : editor.top() - screen.top();
    const QSize size = across ? QSize(room(free, minimum.width(), wanted.width()), wanted.height())
                              : QSize(wanted.width(), room(free, minimum.height(), wanted.height()));
    const QPoint at = side == 0   ? QPoint(editor.right() + 1, editor.top())
                      : side == 1 ? QPoint(editor.left() - size.width(), editor.top())
                      : side == 2 ? QPoint(editor.left(), editor.bottom() + 1)
                                  : QPoint(editor.left(), editor.top() - size.height());
    QRect place(at, size);
    place.moveLeft(std::clamp(place.left(), screen.left(), screen.right() + 1 - place.width()));
    place.moveTop(std::clamp(place.top(), screen.top(), screen.bottom() + 1 - place.height()));
    const QRect covered = place.intersected(editor);
    const qint64 area = covered.isEmpty() ? 0 : qint64(covered.width()) * covered.height();
    if (bestCovered < 0 || area < bestCovered ||
        (area == bestCovered && qint64(place.width()) * place.height() > qint64(best.width()) * best.height())) {
      best = place;
      bestCovered = area;
    }
  }
  return best;
}
