#pragma once

// The importer of hand-written briefing scripts, shared by the files that
// hold its parts: the walk over the statements and the sides they are for
// (ImportStatements.cpp), and the notes and tasks it makes
// (BriefingImport.cpp).
#include "core/import/BriefingImport.h"

#include "core/import/SqfTokenizer.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace ImportDetail {

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

std::string lower(std::string_view text);

std::string at(const Token& token);

// The side a word of SQF names, in any letter case.
std::optional<Side> sideOfWord(std::string_view word);

// A line break inside a string (LF, or CR LF) becomes CR LF, and in a text
// so does "<br/>" in any letter case.
std::u16string withLineBreaks(std::u16string_view text, bool isText);

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
  Importer(const std::vector<Token>& tokens, bool utf8, Side fallback, std::optional<Sides> scriptSides);

  void run() { walkBlock({0, t_.size()}, allSides()); }
  Sides namedSides() const { return named_; }
  Imported result();

private:
  // --- Tokens and ranges ---

  bool word(std::size_t i, std::string_view lowerWord, Range r) const;
  bool symbol(std::size_t i, std::string_view text, Range r) const;
  static bool isBracket(const Token& token);
  static bool isOpening(const Token& token);

  void pairBrackets();

  // The token after the one at i, a bracketed group taken whole.
  std::size_t next(std::size_t i, Range r) const;
  // What the brackets opening at i hold, when they open there and close within r.
  std::optional<Range> group(std::size_t i, std::string_view opening, Range r) const;
  // The range without the round brackets around the whole of it.
  Range unwrapped(Range r) const;
  // Pieces of r between the separator symbols outside brackets.
  std::vector<Range> split(Range r, std::string_view separator) const;
  // The elements of an array written out: [a, b, ...].
  std::optional<std::vector<Range>> array(Range r) const;
  // The statements of a block: between semicolons, a preprocessor line always
  // one of its own.
  std::vector<Range> statements(Range r) const;
  bool bracketsPair(Range r) const;
  bool holdsWord(Range r, std::initializer_list<std::string_view> words) const;
  static std::string_view directiveWord(const Token& token);
  // A token named in a reason: ": format", ": an array".
  std::string named(const Token* token) const;

  // --- Sides ---

  Sides allSides() const { return scriptSides_ ? scriptSides_ : bitOf(fallback_); }

  std::optional<Side> sideWord(Range r);
  // playerSide, side player, side group player, side _unit, brackets anywhere.
  bool isPlayersSide(Range r) const;
  bool mentionsSide(Range r) const;
  // A condition comparing the player's side with a side: the sides for which
  // it holds and those for which it does not.
  std::optional<std::pair<Sides, Sides>> sideTest(Range c);

  // --- Strings ---

  // The bytes of a string expression: literals, joined with "+", in round
  // brackets or not. On anything else, false with the first token that is
  // not a literal.
  bool literal(Range r, std::string& bytes, const Token*& offender) const;
  std::u16string decoded(std::string_view bytes) const;
  // A title or a text. A title keeps to one line: a line break in it becomes
  // a blank, which is reported.
  std::optional<std::u16string> field(Range r, std::string_view what, bool isTitle, const Token& first);
  bool isEmptyString(Range r) const;

  // --- Reports and entries ---

  void report(const Token& first, std::string why);
  // The statement is imported: the parts of it left out are reported.
  void keep(const Token& first);
  void addNote(Sides sides, const BriefingEntry& entry, const Token& first);
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
  std::vector<std::pair<std::size_t, int>> tasksOf(Range r, Sides sides) const;

  // --- Statements ---

  void walkBlock(Range r, Sides sides);

  // One statement, for the players of `sides`; returns the sides for which
  // the block goes on past it (an exitWith on the side ends it for some).
  Sides statement(Range s, Sides sides);

  void otherStatement(const Token& first, Range e, const Token* assignee);

  Sides ifStatement(const Token& first, Range e, Sides sides);

  void switchStatement(const Token& first, Range e, Sides sides);

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

  void diaryRecord(const Token& first, const std::optional<std::vector<Range>>& args, Sides sides);

  // [owner, taskId, [description, title, marker], destination, state, priority,
  //  notification, type, visible in 3D] call BIS_fnc_taskCreate
  void frameworkTask(const Token& first, Range call, const std::string& variable, Sides sides);

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

} // namespace ImportDetail
