#include "gui/editor/frmBriefing.h"

// The text boxes: their text as the model holds it, and the marker and
// picture commands that edit it.
#include "gui/platform/Dialogs.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

namespace {

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
