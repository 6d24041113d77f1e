#include "gui/preview/StructuredTextHtml.h"

#include "core/check/StructuredText.h"
#include "files/QtText.h"

#include <QColor>
#include <QRegularExpression>
#include <QUrl>

#include <utility>
#include <vector>

using StructuredText::TagName;
using StructuredText::TokenKind;

namespace {

QString escaped(std::u16string_view text) {
  QString out = toQString(text).toHtmlEscaped();
  // A lone CR or LF is no line break in the game's text.
  out.replace(QLatin1Char('\r'), QLatin1Char(' '));
  out.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return out;
}

QString attribute(const StructuredText::Token& token, std::u16string_view name) {
  const auto* value = token.attribute(name);
  return value ? toQString(*value) : QString();
}

QString link(const char* scheme, const QString& target) {
  return QStringLiteral("<a href=\"%1:%2\" title=\"%3\">")
      .arg(QLatin1String(scheme), QString::fromLatin1(QUrl::toPercentEncoding(target)),
           target.toHtmlEscaped());
}

// The game writes colours as #RRGGBB or #AARRGGBB.
QString fontStyle(const StructuredText::Token& token, double basePointSize) {
  QString style;
  const QString color = attribute(token, u"color");
  if (const QColor c(color); !color.isEmpty() && c.isValid())
    style += QStringLiteral("color:%1;").arg(c.name());
  bool ok = false;
  const double size = attribute(token, u"size").toDouble(&ok);
  if (ok && size > 0 && size <= 10)
    style += QStringLiteral("font-size:%1pt;").arg(basePointSize * size, 0, 'f', 1);
  QString face = attribute(token, u"face");
  face.remove(QRegularExpression(QStringLiteral("[;'\"<>&]")));
  if (!face.isEmpty())
    style += QStringLiteral("font-family:'%1';").arg(face);
  return QStringLiteral("<span style=\"%1\">").arg(style);
}

QString placeholder(const QString& file) {
  return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"6\" width=\"200\">"
                        "<tr><td height=\"200\" align=\"center\" valign=\"middle\">%1</td></tr></table>")
      .arg(file.toHtmlEscaped());
}

} // namespace

namespace {

// Builds the HTML one paragraph per line, so that a change to one line
// changes one block of the document. Elements open at a line break are
// closed before it and opened again after it.
class HtmlLines {
public:
  HtmlLines() = default;

  void text(const QString& html) {
    m_line += html;
    m_visible = true;
  }
  void open(TagName tag, const QString& html) {
    m_open.push_back({tag, html});
    m_line += html;
  }
  bool close(TagName tag) {
    if (m_open.empty() || m_open.back().first != tag)
      return false;
    m_line += closing(tag);
    m_open.pop_back();
    return true;
  }
  void lineBreak() {
    endLine();
    for (const auto& [tag, html] : m_open)
      m_line += html;
  }
  QStringList finish() {
    endLine();
    return m_lines;
  }

private:
  static QLatin1String closing(TagName tag) {
    return tag == TagName::Font ? QLatin1String("</span>") : QLatin1String("</a>");
  }
  void endLine() {
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
      m_line += closing(it->first);
    m_lines << (m_visible ? QLatin1String("<p style=\"margin-top:0px; margin-bottom:0px;\">") + m_line +
                                QLatin1String("</p>")
                          : emptyHtmlLine());
    m_line.clear();
    m_visible = false;
  }

  QStringList m_lines;
  QString m_line;
  bool m_visible = false;
  std::vector<std::pair<TagName, QString>> m_open;
};

} // namespace

QString emptyHtmlLine() {
  // Qt keeps an empty paragraph only when it is marked as one.
  return QStringLiteral(
      "<p style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px;\"><br/></p>");
}

QString structuredTextToHtml(const QString& text, const std::function<QString(const QString& file)>& picture,
                             double basePointSize) {
  return structuredTextToHtmlLines(text, picture, basePointSize).join(QString());
}

QStringList structuredTextToHtmlLines(const QString& text,
                                      const std::function<QString(const QString& file)>& picture,
                                      double basePointSize) {
  const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()),
                                 static_cast<std::size_t>(text.size()));
  HtmlLines out;
  for (const auto& token : StructuredText::tokenize(view)) {
    const auto written = view.substr(token.begin, token.end - token.begin);
    switch (token.kind) {
    case TokenKind::Text:
      out.text(escaped(written));
      continue;
    case TokenKind::LineBreak:
      out.lineBreak();
      continue;
    case TokenKind::Entity:
      out.text(QString::fromUcs4(&token.character, 1).toHtmlEscaped());
      continue;
    case TokenKind::Tag:
      break;
    }
    if (token.closing) {
      if (!out.close(token.tag))
        out.text(escaped(written));
      continue;
    }
    switch (token.tag) {
    case TagName::Br:
      out.lineBreak();
      break;
    case TagName::Marker:
      if (!token.selfClosing)
        out.open(TagName::Marker, link("marker", attribute(token, u"name")));
      break;
    case TagName::Execute:
      if (!token.selfClosing)
        out.open(TagName::Execute, link("execute", attribute(token, u"expression")));
      break;
    case TagName::Font:
      if (!token.selfClosing)
        out.open(TagName::Font, fontStyle(token, basePointSize));
      break;
    case TagName::Img: {
      const QString file = attribute(token, u"image");
      const QString source = file.isEmpty() || !picture ? QString() : picture(file);
      if (source.isEmpty())
        out.text(placeholder(file.isEmpty() ? QStringLiteral("(no file)") : file));
      else
        out.text(
            QStringLiteral("<img src=\"%1\" width=\"200\" height=\"200\"/>").arg(source.toHtmlEscaped()));
      break;
    }
    case TagName::Unknown:
      out.text(escaped(written));
      break;
    }
  }
  return out.finish();
}
