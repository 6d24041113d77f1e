#pragma once

#include "core/format/Briefing.h"

#include <QByteArray>
#include <QString>

// A briefing in JSON, as quillfort-cli writes and reads it:
//   {"encoding": "utf-8", "side": "WEST", "currentTask": "Take the bridge" or null,
//    "notes": [{"title": ..., "text": ...}], "tasks": [...]}
// Lists are in editor order. A briefing of several sides (or the game
// master's alone) lists one such briefing a side, in the script's block order:
//   {"encoding": "utf-8", "sides": [{"side": "WEST", ...}, {"side": "LOGIC", ...}]}
// "encoding" is "utf-8" or "ansi"; a briefing that names none is UTF-8.
//
// In the JSON a text's line break is "\n" (and "\r\n" or a lone "\r" read as
// one too). A lone CR or LF inside a text, which only a hand-edited script
// holds, travels as the symbol the Unicode standard has for it: U+240D (␍)
// for CR and U+240A (␊) for LF. A text that holds either of those symbols
// itself cannot be exported, so every text comes back exactly.

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
// one entry is one changed line in version control: the form of one side
// where the briefing is one playable side's, the sides' form otherwise.
// Throws RuntimeError 5 when a text holds ␍ or ␊ itself, which the JSON could
// not tell from a lone CR or LF.
QByteArray write(const Briefing& briefing);

// The briefing of a JSON text: the form of one side is for a playable side;
// the sides' list may name the game master's (LOGIC) too, and no side twice.
// Throws JsonError. The JSON is read strictly: no raw control character
// inside a string, no key twice in one object, and no list or object of more
// than 255 members, where reading stops.
Briefing read(const QByteArray& json);

// A model text as the JSON holds it, and back.
QString textToJson(const QString& text);
QString textFromJson(const QString& text);

} // namespace BriefingJson
