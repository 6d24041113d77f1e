// The importer's walk over a script: its tokens and brackets, its
// statements in the order the game runs them, and the conditions and
// switches on the player's side that decide whose players a statement is
// for.
#include "core/import/Importer.h"

#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"

#include <algorithm>
#include <tuple>

namespace ImportDetail {

Importer::Importer(const std::vector<Token>& tokens, bool utf8, Side fallback,
                   std::optional<Sides> scriptSides)
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

bool Importer::word(std::size_t i, std::string_view lowerWord, Range r) const {
  return i < r.end && t_[i].kind == TokenKind::Identifier && lower(t_[i].text) == lowerWord;
}

bool Importer::symbol(std::size_t i, std::string_view text, Range r) const {
  return i < r.end && t_[i].kind == TokenKind::Symbol && t_[i].text == text;
}

bool Importer::isBracket(const Token& token) {
  return token.kind == TokenKind::Symbol &&
         std::string_view("()[]{}").find(token.text) != std::string_view::npos;
}

bool Importer::isOpening(const Token& token) {
  return isBracket(token) && std::string_view("([{").find(token.text) != std::string_view::npos;
}

void Importer::pairBrackets() {
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

std::size_t Importer::next(std::size_t i, Range r) const {
  return isOpening(t_[i]) && match_[i] != kUnmatched && match_[i] < r.end ? match_[i] + 1 : i + 1;
}

std::optional<Range> Importer::group(std::size_t i, std::string_view opening, Range r) const {
  if (!symbol(i, opening, r) || match_[i] == kUnmatched || match_[i] >= r.end)
    return std::nullopt;
  return Range{i + 1, match_[i]};
}

Range Importer::unwrapped(Range r) const {
  while (r.size() >= 2 && symbol(r.begin, "(", r) && match_[r.begin] == r.end - 1)
    r = {r.begin + 1, r.end - 1};
  return r;
}

std::vector<Range> Importer::split(Range r, std::string_view separator) const {
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

std::optional<std::vector<Range>> Importer::array(Range r) const {
  r = unwrapped(r);
  const auto inner = group(r.begin, "[", r);
  if (!inner || inner->end + 1 != r.end)
    return std::nullopt;
  if (inner->empty())
    return std::vector<Range>{};
  return split(*inner, ",");
}

std::vector<Range> Importer::statements(Range r) const {
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

bool Importer::bracketsPair(Range r) const {
  for (std::size_t i = r.begin; i < r.end; i = next(i, r))
    if (isBracket(t_[i]) && (!isOpening(t_[i]) || match_[i] == kUnmatched || match_[i] >= r.end))
      return false;
  return true;
}

bool Importer::holdsWord(Range r, std::initializer_list<std::string_view> words) const {
  for (std::size_t i = r.begin; i < r.end; ++i)
    if (t_[i].kind == TokenKind::Identifier &&
        std::find(words.begin(), words.end(), lower(t_[i].text)) != words.end())
      return true;
  return false;
}

std::string_view Importer::directiveWord(const Token& token) {
  std::string_view rest = token.text.substr(1);
  rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
  return rest.substr(0, rest.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

std::string Importer::named(const Token* token) const {
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

std::optional<Side> Importer::sideWord(Range r) {
  r = unwrapped(r);
  if (r.size() != 1 || t_[r.begin].kind != TokenKind::Identifier)
    return std::nullopt;
  const auto side = sideOfWord(t_[r.begin].text);
  if (side)
    named_ |= bitOf(*side);
  return side;
}

bool Importer::isPlayersSide(Range r) const {
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

bool Importer::mentionsSide(Range r) const {
  for (std::size_t i = r.begin; i < r.end; ++i)
    if (t_[i].kind == TokenKind::Identifier &&
        (sideOfWord(t_[i].text) || lower(t_[i].text) == "side" || lower(t_[i].text) == "playerside"))
      return true;
  return false;
}

std::optional<std::pair<Sides, Sides>> Importer::sideTest(Range c) {
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

void Importer::walkBlock(Range r, Sides sides) {
  for (const Range& s : statements(r))
    if (!s.empty())
      sides = statement(s, sides);
}

Sides Importer::statement(Range s, Sides sides) {
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
  if (e.size() >= 3 && (t_[e.begin].kind == TokenKind::Identifier || t_[e.begin].kind == TokenKind::Number) &&
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
    if (command == "creatediaryrecord" || command == "creatediarysubject" || command == "createsimpletask" ||
        command == "setsimpletaskdescription" || command == "setcurrenttask" || command == "settaskstate" ||
        command == "setsimpletaskdestination")
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

void Importer::otherStatement(const Token& first, Range e, const Token* assignee) {
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

Sides Importer::ifStatement(const Token& first, Range e, Sides sides) {
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

void Importer::switchStatement(const Token& first, Range e, Sides sides) {
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

} // namespace ImportDetail
