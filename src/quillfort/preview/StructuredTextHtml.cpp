#include "preview/StructuredTextHtml.h"

#include "check/StructuredText.h"

#include <QColor>
#include <QRegularExpression>
#include <QUrl>

#include <vector>

using StructuredText::TagName;
using StructuredText::TokenKind;

namespace {

QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

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
      .arg(QLatin1String(scheme), QString::fromLatin1(QUrl::toPercentEncoding(target)), target.toHtmlEscaped());
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

QString structuredTextToHtml(const QString& text, const std::function<QString(const QString& file)>& picture,
                             double basePointSize) {
  const std::u16string_view view(reinterpret_cast<const char16_t*>(text.utf16()),
                                 static_cast<std::size_t>(text.size()));
  QString html;
  html.reserve(text.size() + text.size() / 4 + 64);
  std::vector<TagName> open; // the tags whose closing form ends an element
  for (const auto& token : StructuredText::tokenize(view)) {
    const auto written = view.substr(token.begin, token.end - token.begin);
    switch (token.kind) {
    case TokenKind::Text:
      html += escaped(written);
      continue;
    case TokenKind::LineBreak:
      html += QLatin1String("<br/>");
      continue;
    case TokenKind::Entity:
      html += QString::fromUcs4(&token.character, 1).toHtmlEscaped();
      continue;
    case TokenKind::Tag:
      break;
    }
    if (token.closing) {
      if (!open.empty() && open.back() == token.tag) {
        html += token.tag == TagName::Font ? QLatin1String("</span>") : QLatin1String("</a>");
        open.pop_back();
      } else {
        html += escaped(written);
      }
      continue;
    }
    switch (token.tag) {
    case TagName::Br:
      html += QLatin1String("<br/>");
      break;
    case TagName::Marker:
      if (!token.selfClosing) {
        html += link("marker", attribute(token, u"name"));
        open.push_back(TagName::Marker);
      }
      break;
    case TagName::Execute:
      if (!token.selfClosing) {
        html += link("execute", attribute(token, u"expression"));
        open.push_back(TagName::Execute);
      }
      break;
    case TagName::Font:
      if (!token.selfClosing) {
        html += fontStyle(token, basePointSize);
        open.push_back(TagName::Font);
      }
      break;
    case TagName::Img: {
      const QString file = attribute(token, u"image");
      const QString source = file.isEmpty() || !picture ? QString() : picture(file);
      if (source.isEmpty())
        html += placeholder(file.isEmpty() ? QStringLiteral("(no file)") : file);
      else
        html += QStringLiteral("<img src=\"%1\" width=\"200\" height=\"200\"/>").arg(source.toHtmlEscaped());
      break;
    }
    case TagName::Unknown:
      html += escaped(written);
      break;
    }
  }
  for (auto it = open.rbegin(); it != open.rend(); ++it)
    html += *it == TagName::Font ? QLatin1String("</span>") : QLatin1String("</a>");
  return html;
}
