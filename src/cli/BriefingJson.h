#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A briefing as quillfort-cli carries it between a script and JSON:
//   {"side": "WEST", "currentTask": "Take the bridge" or null,
//    "notes": [{"title": ..., "text": ...}], "tasks": [...]}
// Lists are in editor order. Here the texts are the model's: line breaks are
// CR LF, as in the editor and the script.
//
// A script of several sides is a list of such briefings, one a side, in the
// script's block order, the game master's ("side": "LOGIC") among them:
//   {"sides": [{"side": "WEST", ...}, {"side": "LOGIC", ...}]}
//
// In the JSON a text's line break is "\n" (and "\r\n" or a lone "\r" read as
// one too). A lone CR or LF inside a text, which only a hand-edited script
// holds, travels as the symbol the Unicode standard has for it: U+240D (␍)
// for CR and U+240A (␊) for LF. The code page of a script cannot hold those
// two, so they never stand for themselves and every text comes back exactly.
struct JsonBriefing {
  struct Entry {
    QString title;
    QString text;
  };
  QString side;
  QString currentTask; // empty for no current task
  QList<Entry> notes;
  QList<Entry> tasks;
};

// A JSON file that is no briefing. line is 0 when the fault has no single
// place in the text (a missing field); the message then names the field.
struct JsonError {
  QString message;
  int line = 0;
  int column = 0;
};

namespace BriefingJson {

// The largest JSON file build reads: a briefing at the limits of the format,
// 510 entries with texts of tens of kilobytes, is a few megabytes; this is
// there so that a file of gigabytes is refused before it is read.
inline constexpr qint64 kMaxSize = qint64(64) << 20;

// The JSON text (UTF-8) of a briefing, one entry a line so that a change to
// one entry is one changed line in version control. Throws RuntimeError 5 when
// a text holds ␍ or ␊ itself, which the JSON could not tell from a lone CR
// or LF.
QByteArray write(const JsonBriefing& briefing);
// The same for a script of several sides: {"sides": [...]}.
QByteArray write(const QList<JsonBriefing>& sides);

// The briefings of a JSON text, one a side: one for a briefing of one side,
// which is for a playable side; the sides' list may name the game master's
// (LOGIC) too, and no side twice. Throws JsonError. The JSON is read
// strictly: no raw control character inside a string, no key twice in one
// object, and no list or object of more than 255 members, where reading
// stops.
QList<JsonBriefing> read(const QByteArray& json);

// A model text as the JSON holds it, and back.
QString textToJson(const QString& text);
QString textFromJson(const QString& text);

} // namespace BriefingJson
