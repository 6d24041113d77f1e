#include "BriefingJson.h"

#include "platform/RuntimeError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

#include <algorithm>

namespace {

constexpr char16_t kLoneCr = u'\u240D'; // ␍
constexpr char16_t kLoneLf = u'\u240A'; // ␊

const QStringList kSides = {QStringLiteral("WEST"), QStringLiteral("EAST"), QStringLiteral("RESISTANCE"),
                            QStringLiteral("CIVILIAN")};

// A JSON string literal: quotes, backslashes and control characters escaped,
// everything else as UTF-8.
void appendString(QByteArray& out, const QString& value) {
  out += '"';
  for (const QChar c : value) {
    const char16_t u = c.unicode();
    switch (u) {
    case u'"':
      out += "\\\"";
      break;
    case u'\\':
      out += "\\\\";
      break;
    case u'\n':
      out += "\\n";
      break;
    case u'\r':
      out += "\\r";
      break;
    case u'\t':
      out += "\\t";
      break;
    default:
      if (u < 0x20 || (u >= 0x7F && u < 0xA0))
        out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
      else
        out += QString(c).toUtf8();
    }
  }
  out += '"';
}

void appendEntries(QByteArray& out, const char* key, const QList<JsonBriefing::Entry>& entries, bool last) {
  out += "  \"";
  out += key;
  out += "\": [";
  for (qsizetype i = 0; i < entries.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"title\": ";
    appendString(out, BriefingJson::textToJson(entries[i].title));
    out += ", \"text\": ";
    appendString(out, BriefingJson::textToJson(entries[i].text));
    out += '}';
  }
  out += entries.isEmpty() ? "]" : "\n  ]";
  out += last ? "\n" : ",\n";
}

// Where a parse error stands: lines end at LF, columns count characters.
JsonError syntaxError(const QByteArray& json, const QJsonParseError& error) {
  JsonError e{error.errorString(), 1, 1};
  const qsizetype end = std::clamp<qsizetype>(error.offset, 0, json.size());
  for (qsizetype i = 0; i < end; ++i) {
    const auto b = static_cast<unsigned char>(json[i]);
    if (b == '\n') {
      ++e.line;
      e.column = 1;
    } else if ((b & 0xC0) != 0x80) { // not a UTF-8 continuation byte
      ++e.column;
    }
  }
  return e;
}

[[noreturn]] void fieldError(const QString& place, const QString& what) { throw JsonError{place + ": " + what}; }

// The object's keys must be exactly the expected ones: a misspelt key would
// otherwise go unnoticed.
void checkKeys(const QJsonObject& object, const QString& place, const QStringList& expected) {
  for (const QString& key : expected)
    if (!object.contains(key))
      fieldError(place.isEmpty() ? key : place + '.' + key, QStringLiteral("missing"));
  for (auto it = object.begin(); it != object.end(); ++it)
    if (!expected.contains(it.key()))
      fieldError(place.isEmpty() ? QStringLiteral("the briefing") : place,
                 QStringLiteral("unknown field \"%1\"").arg(it.key()));
}

QString stringAt(const QJsonObject& object, const QString& key, const QString& place) {
  const QJsonValue value = object.value(key);
  if (!value.isString())
    fieldError(place, QStringLiteral("must be a string"));
  return value.toString();
}

QList<JsonBriefing::Entry> entriesAt(const QJsonObject& root, const QString& key) {
  const QJsonValue value = root.value(key);
  if (!value.isArray())
    fieldError(key, QStringLiteral("must be a list of entries"));
  const QJsonArray array = value.toArray();
  QList<JsonBriefing::Entry> entries;
  entries.reserve(array.size());
  for (qsizetype i = 0; i < array.size(); ++i) {
    const QString place = QStringLiteral("%1[%2]").arg(key).arg(i);
    if (!array[i].isObject())
      fieldError(place, QStringLiteral("must be an object with a title and a text"));
    const QJsonObject entry = array[i].toObject();
    checkKeys(entry, place, {QStringLiteral("title"), QStringLiteral("text")});
    const QString title = stringAt(entry, QStringLiteral("title"), place + ".title");
    if (title.contains(u'\n') || title.contains(u'\r'))
      fieldError(place + ".title", QStringLiteral("a title is one line, but this one holds a line break"));
    entries.append({BriefingJson::textFromJson(title),
                    BriefingJson::textFromJson(stringAt(entry, QStringLiteral("text"), place + ".text"))});
  }
  return entries;
}

} // namespace

QString BriefingJson::textToJson(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == kLoneCr || c == kLoneLf)
      throw RuntimeError(ErrorNumber::InvalidArgument,
                         QStringLiteral("The character %1 in \"%2\" cannot be exported: it stands for a lone %3 "
                                        "in the JSON")
                             .arg(c, text.left(40), c == kLoneCr ? "CR" : "LF")
                             .toStdString());
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      out += u'\n';
      ++i;
    } else if (c == u'\r') {
      out += kLoneCr;
    } else if (c == u'\n') {
      out += kLoneLf;
    } else {
      out += c;
    }
  }
  return out;
}

QString BriefingJson::textFromJson(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 16);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        ++i;
      out += QStringLiteral("\r\n");
    } else if (c == kLoneCr) {
      out += u'\r';
    } else if (c == kLoneLf) {
      out += u'\n';
    } else {
      out += c;
    }
  }
  return out;
}

QByteArray BriefingJson::write(const JsonBriefing& briefing) {
  QByteArray out = "{\n  \"side\": ";
  appendString(out, briefing.side);
  out += ",\n  \"currentTask\": ";
  if (briefing.currentTask.isNull())
    out += "null";
  else
    appendString(out, textToJson(briefing.currentTask));
  out += ",\n";
  appendEntries(out, "notes", briefing.notes, false);
  appendEntries(out, "tasks", briefing.tasks, true);
  out += "}\n";
  return out;
}

JsonBriefing BriefingJson::read(const QByteArray& json) {
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
  if (parseError.error != QJsonParseError::NoError)
    throw syntaxError(json, parseError);
  if (!document.isObject())
    fieldError(QStringLiteral("the briefing"), QStringLiteral("must be a JSON object"));
  const QJsonObject root = document.object();
  checkKeys(root, QString(),
            {QStringLiteral("side"), QStringLiteral("currentTask"), QStringLiteral("notes"), QStringLiteral("tasks")});

  JsonBriefing briefing;
  briefing.side = stringAt(root, QStringLiteral("side"), QStringLiteral("side"));
  if (!kSides.contains(briefing.side))
    fieldError(QStringLiteral("side"),
               QStringLiteral("\"%1\" is not one of WEST, EAST, RESISTANCE and CIVILIAN").arg(briefing.side));
  briefing.notes = entriesAt(root, QStringLiteral("notes"));
  briefing.tasks = entriesAt(root, QStringLiteral("tasks"));

  // null (or "") for none; any other title must be a task's, as the editor's
  // current task always is.
  const QJsonValue current = root.value(QStringLiteral("currentTask"));
  if (!current.isNull()) {
    briefing.currentTask = textFromJson(stringAt(root, QStringLiteral("currentTask"), QStringLiteral("currentTask")));
    const bool named = briefing.currentTask.isEmpty() ||
                       std::any_of(briefing.tasks.cbegin(), briefing.tasks.cend(),
                                   [&](const JsonBriefing::Entry& t) { return t.title == briefing.currentTask; });
    if (!named)
      fieldError(QStringLiteral("currentTask"),
                 QStringLiteral("\"%1\" is the title of no task").arg(briefing.currentTask));
  }
  return briefing;
}
