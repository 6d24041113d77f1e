#include "gui/editor/BriefingTextBox.h"

#include <QTextDocument>

#include <algorithm>

namespace {

// The box breaks blocks with U+2029 in its raw text (kept raw so that a
// no-break space stays what it is).
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

void BriefingTextBox::setModelText(const QString& text) {
  // The box breaks blocks at CR LF as at a lone CR or LF, so the model text
  // goes in as it is. Only where CR CR LF occurs would that differ from the
  // box's text with CR LF turned into LF (whose new CR LF is one break).
  if (text.contains(QLatin1String("\r\r\n")))
    setPlainText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  else
    setPlainText(text);
  m_model = text;
  m_revision = document()->revision();
}

QString BriefingTextBox::modelText() const {
  const int revision = document()->revision();
  if (revision != m_revision) {
    // Kept for the next call: saving again, or a preview, takes it as it is.
    m_model = boxToModel(document()->toRawText());
    m_revision = revision;
  }
  return m_model;
}
