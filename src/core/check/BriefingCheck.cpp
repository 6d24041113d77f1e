#include "core/check/BriefingCheck.h"

#include "core/check/StructuredText.h"
#include "core/reader/ScriptLocation.h"
#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Thousands.h"
#include "core/text/Utf8.h"
#include "core/writer/BriefingScriptWriter.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

using StructuredText::TagName;
using StructuredText::TokenKind;

constexpr std::size_t kMaxEntries = 255; // a count is one byte of the header

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
  Checker(std::vector<BriefingFinding>& out, const PictureLookup& pictures, Encoding encoding)
      : out_(out), pictures_(pictures), m_encoding(encoding) {}

  void entry(FindingList list, int index, const BriefingEntry& e) {
    list_ = list;
    index_ = index;
    title_ = e.title;
    const std::u16string_view titleView = e.title;
    const std::u16string_view textView = e.text;
    if (titleView.empty())
      add(FindingSeverity::Warning, FindingKind::EmptyTitle, FindingField::Title, 0, "The title is empty");
    characters(FindingField::Title, titleView);
    flush(FindingField::Title, titleView);
    characters(FindingField::Text, textView);
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

  // The characters the script's encoding cannot hold (UTF-8: a lone half
  // of a surrogate pair; the code page: many), and in an ANSI script those
  // outside ASCII, which the game reads as UTF-8: the first of each with how
  // many there are.
  void characters(FindingField field, std::u16string_view text) {
    std::size_t firstBad = 0, bad = 0, firstHigh = 0, high = 0;
    std::string scratch;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] < 0x80)
        continue;
      std::size_t units = 1;
      const bool unwritable = m_encoding == Encoding::Utf8
                                  ? Utf8::isSurrogate(Utf8::codePointAt(text, i, &units))
                                  : (Utf8::codePointAt(text, i, &units), scratch.clear(),
                                     !AnsiCodec::detail::encodeInto(text.substr(i, units), scratch, m_ignored));
      if (unwritable && bad++ == 0)
        firstBad = i;
      if (m_encoding == Encoding::Ansi && high++ == 0)
        firstHigh = i;
      i += units - 1;
    }
    auto more = [](std::size_t count) {
      return count > 1 ? " (" + withThousands(count) + " such characters in all)" : std::string();
    };
    if (bad > 0)
      add(FindingSeverity::Error, FindingKind::UnencodableCharacter, field, firstBad,
          "The character " + Utf8::describe(text, firstBad) +
              (m_encoding == Encoding::Utf8
                   ? " cannot be written in UTF-8: it is half of a pair of UTF-16 units, the other half of "
                     "which is missing"
                   : " cannot be written in the code page " + AnsiCodec::codePageName() +
                         ": UTF-8, the script's other encoding, holds it") +
              more(bad));
    if (high > 0)
      add(FindingSeverity::Warning, FindingKind::NonAsciiCharacter, field, firstHigh,
          "The character " + Utf8::describe(text, firstHigh) +
              " is outside ASCII: the game reads the script as UTF-8 and shows another character; save the "
              "script as UTF-8 to show it as typed" +
              more(high));
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
      const std::string written = Utf8::fromUtf16(text.substr(token.begin, token.end - token.begin));
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
              "The picture \"" + Utf8::fromUtf16(*file) + "\" is not in the mission folder");
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
  Encoding m_encoding;
  std::size_t m_ignored = 0;
};


// One side's findings. size: the script's, for the first side of a script
// (where the measure could be taken), or 0.
void checkSide(const SideBriefing& side, Encoding encoding, const PictureLookup& pictureExists,
               std::vector<BriefingFinding>& findings, const std::string& briefing) {
  Checker check(findings, pictureExists, encoding);
  for (const auto& [count, kinds] : {std::pair{side.notes.size(), "notes"}, {side.tasks.size(), "tasks"}})
    if (count > kMaxEntries)
      check.whole(FindingSeverity::Error, FindingKind::TooManyEntries,
                  "The " + briefing + " has " + std::to_string(count) + ' ' + kinds +
                      ", but a briefing script holds at most 255 " + kinds);
  for (std::size_t i = 0; i < side.notes.size(); ++i)
    check.entry(FindingList::Notes, int(i), side.notes[i]);

  // Tasks that share the current task's title: the header names the last,
  // setCurrentTask the first.
  std::vector<int> current;
  if (!side.currentTask.empty())
    for (std::size_t i = 0; i < side.tasks.size(); ++i)
      if (side.tasks[i].title == side.currentTask)
        current.push_back(int(i));
  for (std::size_t i = 0; i < side.tasks.size(); ++i) {
    if (current.size() > 1 && std::find(current.begin(), current.end(), int(i)) != current.end()) {
      std::string numbers;
      for (std::size_t k = 0; k < current.size(); ++k)
        numbers += (k == 0 ? "" : k + 1 == current.size() ? " and " : ", ") + std::to_string(current[k] + 1);
      check.taskTitle(int(i), side.tasks[i].title, FindingKind::DuplicateCurrentTask,
                      "Tasks " + numbers + " all carry the current task's title: the game makes task " +
                          std::to_string(current.front() + 1) + " current, but the script reopens with task " +
                          std::to_string(current.back() + 1) + " current");
    }
    check.entry(FindingList::Tasks, int(i), side.tasks[i]);
  }
}

