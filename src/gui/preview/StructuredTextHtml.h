#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Turns a briefing text (CR LF line breaks, the game's tags and entities) into
// the HTML of Qt's rich text, as close to the game's map screen as Qt allows:
// "<br/>" and CR LF break the line, a marker tag is a link to "marker:NAME"
// with the name as tooltip, an execute tag a link to "execute:EXPRESSION"
// (never run), a font tag a span with its colour, size and face, and anything
// the game does not read as structured text shows as literal text.
//
// picture(file) gives the image source for a picture tag's file, or an empty
// string when it cannot be shown; then a framed placeholder names the file.
// basePointSize is the text's size, which a font tag's size multiplies.
QString structuredTextToHtml(const QString& text, const std::function<QString(const QString& file)>& picture,
                             double basePointSize);

// The same HTML as one paragraph per line of the text, each complete in
// itself: a document made from them has one block per line.
QStringList structuredTextToHtmlLines(const QString& text,
                                      const std::function<QString(const QString& file)>& picture,
                                      double basePointSize);

// The HTML of an empty line.
QString emptyHtmlLine();
