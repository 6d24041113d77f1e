#include "gui/editor/frmBriefing.h"

// The marker and picture commands, which edit the text box of the page shown.
#include "gui/editor/BriefingTextBox.h"
#include "gui/platform/Dialogs.h"

#include <QTextCursor>

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
