// Importing a hand-written briefing.sqf. The script is tokenized, then walked
// statement by statement in the order the game runs it, each side keeping
// the notes and tasks its players would be given. The walk is made twice:
// the first only learns which sides the script names, since a record outside
// every side branch, and a default or else branch, stands for those sides.
//
// Statements skipped without a word, as they make nothing the player reads:
//   - empty statements;
//   - waitUntil {...} whose block creates no record (waiting for the player);
//   - sleep and uiSleep;
//   - private declarations without a value;
//   - if (...) exitWith {} with an empty block (a guard such as !hasInterface).
// Wrappers whose blocks are walked as if they stood in place, themselves
// unreported: if (...) then {...} on anything but the side, waitUntil {...}
// whose block creates records, and [...] call/spawn {...}.
#include "core/import/Importer.h"

#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <tuple>

namespace ImportDetail {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string at(const Token& token) {
  return "line " + std::to_string(token.line) + ", column " + std::to_string(token.column) + ": ";
}

std::optional<Side> sideOfWord(std::string_view word) {
  static const std::map<std::string, Side, std::less<>> words = {
      {"west", Side::West},       {"blufor", Side::West},           {"east", Side::East},
      {"opfor", Side::East},      {"resistance", Side::Resistance}, {"independent", Side::Resistance},
      {"guer", Side::Resistance}, {"civilian", Side::Civilian},     {"sidelogic", Side::Logic}};
  const auto it = words.find(lower(word));
  return it == words.end() ? std::nullopt : std::optional<Side>(it->second);
}

std::u16string withLineBreaks(std::u16string_view text, bool isText) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool tag = isText && text.size() - i >= 5 && text[i] == u'<' && (text[i + 1] | 0x20) == u'b' &&
                     (text[i + 2] | 0x20) == u'r' && text.substr(i + 3, 2) == u"/>";
    if (tag) {
      out += u"\r\n";
      i += 4;
    } else if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
      out += u"\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

bool Importer::literal(Range r, std::string& bytes, const Token*& offender) const {
  r = unwrapped(r);
  const std::vector<Range> parts = split(r, "+");
  if (parts.size() > 1) {
    for (const Range& part : parts)
      if (!literal(part, bytes, offender))
        return false;
    return true;
  }
  if (r.size() == 1 && t_[r.begin].kind == TokenKind::String) {
    bytes += Sqf::stringContents(t_[r.begin]);
    return true;
  }
  offender = nullptr;
  for (std::size_t i = r.begin; i < r.end && !offender; ++i)
    if (t_[i].kind != TokenKind::String || i > r.begin)
      offender = &t_[i];
  return false;
}

std::u16string Importer::decoded(std::string_view bytes) const {
  return utf8_ ? Utf8::toUtf16(bytes) : AnsiCodec::decode(bytes);
}

std::optional<std::u16string> Importer::field(Range r, std::string_view what, bool isTitle,
                                              const Token& first) {
  std::string bytes;
  const Token* offender = nullptr;
  if (!literal(r, bytes, offender)) {
    report(first, "the " + std::string(what) + " is not a literal string" + named(offender));
    return std::nullopt;
  }
  std::u16string value = withLineBreaks(decoded(bytes), !isTitle);
  if (!isTitle)
    return value;
  std::u16string oneLine;
  for (std::size_t i = 0; i < value.size(); ++i)
    if (value.compare(i, 2, u"\r\n") == 0)
      oneLine += u' ', ++i;
    else
      oneLine += value[i];
  const bool broken = oneLine.size() != value.size();
  value = std::move(oneLine);
  if (broken)
    partly_.push_back("the line break in the " + std::string(what) + " (a blank stands for it)");
  return value;
}

bool Importer::isEmptyString(Range r) const {
  r = unwrapped(r);
  return r.empty() || word(r.begin, "nil", r) ||
         (r.size() == 1 && t_[r.begin].kind == TokenKind::String && t_[r.begin].text.size() == 2);
}

void Importer::report(const Token& first, std::string why) {
  if (!gathering_)
    leftOut_.push_back({first.line, first.column, std::move(why)});
}

void Importer::keep(const Token& first) {
  for (std::string& why : partly_)
    report(first, std::move(why));
  partly_.clear();
}

void Importer::addNote(Sides sides, const BriefingEntry& entry, const Token& first) {
  for (std::size_t s = 0; s < kSides.size(); ++s)
    if (sides & (1u << s))
      state_[s].notes.push_back({entry, &first});
}

std::vector<std::pair<std::size_t, int>> Importer::tasksOf(Range r, Sides sides) const {
  std::vector<std::pair<std::size_t, int>> found;
  r = unwrapped(r);
  if (r.size() != 1 || t_[r.begin].kind != TokenKind::Identifier)
    return found;
  for (std::size_t s = 0; s < kSides.size(); ++s) {
    const auto& variables = state_[s].taskVariables;
    const auto it = variables.find(lower(t_[r.begin].text));
    if ((sides & (1u << s)) && it != variables.end())
      found.emplace_back(s, it->second);
  }
  return found;
}

void Importer::diaryRecord(const Token& first, const std::optional<std::vector<Range>>& args, Sides sides) {
  const auto pair = args && args->size() >= 2 ? array((*args)[1]) : std::nullopt;
  if (!pair || pair->size() < 2)
    return report(first, "the record is not of the form [subject, [title, text]]");
  std::string subject;
  const Token* offender = nullptr;
  if (!literal((*args)[0], subject, offender))
    return report(first, "the subject is not a literal string" + named(offender));
  if (lower(subject) != "diary")
    return report(first,
                  "the record is on the subject \"" + Utf8::fromUtf16(decoded(subject)) + "\", not on Diary");
  const auto title = field((*pair)[0], "title", true, first);
  const auto text = title ? field((*pair)[1], "text", false, first) : std::nullopt;
  if (!text)
    return;
  if (args->size() > 2 || pair->size() > 2)
    partly_.push_back("the record's arguments past [subject, [title, text]]");
  keep(first);
  addNote(sides, {*title, *text}, first);
}

void Importer::frameworkTask(const Token& first, Range call, const std::string& variable, Sides sides) {
  const auto args = array(call);
  if (!args || args->size() < 3)
    return report(first, "the task is not of the form [owner, id, [text, title, marker], ...]");
  const auto arg = [&](std::size_t n) { return n < args->size() ? unwrapped((*args)[n]) : Range{}; };
  const Range described = arg(2);
  if (described.size() == 1 && t_[described.begin].kind == TokenKind::String)
    return report(first, "the task's description is a class name, not [text, title, marker]");
  const auto description = array(described);
  if (!description || description->size() < 2)
    return report(first, "the task's description is not of the form [text, title, marker]");
  const auto text = field((*description)[0], "text", false, first);
  const auto title = text ? field((*description)[1], "title", true, first) : std::nullopt;
  if (!title)
    return;

  Sides owners = sides; // a unit or a group: the side of the branch
  const Range owner = arg(0);
  if (word(owner.begin, "true", owner) && owner.size() == 1) {
    owners = allSides();
  } else if (const auto side = sideWord(owner)) {
    owners = bitOf(*side);
  } else if (const auto list = array(owner);
             list && !list->empty() && std::all_of(list->begin(), list->end(), [&](Range element) {
               return sideWord(element).has_value();
             })) {
    owners = 0; // an array of sides; one of units stands for the branch's sides
    for (const Range& element : *list)
      owners |= bitOf(*sideWord(element));
  }

  const auto id = array(arg(1));
  if (id && id->size() >= 2 && !isEmptyString((*id)[1]))
    partly_.push_back("the parent task (the task is imported as one of its own)");
  if (description->size() >= 3 && !isEmptyString((*description)[2]))
    partly_.push_back("the task's marker (Quillfort's tasks have none)");
  const Range destination = arg(3);
  if (!destination.empty() && !word(destination.begin, "nil", destination) &&
      !word(destination.begin, "objnull", destination) &&
      !(destination.size() == 2 && symbol(destination.begin, "[", destination)))
    partly_.push_back("the task's destination (Quillfort's tasks have none)");
  bool current = false;
  if (const Range state = arg(4);
      !state.empty() && !word(state.begin, "false", state) && !word(state.begin, "nil", state)) {
    const std::string value = state.size() == 1 && t_[state.begin].kind == TokenKind::String
                                  ? lower(Sqf::stringContents(t_[state.begin]))
                                  : lower(t_[state.begin].text);
    current = value == "true" || value == "assigned";
    if (!current && value != "created")
      partly_.push_back("the task's state " + std::string(t_[state.begin].text) +
                        " (Quillfort's tasks have none)");
  }
  if (!isEmptyString(arg(7)))
    partly_.push_back("the task's type (Quillfort's tasks have none)");
  keep(first);
  addTask(owners, {*title, *text}, first, variable, current);
}

Imported Importer::result() {
  Imported out;
  out.briefing.encoding = Encoding::Utf8;
  for (std::size_t s = 0; s < kSides.size(); ++s) {
    const SideState& state = state_[s];
    SideBriefing side;
    side.side = static_cast<Side>(s);
    for (const auto& [list, into, kind] :
         {std::tuple(&state.notes, &side.notes, "note"), std::tuple(&state.tasks, &side.tasks, "task")}) {
      if (list->size() > kMaxEntries)
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           "Invalid procedure call or argument: " + at(*(*list)[kMaxEntries].statement) +
                               "the " + nameOf(side.side) + " briefing gets its " +
                               std::to_string(kMaxEntries + 1) + "th " + kind +
                               " here, but Quillfort holds at most 255 " + kind + "s a side");
      // The game shows each new record above the older ones.
      for (auto it = list->rbegin(); it != list->rend(); ++it)
        into->push_back(it->entry);
    }
    if (state.current >= 0)
      side.currentTask = state.tasks[static_cast<std::size_t>(state.current)].entry.title;
    if (side.holdsEntries())
      out.briefing.sides.push_back(std::move(side));
  }
  if (out.briefing.sides.empty())
    throw RuntimeError(
        ErrorNumber::InvalidArgument,
        "Invalid procedure call or argument: the file holds no note and no task that Quillfort can "
        "import");
  out.leftOut = std::move(leftOut_);
  std::stable_sort(out.leftOut.begin(), out.leftOut.end(), [](const LeftOut& a, const LeftOut& b) {
    return std::tie(a.line, a.column) < std::tie(b.line, b.column);
  });
  return out;
}

} // namespace ImportDetail

using namespace ImportDetail;

Imported importBriefing(std::string_view bytes, Side fallback) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    bytes.remove_prefix(3);
  const bool utf8 = Utf8::isValid(bytes);
  const std::vector<Token> tokens = Sqf::tokenize(bytes);
  Importer gathering(tokens, utf8, fallback, std::nullopt);
  gathering.run();
  Importer importer(tokens, utf8, fallback, gathering.namedSides());
  importer.run();
  return importer.result();
}
