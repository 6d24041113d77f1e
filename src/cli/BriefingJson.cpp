#include "cli/BriefingJson.h"

#include "core/system/RuntimeError.h"
#include "core/text/Utf8.h"
#include "files/QtText.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr char16_t kLoneCr = u'\u240D'; // ␍
constexpr char16_t kLoneLf = u'\u240A'; // ␊

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

void appendEntries(QByteArray& out, const QByteArray& indent, const char* key,
                   const std::vector<BriefingEntry>& entries, bool last) {
  out += indent + '"' + key + "\": [";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    out += indent + "  {\"title\": ";
    appendString(out, BriefingJson::textToJson(toQString(entries[i].title)));
    out += ", \"text\": ";
    appendString(out, BriefingJson::textToJson(toQString(entries[i].text)));
    out += '}';
  }
  out += entries.empty() ? QByteArray("]") : "\n" + indent + "]";
  out += last ? "\n" : ",\n";
}

// One side's briefing, each field on its own line at indent.
void appendBriefing(QByteArray& out, const QByteArray& indent, const SideBriefing& briefing) {
  out += indent + "\"side\": ";
  appendString(out, toQString(infoOf(briefing.side).word));
  out += ",\n" + indent + "\"currentTask\": ";
  if (briefing.currentTask.empty())
    out += "null";
  else
    appendString(out, BriefingJson::textToJson(toQString(briefing.currentTask)));
  out += ",\n";
  appendEntries(out, indent, "notes", briefing.notes, false);
  appendEntries(out, indent, "tasks", briefing.tasks, true);
}

constexpr const char* kEncodings[] = {"utf-8", "ansi"}; // by Encoding

