#pragma once

#include <QPlainTextEdit>
#include <QString>

// The text box of an entry's text. The model breaks lines with CR LF, the box
// with its own block breaks; a text the user did not touch reads back exactly
// as it was loaded, also where the box cannot show it as it is (a lone CR or
// LF, CR CR LF).
class BriefingTextBox : public QPlainTextEdit {
public:
  using QPlainTextEdit::QPlainTextEdit;

  // Loads a model text, showing each CR LF as a line break.
  void setModelText(const QString& text);
  // The box's text as the model holds it, CR LF line breaks restored.
  QString modelText() const;

private:
  // The model text the box was last loaded with (or last turned into), and
  // the revision of its document then: while the revision stays, that is its
  // text. Every change of the content, an undo included, moves it on.
  mutable QString m_model;
  mutable int m_revision = -1;
};
