#include "core/check/BriefingCheck.h"

#include "core/check/StructuredText.h"
#include "core/text/AnsiCodec.h"
#include "core/system/RuntimeError.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using StructuredText::TagName;
using StructuredText::TokenKind;

constexpr std::size_t kMaxEntries = 255; // a count is one byte of the header

std::string utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (c >= 0xD800 && c <= 0xDFFF)
      c = 0xFFFD;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The character at i, a surrogate pair taken whole, named for a message:
// U+00E9 "é".
std::string describeCharacter(std::u16string_view text, std::size_t i) {
  std::size_t length = 1;
  char32_t c = text[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
    c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    length = 2;
  }
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
  std::string out = code;
  if (c >= 0x20 && !(c >= 0x7F && c < 0xA0))
    out += " \"" + utf8(text.substr(i, length)) + '"';
  return out;
}

std::string thousands(std::size_t n) {
  // Built by appending: GCC 12 at -O3 warns falsely about insert here.
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += ',';
    out += digits[i];
  }
  return out;
}

std::size_t decimalDigits(std::size_t n) {
  std::size_t d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

// What one pass over a title or text learns: its size in the script and the
// places of the characters the script or the game cannot carry.
struct FieldScan {
  std::size_t bytes = 0;  // in the code page
  std::size_t quotes = 0; // each written twice
  std::size_t lineBreaks = 0;
  std::size_t firstNonAscii = std::u16string_view::npos;
  std::size_t nonAscii = 0;
  std::size_t firstUnencodable = std::u16string_view::npos;
  std::size_t unencodable = 0;
};

FieldScan scanField(std::u16string_view text, std::string& scratch) {
  FieldScan scan;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      scan.quotes += c == u'"';
      scan.lineBreaks += c == u'\r' && i + 1 < n && text[i + 1] == u'\n';
    } else if (!(c >= 0xDC00 && c <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF)) {
      // A character, not a unit: the second half of a pair is not counted again.
      if (scan.nonAscii++ == 0)
        scan.firstNonAscii = i;
    }
  }
  scan.bytes = n;
  if (scan.nonAscii == 0)
    return scan;
  // Only text outside ASCII needs the code page: its size there, and what it
  // cannot hold.
  scratch.clear();
  std::size_t from = scan.firstNonAscii;
  std::size_t encoded = scan.firstNonAscii;
  while (from < n) {
    std::size_t bad = 0;
    const std::size_t before = scratch.size();
    if (AnsiCodec::detail::encodeInto(text.substr(from), scratch, bad)) {
      encoded += scratch.size() - before;
      break;
    }
    if (scan.unencodable++ == 0)
      scan.firstUnencodable = from + bad;
    const std::size_t skip = (text[from + bad] >= 0xD800 && text[from + bad] <= 0xDBFF) ? 2 : 1;
    encoded += bad + skip; // counted as one byte per unit; the save fails anyway
    scratch.clear();
    from += bad + skip;
  }
  scan.bytes = encoded;
  return scan;
}

// Turns offsets in a text into lines and columns, walking forward.
class LineColumns {
public:
  explicit LineColumns(std::u16string_view text) : text_(text) {}
  std::pair<int, int> at(std::size_t offset) {
    if (offset < pos_) {
      pos_ = 0;
      line_ = 1;
      lineStart_ = 0;
    }
    for (; pos_ < offset; ++pos_) {
      if (text_[pos_] == u'\n' && pos_ > 0 && text_[pos_ - 1] == u'\r') {
        ++line_;
        lineStart_ = pos_ + 1;
      }
    }
    return {line_, int(offset - lineStart_) + 1};
  }

private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t lineStart_ = 0;
};

class Checker {
public:
  Checker(std::vector<BriefingFinding>& out, const PictureLookup& pictures)
      : out_(out), pictures_(pictures) {}

