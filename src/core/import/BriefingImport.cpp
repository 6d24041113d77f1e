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
#include "core/import/BriefingImport.h"

#include "core/import/SqfTokenizer.h"
#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace {

using Sqf::Token;
using Sqf::TokenKind;

using Sides = unsigned; // one bit a side, at its indexOf
constexpr Sides bitOf(Side side) { return 1u << indexOf(side); }

constexpr std::size_t kMaxEntries = 255; // a count is one byte of Quillfort's script header
constexpr std::size_t kUnmatched = static_cast<std::size_t>(-1);

struct Range {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t size() const { return end - begin; }
  bool empty() const { return begin == end; }
};

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

// The side a word of SQF names, in any letter case.
std::optional<Side> sideOfWord(std::string_view word) {
  static const std::map<std::string, Side, std::less<>> words = {
      {"west", Side::West},       {"blufor", Side::West},           {"east", Side::East},
      {"opfor", Side::East},      {"resistance", Side::Resistance}, {"independent", Side::Resistance},
      {"guer", Side::Resistance}, {"civilian", Side::Civilian},     {"sidelogic", Side::Logic}};
  const auto it = words.find(lower(word));
  return it == words.end() ? std::nullopt : std::optional<Side>(it->second);
}

// A line break inside a string (LF, or CR LF) becomes CR LF, and in a text
// so does "<br/>" in any letter case.
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

struct Made {
  BriefingEntry entry;
  const Token* statement; // its first token
};

// What one side's players are given, in the order the game runs it.
struct SideState {
  std::vector<Made> notes;
  std::vector<Made> tasks;
  int current = -1;                         // in tasks
  std::map<std::string, int> taskVariables; // lower-case name -> index in tasks
};

class Importer {
public:
  // The gathering walk learns the sides the script names; the import's walk
  // is given them.
  Importer(const std::vector<Token>& tokens, bool utf8, Side fallback, std::optional<Sides> scriptSides)
      : t_(tokens), utf8_(utf8), fallback_(fallback), scriptSides_(scriptSides.value_or(0)),
        gathering_(!scriptSides) {
    pairBrackets();
    for (const Token& token : t_)
      if (const std::string_view w = directiveWord(token);
          token.kind == TokenKind::Directive && lower(w) == "define") {
        const std::string_view rest =
            token.text.substr(static_cast<std::size_t>(w.data() - token.text.data()) + w.size());
        const std::size_t from = rest.find_first_not_of(" \t");
        if (from != std::string_view::npos)
          macros_.insert(lower(rest.substr(from, rest.find_first_of(" \t(", from) - from)));
      }
  }

  void run() { walkBlock({0, t_.size()}, allSides()); }
  Sides namedSides() const { return named_; }
  Imported result();

private:
  // --- Tokens and ranges ---

  bool word(std::size_t i, std::string_view lowerWord, Range r) const {
    return i < r.end && t_[i].kind == TokenKind::Identifier && lower(t_[i].text) == lowerWord;
  }
  bool symbol(std::size_t i, std::string_view text, Range r) const {
    return i < r.end && t_[i].kind == TokenKind::Symbol && t_[i].text == text;
  }
  static bool isBracket(const Token& token) {
    return token.kind == TokenKind::Symbol &&
           std::string_view("()[]{}").find(token.text) != std::string_view::npos;
  }
  static bool isOpening(const Token& token) {
    return isBracket(token) && std::string_view("([{").find(token.text) != std::string_view::npos;
  }