// Where the byte at offset stands: lines end at LF, columns count characters.
JsonError errorAt(const QByteArray& json, qsizetype offset, const QString& message) {
  JsonError e{message, 1, 1};
  const qsizetype end = std::clamp<qsizetype>(offset, 0, json.size());
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

// The JSON text as values, strictly by the JSON standard, which Qt's own
// parser is not: it takes raw control characters inside strings (a NUL among
// them) and keeps the last of two equal keys. It also reads a list of millions
// of entries whole before anyone can count them; this one stops at the
// 256th, since no list or object of a briefing holds more than 255.
class JsonReader {
public:
  explicit JsonReader(const QByteArray& json) : m_json(json) {}

  QJsonValue document() {
    if (m_json.startsWith("\xEF\xBB\xBF")) // a byte order mark, as some editors write
      m_pos = 3;
    const QJsonValue root = value(0, QString());
    skipSpace();
    if (m_pos < m_json.size())
      fail(m_pos, QStringLiteral("more text after the end of the briefing"));
    return root;
  }

private:
  static constexpr int kMaxDepth = 64;
  static constexpr qsizetype kMaxMembers = 255;

  [[noreturn]] void fail(qsizetype at, const QString& message) const { throw errorAt(m_json, at, message); }

  void skipSpace() {
    while (m_pos < m_json.size() &&
           (m_json[m_pos] == ' ' || m_json[m_pos] == '\t' || m_json[m_pos] == '\n' || m_json[m_pos] == '\r'))
      ++m_pos;
  }

  bool next(char c) {
    skipSpace();
    if (m_pos >= m_json.size() || m_json[m_pos] != c)
      return false;
    ++m_pos;
    return true;
  }

  // key: the field the value belongs to, for the message about a long list.
  QJsonValue value(int depth, const QString& key) {
    skipSpace();
    if (m_pos >= m_json.size())
      fail(m_pos, QStringLiteral("the text ends where a value should follow"));
    if (depth >= kMaxDepth)
      fail(m_pos, QStringLiteral("lists and objects nested more than %1 deep").arg(kMaxDepth));
    switch (m_json[m_pos]) {
    case '{':
      return object(depth);
    case '[':
      return array(depth, key);
    case '"':
      return string();
    default:
      break;
    }
    for (const auto& [word, literal] :
         {std::pair{"true", QJsonValue(true)}, std::pair{"false", QJsonValue(false)},
          std::pair{"null", QJsonValue(QJsonValue::Null)}})
      if (QByteArrayView(m_json).sliced(m_pos).startsWith(word)) {
        m_pos += qstrlen(word);
        return literal;
      }
    return number();
  }

  QJsonObject object(int depth) {
    ++m_pos; // {
    QJsonObject object;
    QHash<QString, qsizetype> keyAt; // where each key stands
    if (next('}'))
      return object;
    do {
      skipSpace();
      if (m_pos >= m_json.size() || m_json[m_pos] != '"')
        fail(m_pos, QStringLiteral("a field name in double quotes should follow here"));
      const qsizetype at = m_pos;
      const QString key = string();
      if (const auto first = keyAt.constFind(key); first != keyAt.cend())
        fail(at, QStringLiteral("the field \"%1\" is given twice, first on line %2")
                     .arg(key)
                     .arg(errorAt(m_json, *first, {}).line));
      if (keyAt.size() == kMaxMembers)
        fail(at, QStringLiteral("an object of more than %1 fields").arg(kMaxMembers));
      keyAt.insert(key, at);
      if (!next(':'))
        fail(m_pos, QStringLiteral("\":\" should follow the field name"));
      object.insert(key, value(depth + 1, key));
    } while (next(','));
    if (!next('}'))
      fail(m_pos, QStringLiteral("\",\" or \"}\" should follow a field's value"));
    return object;
  }

  QJsonArray array(int depth, const QString& key) {
    ++m_pos; // [
    QJsonArray array;
    if (next(']'))
      return array;
    do {
      skipSpace();
      if (array.size() == kMaxMembers)
        fail(m_pos,
             key == QStringLiteral("notes") || key == QStringLiteral("tasks")
                 ? QStringLiteral("%1[%2]: a briefing script holds at most %2 %1").arg(key).arg(kMaxMembers)
                 : QStringLiteral("a list of more than %1 entries").arg(kMaxMembers));
      array.append(value(depth + 1, QString()));
    } while (next(','));
    if (!next(']'))
      fail(m_pos, QStringLiteral("\",\" or \"]\" should follow a list entry"));
    return array;
  }

  QString string() {
    const qsizetype start = m_pos++; // "
    QString out;
    qsizetype run = m_pos; // where the characters not yet decoded start
    const auto flush = [&] { out += QString::fromUtf8(m_json.constData() + run, m_pos - run); };
    for (;;) {
      if (m_pos >= m_json.size())
        fail(start, QStringLiteral("a string without its closing quote"));
      const auto b = static_cast<unsigned char>(m_json[m_pos]);
      if (b == '"')
        break;
      if (b < 0x20)
        fail(m_pos,
             QStringLiteral("the control character U+%1 stands unescaped in a string (JSON writes it as "
                            "\\n, \\t or \\u%1)")
                 .arg(b, 4, 16, QLatin1Char('0')));
      if (b == '\\') {
        flush();
        escape(out);
        run = m_pos;
        continue;
      }
      const int length = Utf8::sequenceLength({m_json.constData(), static_cast<std::size_t>(m_json.size())}, static_cast<std::size_t>(m_pos));
      if (length == 0)
        fail(m_pos, QStringLiteral("the text is not valid UTF-8 here"));
      m_pos += length;
    }
    flush();
    ++m_pos; // "
    return out;
  }

  void escape(QString& out) {
    const qsizetype at = m_pos++; // backslash
    const char c = m_pos < m_json.size() ? m_json[m_pos++] : '\0';
    switch (c) {
    case '"':
    case '\\':
    case '/':
      out += QLatin1Char(c);
      return;
    case 'b':
      out += u'\b';
      return;
    case 'f':
      out += u'\f';
      return;
    case 'n':
      out += u'\n';
      return;
    case 'r':
      out += u'\r';
      return;
    case 't':
      out += u'\t';
      return;
    case 'u':
      // One UTF-16 unit; a surrogate pair is two escapes, as JSON writes it.
      if (m_json.size() - m_pos >= 4 &&
          std::all_of(m_json.cbegin() + m_pos, m_json.cbegin() + m_pos + 4,
                      [](char h) { return std::isxdigit(static_cast<unsigned char>(h)); })) {
        out += QChar(static_cast<char16_t>(QByteArrayView(m_json).sliced(m_pos, 4).toUInt(nullptr, 16)));
        m_pos += 4;
        return;
      }
      break;
    default:
      break;
    }
    fail(at,
         QStringLiteral("an escape in a string must be one of \\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX"));
  }

  // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
  QJsonValue number() {
    const qsizetype start = m_pos;
    const auto digits = [&] {
      const qsizetype from = m_pos;
      while (m_pos < m_json.size() && std::isdigit(static_cast<unsigned char>(m_json[m_pos])))
        ++m_pos;
      return m_pos > from;
    };
    const auto take = [&](const char* any) {
      if (m_pos < m_json.size() && m_json[m_pos] != '\0' && std::strchr(any, m_json[m_pos])) {
        ++m_pos;
        return true;
      }
      return false;
    };
    take("-");
    const bool leadingZero = m_pos < m_json.size() && m_json[m_pos] == '0';
    bool ok = digits() && !(leadingZero && m_pos - start > (m_json[start] == '-' ? 2 : 1));
    if (ok && take("."))
      ok = digits();
    if (ok && take("eE")) {
      take("+-");
      ok = digits();
    }
    if (!ok)
      fail(start,
           QStringLiteral("a value should stand here: a string, a number, a list, an object, true, false "
                          "or null"));
    return QByteArrayView(m_json).sliced(start, m_pos - start).toDouble();
  }

  const QByteArray& m_json;
  qsizetype m_pos = 0;
};

// The words of the first count sides of the table: "WEST, EAST, RESISTANCE
// and CIVILIAN".
QString sideList(std::size_t count) {
  QString list;
  for (std::size_t i = 0; i < count; ++i)
    list += (i == 0 ? "" : i + 1 == count ? " and " : ", ") + toQString(kSides[i].word);
  return list;
}

[[noreturn]] void fieldError(const QString& place, const QString& what) {
  throw JsonError{place + ": " + what};
}

// The object's keys must be exactly the expected ones: a misspelt key would
// otherwise go unnoticed.
// optional: keys that may be left out.
void checkKeys(const QJsonObject& object, const QString& place, const QStringList& expected,
               const QStringList& optional = {}) {
  for (const QString& key : expected)
    if (!object.contains(key))
      fieldError(place.isEmpty() ? key : place + '.' + key, QStringLiteral("missing"));
  for (auto it = object.begin(); it != object.end(); ++it)
    if (!expected.contains(it.key()) && !optional.contains(it.key()))
      fieldError(place.isEmpty() ? QStringLiteral("the briefing") : place,
                 QStringLiteral("unknown field \"%1\"").arg(it.key()));
}

QString stringAt(const QJsonObject& object, const QString& key, const QString& place) {
  const QJsonValue value = object.value(key);
  if (!value.isString())
    fieldError(place, QStringLiteral("must be a string"));
  return value.toString();
}

// A title as the model holds it. It must stay on its record's line, so it
// may not hold a line break once ␍ and ␊ are turned back: a lone CR or LF is
// fine, "␍␊" is the script's line end.
QString oneLine(const QString& json, const QString& place) {
  const QString title = BriefingJson::textFromJson(json);
  if (title.contains(QStringLiteral("\r\n")))
    fieldError(place, QStringLiteral("a title is one line, but this one holds a line break"));
  return title;
}

// prefix: where the object stands, "" for the briefing itself, "sides[1]."
// for a side's in a briefing of several.
std::vector<BriefingEntry> entriesAt(const QJsonObject& root, const QString& key, const QString& prefix) {
  const QJsonValue value = root.value(key);
  if (!value.isArray())
    fieldError(prefix + key, QStringLiteral("must be a list of entries"));
  const QJsonArray array = value.toArray();
  std::vector<BriefingEntry> entries;
  entries.reserve(static_cast<std::size_t>(array.size()));
  for (qsizetype i = 0; i < array.size(); ++i) {
    const QString place = QStringLiteral("%1%2[%3]").arg(prefix, key).arg(i);
    if (!array[i].isObject())
      fieldError(place, QStringLiteral("must be an object with a title and a text"));
    const QJsonObject entry = array[i].toObject();
    checkKeys(entry, place, {QStringLiteral("title"), QStringLiteral("text")});
    const QString title =
        oneLine(stringAt(entry, QStringLiteral("title"), place + ".title"), place + ".title");
    entries.push_back({title.toStdU16String(),
                       BriefingJson::textFromJson(stringAt(entry, QStringLiteral("text"), place + ".text"))
                           .toStdU16String()});
  }
  return entries;
}

// One side's briefing: the object at place ("" for a briefing of one side),
// for one of the first sides of the table.
SideBriefing briefingAt(const QJsonObject& object, const QString& place, std::size_t sides,
                        const QStringList& optional = {}) {
  const QString prefix = place.isEmpty() ? place : place + '.';
  checkKeys(object, place,
            {QStringLiteral("side"), QStringLiteral("currentTask"), QStringLiteral("notes"),
             QStringLiteral("tasks")},
            optional);

  SideBriefing briefing;
  const QString word = stringAt(object, QStringLiteral("side"), prefix + "side");
  const std::optional<Side> side = sideByWord(u16View(word));
  if (!side || indexOf(*side) >= sides)
    fieldError(prefix + "side", QStringLiteral("\"%1\" is not one of %2").arg(word, sideList(sides)));
  briefing.side = *side;
  briefing.notes = entriesAt(object, QStringLiteral("notes"), prefix);
  briefing.tasks = entriesAt(object, QStringLiteral("tasks"), prefix);

  // null (or "") for none; any other title must be a task's, as the editor's
  // current task always is.
  const QJsonValue current = object.value(QStringLiteral("currentTask"));
  if (!current.isNull()) {
    const QString title = oneLine(stringAt(object, QStringLiteral("currentTask"), prefix + "currentTask"),
                                  prefix + "currentTask");
    briefing.currentTask = title.toStdU16String();
    const bool named = title.isEmpty() || currentTaskOf(briefing.tasks, briefing.currentTask).any();
    if (!named)
      fieldError(prefix + "currentTask", QStringLiteral("\"%1\" is the title of no task").arg(title));
  }
  return briefing;
}

// "utf-8" or "ansi"; UTF-8 where the JSON names none.
Encoding encodingAt(const QJsonObject& root) {
  if (!root.contains(QStringLiteral("encoding")))
    return Encoding::Utf8;
  const QString name = stringAt(root, QStringLiteral("encoding"), QStringLiteral("encoding"));
  for (std::size_t i = 0; i < std::size(kEncodings); ++i)
    if (name == QLatin1String(kEncodings[i]))
      return static_cast<Encoding>(i);
  fieldError(QStringLiteral("encoding"), QStringLiteral("\"%1\" is neither \"utf-8\" nor \"ansi\"").arg(name));
}

} // namespace