  void entry(FindingList list, int index, const BriefingEntry& e, const FieldScan& title,
             const FieldScan& text) {
    list_ = list;
    index_ = index;
    title_ = e.title;
    const std::u16string_view titleView = e.title;
    const std::u16string_view textView = e.text;
    if (titleView.empty())
      add(FindingSeverity::Warning, FindingKind::EmptyTitle, FindingField::Title, 0, "The title is empty");
    characters(FindingField::Title, titleView, title);
    flush(FindingField::Title, titleView);
    characters(FindingField::Text, textView, text);
    tags(textView);
    flush(FindingField::Text, textView);
  }

  void whole(FindingSeverity severity, FindingKind kind, std::string message) {
    BriefingFinding f;
    f.severity = severity;
    f.kind = kind;
    f.message = std::move(message);
    out_.push_back(std::move(f));
  }

  void taskTitle(int index, const std::u16string& title, FindingKind kind, std::string message) {
    list_ = FindingList::Tasks;
    index_ = index;
    title_ = title;
    add(FindingSeverity::Warning, kind, FindingField::Title, 0, std::move(message));
    flush(FindingField::Title, title);
  }

private:
  struct Pending {
    std::size_t offset;
    BriefingFinding finding;
  };

  void add(FindingSeverity severity, FindingKind kind, FindingField field, std::size_t offset,
           std::string message) {
    BriefingFinding f;
    f.severity = severity;
    f.kind = kind;
    f.list = list_;
    f.index = index_;
    f.title = title_;
    f.field = field;
    f.message = std::move(message);
    pending_.push_back({offset, std::move(f)});
  }

  // Hands the field's findings on in the order of their places.
  void flush(FindingField, std::u16string_view text) {
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.offset < b.offset; });
    LineColumns places(text);
    for (auto& p : pending_) {
      std::tie(p.finding.line, p.finding.column) = places.at(p.offset);
      out_.push_back(std::move(p.finding));
    }
    pending_.clear();
  }

  void characters(FindingField field, std::u16string_view text, const FieldScan& scan) {
    auto more = [](std::size_t count) {
      return count > 1 ? " (" + thousands(count) + " such characters in all)" : std::string();
    };
    if (scan.unencodable > 0)
      add(FindingSeverity::Error, FindingKind::UnencodableCharacter, field, scan.firstUnencodable,
          "The character " + describeCharacter(text, scan.firstUnencodable) +
              " cannot be written in the code page " + AnsiCodec::codePageName() + more(scan.unencodable));
    if (scan.nonAscii > 0)
      add(FindingSeverity::Warning, FindingKind::NonAsciiCharacter, field, scan.firstNonAscii,
          "The character " + describeCharacter(text, scan.firstNonAscii) +
              " is outside ASCII: the game reads the script as UTF-8 and shows another character" +
              more(scan.nonAscii));
  }

  void tags(std::u16string_view text) {
    std::vector<std::size_t> openMarkers;
    for (const auto& token : StructuredText::tokenize(text)) {
      if (token.kind == TokenKind::Text) {
        for (std::size_t i = token.begin; i < token.end; ++i)
          if (text[i] == u'&')
            add(FindingSeverity::Warning, FindingKind::BareAmpersand, FindingField::Text, i,
                "A bare \"&\" cuts the text here in the game: write it as \"&amp;\"");
        continue;
      }
      if (token.kind != TokenKind::Tag)
        continue;
      const std::string written = utf8(text.substr(token.begin, token.end - token.begin));
      switch (token.tag) {
      case TagName::Marker:
        if (token.closing) {
          if (!openMarkers.empty())
            openMarkers.pop_back();
          break;
        }
        if (const auto* name = token.attribute(u"name"); !name || name->empty())
          add(FindingSeverity::Warning, FindingKind::MarkerWithoutName, FindingField::Text, token.begin,
              "The marker tag " + written + " names no marker");
        if (!openMarkers.empty())
          add(FindingSeverity::Warning, FindingKind::NestedMarker, FindingField::Text, token.begin,
              "The marker tag " + written + " stands inside another marker's link");
        if (!token.selfClosing)
          openMarkers.push_back(token.begin);
        break;
      case TagName::Img:
        if (token.closing)
          break;
        if (const auto* file = token.attribute(u"image"); !file || file->empty())
          add(FindingSeverity::Warning, FindingKind::PictureWithoutFile, FindingField::Text, token.begin,
              "The picture tag " + written + " names no file");
        else if (pictures_ && !pictures_(*file))
          add(FindingSeverity::Warning, FindingKind::PictureNotInFolder, FindingField::Text, token.begin,
              "The picture \"" + utf8(*file) + "\" is not in the mission folder");
        break;
      case TagName::Unknown:
        add(FindingSeverity::Warning, FindingKind::UnknownTag, FindingField::Text, token.begin,
            "The game does not know the tag " + written);
        break;
      default:
        break;
      }
    }
    for (const std::size_t at : openMarkers)
      add(FindingSeverity::Warning, FindingKind::MarkerWithoutClosingTag, FindingField::Text, at,
          "The marker tag has no closing </marker>");
  }

  std::vector<BriefingFinding>& out_;
  const PictureLookup& pictures_;
  std::vector<Pending> pending_;
  FindingList list_ = FindingList::Briefing;
  int index_ = -1;
  std::u16string title_;
};