  void pairBrackets() {
    match_.assign(t_.size(), kUnmatched);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < t_.size(); ++i) {
      if (!isBracket(t_[i]))
        continue;
      if (isOpening(t_[i])) {
        open.push_back(i);
        continue;
      }
      static constexpr std::string_view kPairs = "()[]{}";
      if (!open.empty() && kPairs[kPairs.find(t_[i].text) - 1] == t_[open.back()].text[0]) {
        match_[open.back()] = i;
        match_[i] = open.back();
        open.pop_back();
      }
    }
  }

  // The token after the one at i, a bracketed group taken whole.
  std::size_t next(std::size_t i, Range r) const {
    return isOpening(t_[i]) && match_[i] != kUnmatched && match_[i] < r.end ? match_[i] + 1 : i + 1;
  }
  // What the brackets opening at i hold, when they open there and close within r.
  std::optional<Range> group(std::size_t i, std::string_view opening, Range r) const {
    if (!symbol(i, opening, r) || match_[i] == kUnmatched || match_[i] >= r.end)
      return std::nullopt;
    return Range{i + 1, match_[i]};
  }
  // The range without the round brackets around the whole of it.
  Range unwrapped(Range r) const {
    while (r.size() >= 2 && symbol(r.begin, "(", r) && match_[r.begin] == r.end - 1)
      r = {r.begin + 1, r.end - 1};
    return r;
  }
  // Pieces of r between the separator symbols outside brackets.
  std::vector<Range> split(Range r, std::string_view separator) const {
    std::vector<Range> pieces;
    std::size_t start = r.begin;
    for (std::size_t i = r.begin; i < r.end; i = next(i, r))
      if (symbol(i, separator, r)) {
        pieces.push_back({start, i});
        start = i + 1;
      }
    pieces.push_back({start, r.end});
    return pieces;
  }
  // The elements of an array written out: [a, b, ...].
  std::optional<std::vector<Range>> array(Range r) const {
    r = unwrapped(r);
    const auto inner = group(r.begin, "[", r);
    if (!inner || inner->end + 1 != r.end)
      return std::nullopt;
    if (inner->empty())
      return std::vector<Range>{};
    return split(*inner, ",");
  }
  // The statements of a block: between semicolons, a preprocessor line always
  // one of its own.
  std::vector<Range> statements(Range r) const {
    std::vector<Range> out;
    std::size_t start = r.begin;
    for (std::size_t i = r.begin; i < r.end;) {
      if (t_[i].kind == TokenKind::Directive || symbol(i, ";", r)) {
        out.push_back({start, i});
        if (t_[i].kind == TokenKind::Directive)
          out.push_back({i, i + 1});
        start = ++i;
      } else {
        i = next(i, r);
      }
    }
    out.push_back({start, r.end});
    return out;
  }
  bool bracketsPair(Range r) const {
    for (std::size_t i = r.begin; i < r.end; i = next(i, r))
      if (isBracket(t_[i]) && (!isOpening(t_[i]) || match_[i] == kUnmatched || match_[i] >= r.end))
        return false;
    return true;
  }
  bool holdsWord(Range r, std::initializer_list<std::string_view> words) const {
    for (std::size_t i = r.begin; i < r.end; ++i)
      if (t_[i].kind == TokenKind::Identifier &&
          std::find(words.begin(), words.end(), lower(t_[i].text)) != words.end())
        return true;
    return false;
  }
  static std::string_view directiveWord(const Token& token) {
    std::string_view rest = token.text.substr(1);
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    return rest.substr(0, rest.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
  }
  // A token named in a reason: ": format", ": an array".
  std::string named(const Token* token) const {
    if (!token)
      return "";
    if (token->kind == TokenKind::Directive)
      return ": a preprocessor line";
    if (token->text == "[")
      return ": an array";
    if (token->text == "{")
      return ": code";
    if (token->kind == TokenKind::Other)
      return ": a character SQF does not know";
    return ": " + std::string(token->text.substr(0, 40));
  }

  // --- Sides ---

  Sides allSides() const { return scriptSides_ ? scriptSides_ : bitOf(fallback_); }

  std::optional<Side> sideWord(Range r) {
    r = unwrapped(r);
    if (r.size() != 1 || t_[r.begin].kind != TokenKind::Identifier)
      return std::nullopt;
    const auto side = sideOfWord(t_[r.begin].text);
    if (side)
      named_ |= bitOf(*side);
    return side;
  }
  // playerSide, side player, side group player, side _unit, brackets anywhere.
  bool isPlayersSide(Range r) const {
    std::vector<std::string> words;
    for (std::size_t i = r.begin; i < r.end; ++i) {
      if (t_[i].kind == TokenKind::Identifier)
        words.push_back(lower(t_[i].text));
      else if (t_[i].text != "(" && t_[i].text != ")")
        return false;
    }
    const auto isUnit = [](const std::string& w) { return w == "player" || w.starts_with('_'); };
    return (words.size() == 1 && words[0] == "playerside") ||
           (words.size() == 2 && words[0] == "side" && isUnit(words[1])) ||
           (words.size() == 3 && words[0] == "side" && words[1] == "group" && isUnit(words[2]));
  }
  bool mentionsSide(Range r) const {
    for (std::size_t i = r.begin; i < r.end; ++i)
      if (t_[i].kind == TokenKind::Identifier &&
          (sideOfWord(t_[i].text) || lower(t_[i].text) == "side" || lower(t_[i].text) == "playerside"))
        return true;
    return false;
  }
  // A condition comparing the player's side with a side: the sides for which
  // it holds and those for which it does not.
  std::optional<std::pair<Sides, Sides>> sideTest(Range c) {
    c = unwrapped(c);
    std::size_t op = kUnmatched;
    bool equal = true;
    for (std::size_t i = c.begin; i < c.end; i = next(i, c)) {
      const std::string w = lower(t_[i].text);
      if ((t_[i].kind == TokenKind::Symbol && (w == "==" || w == "!=")) ||
          (t_[i].kind == TokenKind::Identifier && (w == "isequalto" || w == "isnotequalto"))) {
        if (op != kUnmatched)
          return std::nullopt;
        op = i;
        equal = w == "==" || w == "isequalto";
      }
    }
    if (op == kUnmatched)
      return std::nullopt;
    const Range left{c.begin, op}, right{op + 1, c.end};
    std::optional<Side> side;
    if (isPlayersSide(right))
      side = sideWord(left);
    else if (isPlayersSide(left))
      side = sideWord(right);
    if (!side)
      return std::nullopt;
    const Sides holds = bitOf(*side), fails = allSides() & ~holds;
    return equal ? std::pair(holds, fails) : std::pair(fails, holds);
  }

  // --- Strings ---

  // The bytes of a string expression: literals, joined with "+", in round
  // brackets or not. On anything else, false with the first token that is
  // not a literal.
  bool literal(Range r, std::string& bytes, const Token*& offender) const {
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
  std::u16string decoded(std::string_view bytes) const {
    return utf8_ ? Utf8::toUtf16(bytes) : AnsiCodec::decode(bytes);
  }
  // A title or a text. A title keeps to one line: a line break in it becomes
  // a blank, which is reported.
  std::optional<std::u16string> field(Range r, std::string_view what, bool isTitle, const Token& first) {
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
  bool isEmptyString(Range r) const {
    r = unwrapped(r);
    return r.empty() || word(r.begin, "nil", r) ||
           (r.size() == 1 && t_[r.begin].kind == TokenKind::String && t_[r.begin].text.size() == 2);
  }

  // --- Reports and entries ---

  void report(const Token& first, std::string why) {
    if (!gathering_)
      leftOut_.push_back({first.line, first.column, std::move(why)});
  }
  // The statement is imported: the parts of it left out are reported.
  void keep(const Token& first) {
    for (std::string& why : partly_)
      report(first, std::move(why));
    partly_.clear();
  }
  void addNote(Sides sides, const BriefingEntry& entry, const Token& first) {
    for (std::size_t s = 0; s < kSides.size(); ++s)
      if (sides & (1u << s))
        state_[s].notes.push_back({entry, &first});
  }
  void addTask(Sides sides, const BriefingEntry& entry, const Token& first, const std::string& variable,
               bool current) {
    for (std::size_t s = 0; s < kSides.size(); ++s)
      if (sides & (1u << s)) {
        SideState& side = state_[s];
        side.tasks.push_back({entry, &first});
        if (!variable.empty())
          side.taskVariables[variable] = static_cast<int>(side.tasks.size()) - 1;
        if (current)
          side.current = static_cast<int>(side.tasks.size()) - 1;
      }
  }
  // The sides where the variable holds a task, with the task's index in each.
  std::vector<std::pair<std::size_t, int>> tasksOf(Range r, Sides sides) const {
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

  // --- Statements ---

  void walkBlock(Range r, Sides sides) {
    for (const Range& s : statements(r))
      if (!s.empty())
        sides = statement(s, sides);
  }

  // One statement, for the players of `sides`; returns the sides for which
  // the block goes on past it (an exitWith on the side ends it for some).
  Sides statement(Range s, Sides sides) {
    partly_.clear();
    const Token& first = t_[s.begin];
    if (first.kind == TokenKind::Directive) {
      const std::string_view directive = directiveWord(first);
      report(first, "Quillfort does not run the preprocessor: #" + std::string(directive));
      return sides;
    }
    if (!bracketsPair(s)) {
      report(first, "the brackets of the statement do not pair up");
      return sides;
    }
    // Inside branches that exclude each other ("case west: {if (side player
    // == east) ...}") or past an exitWith that ends the block for every side.
    if (!sides && !gathering_) {
      report(first, "the statement runs for no side");
      return sides;
    }
    // An assignment's value is the statement: "_t = player createSimpleTask [...]".
    Range e = s;
    const Token* assignee = nullptr;
    if (word(e.begin, "private", e) && e.size() >= 3 && symbol(e.begin + 2, "=", e))
      ++e.begin;
    // "0 = [] spawn {...}" too, as editor init lines write it.
    if (e.size() >= 3 &&
        (t_[e.begin].kind == TokenKind::Identifier || t_[e.begin].kind == TokenKind::Number) &&
        symbol(e.begin + 1, "=", e)) {
      assignee = &t_[e.begin];
      e = unwrapped({e.begin + 2, e.end});
    }
    const std::string variable = assignee ? lower(assignee->text) : "";
    if (e.empty())
      return otherStatement(first, e, assignee), sides;
    const std::string head = lower(t_[e.begin].text);
    if (variable.empty() && head == "if")
      return ifStatement(first, e, sides);
    if (variable.empty() && head == "switch") {
      switchStatement(first, e, sides);
      return sides;
    }
    if (variable.empty() && t_[e.begin].kind == TokenKind::Identifier) {
      if (head == "waituntil") {
        if (const auto block = group(e.begin + 1, "{", e);
            block && block->end + 1 == e.end &&
            holdsWord(*block, {"creatediaryrecord", "createsimpletask", "bis_fnc_taskcreate"}))
          walkBlock(*block, sides);
        return sides;
      }
      if (head == "sleep" || head == "uisleep" || head == "private")
        return sides;
    }
    // [...] call {...}, [] spawn {...}: the block runs here.
    if (symbol(e.end - 1, "}", e) && match_[e.end - 1] > e.begin) {
      const std::size_t open = match_[e.end - 1];
      if (word(open - 1, "call", e) || word(open - 1, "spawn", e)) {
        const Range before{e.begin, open - 1};
        if (before.empty() || next(before.begin, before) == before.end) {
          walkBlock({open + 1, e.end - 1}, sides);
          return sides;
        }
      }
    }
    for (std::size_t i = e.begin; i < e.end; i = next(i, e)) {
      if (t_[i].kind != TokenKind::Identifier)
        continue;
      const std::string command = lower(t_[i].text);
      const Range left{e.begin, i}, right{i + 1, e.end};
      if (command == "creatediaryrecord" || command == "creatediarysubject" ||
          command == "createsimpletask" || command == "setsimpletaskdescription" ||
          command == "setcurrenttask" || command == "settaskstate" || command == "setsimpletaskdestination")
        return simpleCommand(first, command, left, right, variable, sides), sides;
      if (command == "bis_fnc_taskcreate" && i + 1 == e.end && i > e.begin &&
          (word(i - 1, "call", e) || word(i - 1, "spawn", e))) {
        frameworkTask(first, {e.begin, i - 1}, variable, sides);
        return sides;
      }
    }
    otherStatement(first, e, assignee);
    return sides;
  }

  void otherStatement(const Token& first, Range e, const Token* assignee) {
    for (std::size_t i = e.begin; i < e.end; ++i)
      if (t_[i].kind == TokenKind::Identifier && macros_.count(lower(t_[i].text)))
        return report(first, "Quillfort does not expand macros: " + std::string(t_[i].text));
    if (assignee)
      return report(first, "the value given to " + std::string(assignee->text) + " is not a note or a task");
    // The command: the first word, or the one after a first operand
    // ("player setPos", "[] execVM").
    std::size_t i = e.begin;
    if (t_[i].kind != TokenKind::Identifier ||
        (next(i, e) < e.end && t_[next(i, e)].kind == TokenKind::Identifier))
      i = next(i, e);
    report(first, "the statement is not a note or a task" +
                      (i < e.end && t_[i].kind == TokenKind::Identifier ? named(&t_[i]) : std::string()));
  }

  Sides ifStatement(const Token& first, Range e, Sides sides) {
    // if (...) then {...} [else {...}], or if (...) exitWith {...}
    const auto condition = group(e.begin + 1, "(", e);
    std::size_t i = condition ? condition->end + 1 : e.end;
    const bool exits = word(i, "exitwith", e);
    const auto then = exits || word(i, "then", e) ? group(i + 1, "{", e) : std::nullopt;
    i = then ? then->end + 1 : e.end;
    const auto otherwise = !exits && word(i, "else", e) ? group(i + 1, "{", e) : std::nullopt;
    if (!then || (otherwise ? otherwise->end + 1 : i) != e.end) {
      report(first, "the if statement is not of the form if (...) then {...} else {...}");
      return sides;
    }
    const auto test = sideTest(*condition);
    if (!test) {
      if (mentionsSide(*condition)) {
        report(first, "the condition on the side is not one Quillfort reads");
      } else if (exits) {
        if (!then->empty())
          report(first, "the condition of the exitWith is not on the side");
      } else {
        walkBlock(*then, sides);
        if (otherwise)
          report(first, "the else branch (its condition is not on the side)");
      }
      return sides;
    }
    walkBlock(*then, sides & test->first);
    if (exits)
      return sides & test->second;
    if (otherwise && !test->second && !gathering_)
      report(first, "the else branch (it stands for no side the script names elsewhere)");
    else if (otherwise)
      walkBlock(*otherwise, sides & test->second);
    return sides;
  }

  void switchStatement(const Token& first, Range e, Sides sides) {
    const auto subject = group(e.begin + 1, "(", e);
    const auto body =
        subject && word(subject->end + 1, "do", e) ? group(subject->end + 2, "{", e) : std::nullopt;
    if (!body || body->end + 1 != e.end)
      return report(first, "the switch is not of the form switch (...) do {...}");
    if (!isPlayersSide(*subject))
      return report(first, "the switch is not on the player's side");
    const std::vector<Range> cases = statements(*body);
    Sides labelled = 0; // the sides the switch names
    for (const Range& c : cases)
      if (word(c.begin, "case", c))
        if (const auto side = sideWord({c.begin + 1, std::min(c.begin + 2, c.end)}))
          labelled |= bitOf(*side);
    Sides fallingThrough = 0; // "case west; case east: {...}"
    for (const Range& c : cases) {
      if (c.empty())
        continue;
      const Token& label = t_[c.begin];
      std::size_t i = c.begin + 1;
      Sides branch = 0;
      if (word(c.begin, "case", c)) {
        const auto side = sideWord({i, std::min(i + 1, c.end)});
        if (!side) {
          report(label, "the case label is not a side" + named(i < c.end ? &t_[i] : nullptr));
          fallingThrough = 0;
          continue;
        }
        branch = fallingThrough | bitOf(*side);
        fallingThrough = ++i == c.end ? branch : 0;
        if (fallingThrough)
          continue;
      } else if (word(c.begin, "default", c)) {
        branch = allSides() & ~labelled;
      } else {
        report(label, "the statement is not a case of the switch");
        continue;
      }
      if (symbol(i, ":", c))
        ++i;
      const auto block = group(i, "{", c);
      if (!block || block->end + 1 != c.end)
        report(label, "the case is not of the form case side: {...}");
      else if (!branch && !gathering_)
        report(label, "the default branch (it stands for no side the script names elsewhere)");
      else
        walkBlock(*block, sides & branch);
    }
  }

  // createDiaryRecord and the simple task commands, given their left and right operands.
  void simpleCommand(const Token& first, const std::string& command, Range left, Range right,
                     const std::string& variable, Sides sides) {
    if (command == "creatediarysubject")
      return report(first, "Quillfort's notes are all on the Diary subject: createDiarySubject");
    if (command == "settaskstate")
      return report(first, "Quillfort's tasks have no state: setTaskState");
    if (command == "setsimpletaskdestination")
      return report(first, "Quillfort's tasks have no destination: setSimpleTaskDestination");
    if (left.empty())
      return report(first, "the statement is not a note or a task: " + std::string(t_[right.begin - 1].text));
    if (command == "setcurrenttask") {
      const auto tasks = tasksOf(right, sides);
      if (tasks.empty())
        return report(first, "the current task is not a task created before this line");
      for (const auto& [side, task] : tasks)
        state_[side].current = task;
      return;
    }
    const auto args = array(right);
    if (command == "creatediaryrecord")
      return diaryRecord(first, args, sides);
    if (command == "createsimpletask") {
      if (!args || args->empty() || args->size() > 2)
        return report(first, "the task is not of the form [name] or [name, parent]");
      const auto name = field((*args)[0], "task name", true, first);
      if (!name)
        return;
      if (args->size() == 2)
        partly_.push_back("the parent task (the task is imported as one of its own)");
      keep(first);
      return addTask(sides, {*name, u""}, first, variable, false);
    }
    // setSimpleTaskDescription
    const auto tasks = tasksOf(left, sides);
    if (tasks.empty())
      return report(first, "the description is not for a task created before this line");
    if (!args || args->size() < 2)
      return report(first, "the description is not of the form [text, title, HUD title]");
    const auto text = field((*args)[0], "text", false, first);
    const auto title = text ? field((*args)[1], "title", true, first) : std::nullopt;
    if (!title)
      return;
    keep(first);
    for (const auto& [side, task] : tasks)
      state_[side].tasks[static_cast<std::size_t>(task)].entry = {*title, *text};
  }

  void diaryRecord(const Token& first, const std::optional<std::vector<Range>>& args, Sides sides) {
    const auto pair = args && args->size() >= 2 ? array((*args)[1]) : std::nullopt;
    if (!pair || pair->size() < 2)
      return report(first, "the record is not of the form [subject, [title, text]]");
    std::string subject;
    const Token* offender = nullptr;
    if (!literal((*args)[0], subject, offender))
      return report(first, "the subject is not a literal string" + named(offender));
    if (lower(subject) != "diary")
      return report(first, "the record is on the subject \"" + Utf8::fromUtf16(decoded(subject)) +
                               "\", not on Diary");
    const auto title = field((*pair)[0], "title", true, first);
    const auto text = title ? field((*pair)[1], "text", false, first) : std::nullopt;
    if (!text)
      return;
    if (args->size() > 2 || pair->size() > 2)
      partly_.push_back("the record's arguments past [subject, [title, text]]");
    keep(first);
    addNote(sides, {*title, *text}, first);
  }

  // [owner, taskId, [description, title, marker], destination, state, priority,
  //  notification, type, visible in 3D] call BIS_fnc_taskCreate
  void frameworkTask(const Token& first, Range call, const std::string& variable, Sides sides) {
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

  const std::vector<Token>& t_;
  std::vector<std::size_t> match_; // the index of each bracket's partner
  bool utf8_;
  Side fallback_;
  Sides scriptSides_; // the sides the first walk found named
  bool gathering_;    // the first walk: nothing is reported
  Sides named_ = 0;
  std::set<std::string> macros_; // lower-case names of #define
  std::array<SideState, kSides.size()> state_;
  std::vector<LeftOut> leftOut_;
  std::vector<std::string> partly_; // the parts of the statement at hand left out
};

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
                           "Invalid procedure call or argument: " + at(*(*list)[kMaxEntries].statement) + "the " +
                               nameOf(side.side) +
                               " briefing gets its " + std::to_string(kMaxEntries + 1) + "th " + kind +
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
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       "Invalid procedure call or argument: the file holds no note and no task that Quillfort can "
                       "import");
  out.leftOut = std::move(leftOut_);
  std::stable_sort(out.leftOut.begin(), out.leftOut.end(), [](const LeftOut& a, const LeftOut& b) {
    return std::tie(a.line, a.column) < std::tie(b.line, b.column);
  });
  return out;
}

} // namespace

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