QString BriefingJson::textToJson(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == kLoneCr || c == kLoneLf)
      throw RuntimeError(
          ErrorNumber::InvalidArgument,
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

QByteArray BriefingJson::write(const Briefing& briefing) {
  QByteArray out = "{\n  \"encoding\": \"" + QByteArray(kEncodings[static_cast<int>(briefing.encoding)]) + "\",\n";
  if (briefing.sides.size() == 1 && isPlayable(briefing.sides.front().side)) {
    appendBriefing(out, "  ", briefing.sides.front());
    return out + "}\n";
  }
  out += "  \"sides\": [";
  for (std::size_t i = 0; i < briefing.sides.size(); ++i) {
    out += i == 0 ? "\n    {\n" : ",\n    {\n";
    appendBriefing(out, "      ", briefing.sides[i]);
    out += "    }";
  }
  out += "\n  ]\n}\n";
  return out;
}

Briefing BriefingJson::read(const QByteArray& json) {
  const QJsonValue document = JsonReader(json).document();
  if (!document.isObject())
    fieldError(QStringLiteral("the briefing"), QStringLiteral("must be a JSON object"));
  const QJsonObject root = document.toObject();
  Briefing briefing;
  const QStringList encoding{QStringLiteral("encoding")};
  if (!root.contains(QStringLiteral("sides"))) {
    briefing.sides.push_back(briefingAt(root, QString(), kPlayableSides, encoding));
    briefing.encoding = encodingAt(root);
    return briefing;
  }

  // A briefing of several sides, the game master's among them.
  checkKeys(root, QString(), {QStringLiteral("sides")}, encoding);
  briefing.encoding = encodingAt(root);
  const QJsonValue value = root.value(QStringLiteral("sides"));
  if (!value.isArray() || value.toArray().isEmpty())
    fieldError(QStringLiteral("sides"), QStringLiteral("must be a list of one or more sides' briefings"));
  const QJsonArray array = value.toArray();
  for (qsizetype i = 0; i < array.size(); ++i) {
    const QString place = QStringLiteral("sides[%1]").arg(i);
    if (!array[i].isObject())
      fieldError(place, QStringLiteral("must be an object with a side, a current task, notes and tasks"));
    const SideBriefing side = briefingAt(array[i].toObject(), place, kSides.size());
    for (std::size_t first = 0; first < briefing.sides.size(); ++first)
      if (briefing.sides[first].side == side.side)
        fieldError(place + ".side", QStringLiteral("\"%1\" is given twice, first as sides[%2]")
                                        .arg(toQString(infoOf(side.side).word))
                                        .arg(first));
    briefing.sides.push_back(side);
  }
  return briefing;
}