// The script's fixed text and each record's, taken from the writer itself so
// that the sum follows it.
struct ScriptOverheads {
  std::size_t base;    // an empty briefing
  std::size_t note;    // one note record, empty fields
  std::size_t task;    // one task's two lines, empty fields, without the index digits
  std::size_t current; // the setCurrentTask line without the index digits
};

ScriptOverheads overheads(const BriefingSnapshot& s) {
  auto size = [&](std::vector<BriefingEntry> notes, std::vector<BriefingEntry> tasks,
                  std::u16string_view cur) {
    BriefingSnapshot probe{};
    probe.side = u"WEST";
    probe.notes = std::move(notes);
    probe.tasks = std::move(tasks);
    probe.currentTask = cur;
    probe.versionMajor = s.versionMajor;
    probe.versionMinor = s.versionMinor;
    probe.versionPatch = s.versionPatch;
    return composeBriefingScript(probe).size();
  };
  ScriptOverheads o{};
  o.base = size({}, {}, u"");
  o.note = size({BriefingEntry{u"", u""}}, {}, u"") - o.base;
  const std::size_t oneTask = size({}, {BriefingEntry{u"a", u""}}, u"");
  o.task = oneTask - o.base - 2 - 3; // "tskObj0" twice, the title three times
  o.current = size({}, {BriefingEntry{u"a", u""}}, u"a") - oneTask - 1;
  return o;
}

std::size_t fieldBytes(const FieldScan& scan, bool text) {
  return scan.bytes + scan.quotes + (text ? 3 * scan.lineBreaks : 0); // CR LF (2) becomes "<br/>" (5)
}

struct Scans {
  std::vector<std::pair<FieldScan, FieldScan>> notes, tasks;
  std::size_t scriptSize = 0;
};