// The script's size: a script of one side past the reader's reach saves but
// opens only in part; one of several sides does not save.
void checkSize(const Briefing& briefing, std::vector<BriefingFinding>& findings) {
  ScriptMeasure measure;
  try {
    measure = measureBriefingScript(briefing);
  } catch (const RuntimeError&) {
    return; // too many entries: found above
  }
  BriefingFinding f;
  f.kind = FindingKind::ScriptTooLarge;
  if (const ScriptMeasure::Block* past = measure.pastReach()) {
    f.severity = FindingSeverity::Error;
    f.side = past->side;
    f.message = "The script would be " + withThousands(measure.size) + " bytes, and the " + nameOf(past->side) +
                " briefing would end at byte " + withThousands(past->end) +
                ", past byte 32,767: a script of several sides must open again in full, so it does not save";
  } else if (!measure.several && measure.size > kLastReadablePosition) {
    f.message = "The script would be " + withThousands(measure.size) +
                " bytes: it saves, but only its first 32,767 bytes can be opened again";
  } else {
    return;
  }
  findings.push_back(std::move(f));
}

} // namespace

std::optional<std::filesystem::path> missionFile(const std::filesystem::path& folder, std::u16string_view name) {
  std::u16string parts(name);
  std::replace(parts.begin(), parts.end(), u'\\', u'/');
  const std::filesystem::path relative(parts);
  if (relative.empty() || relative.has_root_path() || relative.has_root_name())
    return std::nullopt;
  for (const auto& part : relative)
    if (part == "..")
      return std::nullopt;
  return folder / relative;
}

PictureLookup picturesInFolder(std::filesystem::path folder) {
  return [folder = std::move(folder)](std::u16string_view file) {
    const auto path = missionFile(folder, file);
    std::error_code error;
    return path && std::filesystem::is_regular_file(*path, error);
  };
}

std::vector<BriefingFinding> checkBriefing(const Briefing& briefing, const PictureLookup& pictureExists) {
  std::vector<BriefingFinding> findings;
  ScriptPlan plan;
  try {
    plan = planScript(briefing);
  } catch (const RuntimeError&) {
    // More than 255 entries on a side: its script is of that side alone, as
    // far as the check is concerned.
    for (const SideBriefing& side : briefing.sides)
      if (side.holdsEntries() || &side == &briefing.sides.front())
        plan.sides.push_back({&side, {}});
    plan.several = plan.sides.size() > 1;
  }
  checkSize(briefing, findings);
  // Every side's findings, side by side in block order, each naming its side
  // where the script holds several.
  std::sort(plan.sides.begin(), plan.sides.end(),
            [](const ScriptSide& a, const ScriptSide& b) { return a.briefing->side < b.briefing->side; });
  for (const ScriptSide& side : plan.sides) {
    const std::size_t from = findings.size();
    checkSide(*side.briefing, briefing.encoding, pictureExists, findings,
              plan.several ? nameOf(side.briefing->side) + " briefing" : "briefing");
    if (plan.several)
      for (std::size_t i = from; i < findings.size(); ++i)
        findings[i].side = side.briefing->side;
  }
  return findings;
}

std::optional<BriefingFinding> checkAsWritten(std::string_view script, const Briefing& read) {
  std::string written;
  try {
    written = composeBriefingScript(read);
  } catch (const RuntimeError&) {
    return std::nullopt; // what cannot be written has its own findings
  }
  // The first line's version digits are the writing program's.
  const auto versionEnd = [](std::string_view s) {
    std::size_t i = std::min<std::size_t>(16, s.size());
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
      ++i;
    return i;
  };
  const std::size_t fileDigits = versionEnd(script), writtenDigits = versionEnd(written);
  std::size_t f = 0, w = 0;
  while (f < script.size() && w < written.size() && script[f] == written[w]) {
    ++f, ++w;
    if (f == std::min<std::size_t>(16, script.size()) && w == f)
      f = fileDigits, w = writtenDigits;
  }
  if (f == script.size() && w == written.size())
    return std::nullopt;
  // A quote the reader took for a string's end, followed by more of the
  // line: a bare double quote, which the game cannot parse.
  const bool bareQuote = f > 0 && script[f - 1] == '"' && f < script.size() && script[f] != '\r';
  const std::size_t at = bareQuote ? f - 1 : f;
  BriefingFinding finding;
  finding.kind = FindingKind::NotAsWritten;
  finding.field = FindingField::Script;
  const ScriptLocation location = locationOf(script, at);
  finding.line = location.line;
  finding.column = location.column;
  finding.message = "Line " + std::to_string(finding.line) + " is not as Quillfort writes it: " +
                    (bareQuote ? "a bare double quote ends the string here, and the game cannot parse this line"
                               : "a hand edit or another tool changed it, and the next save writes it as "
                                 "Quillfort does");
  return finding;
}