Scans scanAll(const BriefingSnapshot& s) {
  Scans scans;
  std::string scratch;
  const ScriptOverheads o = overheads(s);
  std::size_t size = o.base;
  scans.notes.reserve(s.notes.size());
  for (const auto& e : s.notes) {
    scans.notes.emplace_back(scanField(e.title, scratch), scanField(e.text, scratch));
    size +=
        o.note + fieldBytes(scans.notes.back().first, false) + fieldBytes(scans.notes.back().second, true);
  }
  scans.tasks.reserve(s.tasks.size());
  std::size_t firstCurrent = std::u16string_view::npos;
  std::size_t lastCurrent = std::u16string_view::npos;
  const std::u16string_view current = s.currentTask;
  for (std::size_t i = 0; i < s.tasks.size(); ++i) {
    const auto& e = s.tasks[i];
    scans.tasks.emplace_back(scanField(e.title, scratch), scanField(e.text, scratch));
    size += o.task + 2 * decimalDigits(i) + 3 * fieldBytes(scans.tasks.back().first, false) +
            fieldBytes(scans.tasks.back().second, true);
    if (!current.empty() && std::u16string_view(e.title) == current) {
      if (firstCurrent == std::u16string_view::npos)
        firstCurrent = i;
      lastCurrent = i;
    }
  }
  // A header byte of CR or LF turns the first line into a block comment,
  // which ends in " */".
  if (headerNeedsBlockComment(s.notes.size(), s.tasks.size(),
                              lastCurrent == std::u16string_view::npos ? 0 : lastCurrent + 1))
    size += 3;
  if (firstCurrent != std::u16string_view::npos)
    size += o.current + decimalDigits(firstCurrent);
  scans.scriptSize = size;
  return scans;
}

} // namespace

PictureLookup picturesInFolder(std::filesystem::path folder) {
  return [folder = std::move(folder)](std::u16string_view file) {
    std::u16string name(file);
#ifndef _WIN32
    std::replace(name.begin(), name.end(), u'\\', u'/');
#endif
    const std::filesystem::path relative(name);
    if (relative.empty() || relative.has_root_path())
      return false;
    for (const auto& part : relative)
      if (part == "..")
        return false;
    std::error_code error;
    return std::filesystem::is_regular_file(folder / relative, error);
  };
}

namespace {

// One side of a script of several, as the snapshot of a briefing of that side
// alone.
BriefingSnapshot oneSide(const ScriptSide& side, const BriefingSnapshot& version) {
  BriefingSnapshot alone{};
  alone.side = kSides[side.side].word;
  alone.notes = *side.notes;
  alone.tasks = *side.tasks;
  if (side.firstCurrent >= 0)
    alone.currentTask = (*side.tasks)[static_cast<std::size_t>(side.firstCurrent)].title;
  alone.versionMajor = version.versionMajor;
  alone.versionMinor = version.versionMinor;
  alone.versionPatch = version.versionPatch;
  return alone;
}

// The plan of a script of several sides, or nothing where the snapshot's
// script is that of one side or cannot be written (the findings say why).
std::optional<ScriptPlan> severalSides(const BriefingSnapshot& snapshot) {
  if (snapshot.otherSides.empty() && sideByWord(snapshot.side) != kGameMaster)
    return std::nullopt;
  try {
    ScriptPlan plan = planScript(snapshot);
    if (plan.several)
      return plan;
  } catch (const RuntimeError&) {
  }
  return std::nullopt;
}

std::size_t severalSidesSize(const ScriptPlan& plan, const BriefingSnapshot& snapshot) {
  BriefingSnapshot empty{};
  empty.side = u"WEST";
  empty.versionMajor = snapshot.versionMajor;
  empty.versionMinor = snapshot.versionMinor;
  empty.versionPatch = snapshot.versionPatch;
  const std::size_t base = scanAll(empty).scriptSize;
  std::size_t size = base + sidesLine(plan).size();
  for (const ScriptSide& side : plan.sides) {
    // Each side adds its records to the fixed text; only the first line's
    // side can turn it into a block comment.
    const bool block = headerNeedsBlockComment(side.notes->size(), side.tasks->size(), side.headerCurrent);
    size +=
        scanAll(oneSide(side, snapshot)).scriptSize - base - (block && &side != &plan.sides.front() ? 3 : 0);
    if (side.side == kGameMaster)
      size += kSides[kGameMaster].caseLine.size() + 2 + 3 + 4; // its block's lines: case, "{", "};"
  }
  return size;
}

void checkOneSide(const BriefingSnapshot& snapshot, const PictureLookup& pictureExists,
                  std::vector<BriefingFinding>& findings, const std::string& briefing,
                  std::size_t scriptSize);

} // namespace

std::size_t briefingScriptSize(const BriefingSnapshot& snapshot) {
  if (const auto plan = severalSides(snapshot))
    return severalSidesSize(*plan, snapshot);
  return scanAll(snapshot).scriptSize;
}

std::vector<BriefingFinding> checkBriefing(const BriefingSnapshot& snapshot,
                                           const PictureLookup& pictureExists) {
  std::vector<BriefingFinding> findings;
  const auto plan = severalSides(snapshot);
  if (!plan) {
    checkOneSide(snapshot, pictureExists, findings, "briefing", 0);
    return findings;
  }
  // Every side's findings, side by side in block order, each naming its side;
  // the script's size once, with the first side's.
  bool first = true;
  for (const ScriptSide& side : plan->sides) {
    const std::size_t from = findings.size();
    const std::u16string word(kSides[side.side].word);
    checkOneSide(oneSide(side, snapshot), pictureExists, findings,
                 std::string(word.begin(), word.end()) + " briefing",
                 first ? severalSidesSize(*plan, snapshot) : 1);
    first = false;
    for (std::size_t i = from; i < findings.size(); ++i)
      findings[i].side = word;
  }
  return findings;
}

namespace {

// scriptSize: the whole script's size, 0 to work it out from this side
// alone, 1 to leave it out (another side's findings carry it).
void checkOneSide(const BriefingSnapshot& snapshot, const PictureLookup& pictureExists,
                  std::vector<BriefingFinding>& findings, const std::string& briefing,
                  std::size_t scriptSize) {
  Checker check(findings, pictureExists);
  const Scans scans = scanAll(snapshot);
  if (scriptSize == 0)
    scriptSize = scans.scriptSize;

  for (const auto& [count, kinds] :
       {std::pair{snapshot.notes.size(), "notes"}, {snapshot.tasks.size(), "tasks"}})
    if (count > kMaxEntries)
      check.whole(FindingSeverity::Error, FindingKind::TooManyEntries,
                  "The " + briefing + " has " + std::to_string(count) + ' ' + kinds +
                      ", but a briefing script holds at most 255 " + kinds);
  if (scriptSize > kMaxReadableScriptSize)
    check.whole(FindingSeverity::Warning, FindingKind::ScriptTooLarge,
                "The script would be " + thousands(scriptSize) +
                    " bytes: it saves, but only its first 32,767 bytes can be opened again");

  for (std::size_t i = 0; i < snapshot.notes.size(); ++i)
    check.entry(FindingList::Notes, int(i), snapshot.notes[i], scans.notes[i].first, scans.notes[i].second);

  // Tasks that share the current task's title: the header names the last,
  // setCurrentTask the first.
  std::vector<int> current;
  if (!std::u16string_view(snapshot.currentTask).empty())
    for (std::size_t i = 0; i < snapshot.tasks.size(); ++i)
      if (std::u16string_view(snapshot.tasks[i].title) == std::u16string_view(snapshot.currentTask))
        current.push_back(int(i));

  for (std::size_t i = 0; i < snapshot.tasks.size(); ++i) {
    if (current.size() > 1 && std::find(current.begin(), current.end(), int(i)) != current.end()) {
      std::string numbers;
      for (std::size_t k = 0; k < current.size(); ++k)
        numbers += (k == 0 ? "" : k + 1 == current.size() ? " and " : ", ") + std::to_string(current[k] + 1);
      check.taskTitle(int(i), std::u16string(snapshot.tasks[i].title), FindingKind::DuplicateCurrentTask,
                      "Tasks " + numbers + " all carry the current task's title: the game makes task " +
                          std::to_string(current.front() + 1) +
                          " current, but the script reopens with task " + std::to_string(current.back() + 1) +
                          " current");
    }
    check.entry(FindingList::Tasks, int(i), snapshot.tasks[i], scans.tasks[i].first, scans.tasks[i].second);
  }
}

} // namespace
